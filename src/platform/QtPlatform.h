#pragma once

#include <QPointer>
#include <QWidget>

#include "platform/Platform.h"

namespace fichelia {

// The desktop as Qt gives it: QMessageBox, QFileDialog, QDesktopServices, and
// whole-file writes through SafeFile.
class QtPlatform final : public Platform {
public:
    // The window that owns the boxes and dialogs (the main window).
    void setOwner(QWidget* owner) { m_owner = owner; }

    void showMessage(const QString& text) override;
    void showError(const QString& message) override;
    bool confirm(const QString& text) override;
    std::optional<FileChoice> chooseFileToOpen(const QString& title, const QStringList& filters,
                                               int selectedFilter) override;
    std::optional<FileChoice> chooseFileToSave(const QString& title, const QStringList& filters,
                                               int selectedFilter) override;
    bool openAddress(const QString& address) override;
    bool openLocalFile(const QString& path) override;
    QString executableFolder() const override;
    QString cacheFolder() const override;
    bool fileExists(const QString& path) const override;
    std::optional<QString> replaceFile(const QString& path, std::string_view bytes) override;
    std::unique_ptr<ByteSource> openForReading(const QString& path, QString& reason) override;
    void setBusy(bool busy) override;

private:
    std::optional<FileChoice> chooseFile(bool save, const QString& title, const QStringList& filters,
                                         int selectedFilter);
    QPointer<QWidget> m_owner;
};

} // namespace fichelia
