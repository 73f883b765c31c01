#pragma once

#include <QString>
#include <QStringList>

#include "directory/DirectoryList.h"
#include "commands/Desktop.h"
#include "commands/Dialogs.h"
#include "commands/Files.h"

namespace fichelia {

inline const QString kPageDialogTitle = QStringLiteral("Fichier Annuaire Web");
inline const QString kPreviewFileName = QStringLiteral("tmp.html");

// The two filters of the file dialogs: HTML first, then HTM.
QStringList pageFilters();

// The name to save to: the chosen name when the text after its last "." (folders
// included) is "htm" or "html" in any letter case; otherwise the chosen name
// with ".html" appended for the first filter or ".htm" for any other. Nothing
// is removed: page.txt gives page.txt.html, page. gives page..html.
QString withPageExtension(const QString& chosen, int filterIndex);

// The main window's open, save and preview commands. Each asks the user what
// it needs, does its work on the disk, and says in a box, in French, what went
// wrong; whatever fails, the list and the files are left as they were. Only
// running out of memory while building a page throws (std::bad_alloc).
class PageCommands {
public:
    PageCommands(Dialogs& dialogs, Files& files, Desktop& desktop)
        : m_dialogs(dialogs), m_files(files), m_desktop(desktop) {}

    // Saves the list as a page in a file named in the save dialog (the
    // extension rule above), replacing that file whole.
    void save(const DirectoryList& list);

    // Replaces the list by the contacts of a page chosen in the open dialog.
    // The whole page is read before the list changes: a page that cannot be
    // read to its end, or a file that is no directory page, changes nothing.
    // When some record lines of the page cannot be read, the user is told how
    // many and the first, and asked whether to open the contacts of the others;
    // "Non" changes nothing. No entry is selected afterwards. The contact form
    // plays no part: every contact comes whole from its line.
    void open(DirectoryList& list);

    // Writes the page to tmp.html beside the executable, or in the user's cache
    // folder when that folder cannot take it, and opens it in the browser;
    // when no browser opens, a box says where the preview is.
    void preview(const DirectoryList& list);

private:
    Dialogs& m_dialogs;
    Files& m_files;
    Desktop& m_desktop;
};

} // namespace fichelia
