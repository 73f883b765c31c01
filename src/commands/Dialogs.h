#pragma once

#include <optional>

#include <QString>
#include <QStringList>

namespace fichelia {

// A file chosen in a file dialog, with the filter selected when it was chosen
// (counted from 1).
struct FileChoice {
    QString path;
    int filterIndex = 1;
};

// The boxes and dialogs through which the program talks with the user, all
// modal, and the wait cursor.
class Dialogs {
public:
    virtual ~Dialogs() = default;

    // A refused action: caption "Fichelia", the text, no icon, one OK button
    // that Enter and Escape both press; centred on the screen.
    virtual void showMessage(const QString& text) = 0;

    // A report that may be long: the summary as the box's text, as
    // showMessage shows it, and the details, when there are any, below it,
    // shown at once in an area that scrolls when they do not fit: however long
    // the details, the box never reaches past the screen.
    virtual void showReport(const QString& summary, const QString& details) = 0;

    // An error that escaped a command: caption "Fichelia", the message followed
    // by a full stop (always added), a stop icon and one OK button.
    virtual void showError(const QString& message) = 0;

    // A question with OK (the default) and Cancel and a warning icon, caption
    // "Fichelia"; true when the user answered OK.
    virtual bool confirm(const QString& text) = 0;

    // A question with Oui (the default) and Non and a question icon, caption
    // "Fichelia"; true when the user answered Oui. Escape answers Non.
    virtual bool ask(const QString& text) = 0;

    // The file dialogs: title, name filters ("Fichier HTML (*.html)"), the filter
    // selected at first (from 1). Nothing when the user cancels. The open dialog
    // takes only an existing file, the save dialog only a name in an existing
    // folder, and asks before a file is replaced.
    virtual std::optional<FileChoice> chooseFileToOpen(const QString& title, const QStringList& filters,
                                                       int selectedFilter) = 0;
    virtual std::optional<FileChoice> chooseFileToSave(const QString& title, const QStringList& filters,
                                                       int selectedFilter) = 0;

    // Shows that a long piece of work is under way (the wait cursor).
    virtual void setBusy(bool busy) = 0;
};

// The wait cursor, for as long as it lives.
class BusyCursor {
public:
    explicit BusyCursor(Dialogs& dialogs) : m_dialogs(dialogs) { m_dialogs.setBusy(true); }
    ~BusyCursor() { m_dialogs.setBusy(false); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

private:
    Dialogs& m_dialogs;
};

} // namespace fichelia
