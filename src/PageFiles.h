#pragma once

#include <QString>
#include <QStringList>

// Names and texts of the open, save and preview commands.
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

} // namespace fichelia
