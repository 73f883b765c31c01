#pragma once

#include <memory>
#include <optional>
#include <string_view>

#include <QString>
#include <QStringList>

#include "page/ByteSource.h"

namespace fichelia {

// A file chosen in a file dialog, with the filter selected when it was chosen
// (counted from 1).
struct FileChoice {
    QString path;
    int filterIndex = 1;
};

// What the window asks of the desktop: boxes, dialogs, the default browser and
// files. The window reaches the desktop only through this interface, so that
// tests can stand in for the user and the disk.
class Platform {
public:
    virtual ~Platform() = default;

    // A refused action: caption "Fichelia", the text, no icon, one OK button
    // that Enter and Escape both press.
    virtual void showMessage(const QString& text) = 0;

    // An error that escaped a command: caption "Fichelia", the message followed
    // by a full stop (always added), a stop icon and one OK button.
    virtual void showError(const QString& message) = 0;

    // A question with OK (the default) and Cancel and a warning icon, caption
    // "Fichelia"; true when the user answered OK.
    virtual bool confirm(const QString& text) = 0;

    // The file dialogs: title, name filters ("Fichier HTML (*.html)"), the filter
    // selected at first (from 1). Nothing when the user cancels. The open
    // dialog takes only an existing file; the save dialog asks before a file is
    // replaced.
    virtual std::optional<FileChoice> chooseFileToOpen(const QString& title, const QStringList& filters,
                                                       int selectedFilter) = 0;
    virtual std::optional<FileChoice> chooseFileToSave(const QString& title, const QStringList& filters,
                                                       int selectedFilter) = 0;

    // Hands an address ("https://...") or a local file to the desktop's default
    // handler. False when nothing could take it.
    virtual bool openAddress(const QString& address) = 0;
    virtual bool openLocalFile(const QString& path) = 0;

    // The folder of the running executable, and the user's cache folder (made
    // when missing; empty when there is none).
    virtual QString executableFolder() const = 0;
    virtual QString cacheFolder() const = 0;

    // True when a file of that name exists.
    virtual bool fileExists(const QString& path) const = 0;

    // Replaces the file with exactly these bytes, all or nothing: afterwards the
    // file holds either its old content or the new one, never a mix. On failure
    // returns the reason, in French, and leaves no stray file behind.
    virtual std::optional<QString> replaceFile(const QString& path, std::string_view bytes) = 0;

    // The file opened for reading, or nothing (with the reason in French) when
    // it cannot be.
    virtual std::unique_ptr<ByteSource> openForReading(const QString& path, QString& reason) = 0;

    // Shows that a long piece of work is under way (the wait cursor).
    virtual void setBusy(bool busy) = 0;
};

} // namespace fichelia
