#pragma once

#include <QPointer>
#include <QWidget>

#include "commands/Dialogs.h"

namespace fichelia {

// The boxes and dialogs through Qt: QMessageBox and QFileDialog.
class QtDialogs final : public Dialogs {
public:
    // The window that owns the confirmation and the file dialogs (the main window).
    void setOwner(QWidget* owner) { m_owner = owner; }

    void showMessage(const QString& text) override;
    void showReport(const QString& summary, const QString& details) override;
    void showError(const QString& message) override;
    bool confirm(const QString& text) override;
    bool ask(const QString& text) override;
    std::optional<FileChoice> chooseFileToOpen(const QString& title, const QStringList& filters,
                                               int selectedFilter) override;
    std::optional<FileChoice> chooseFileToSave(const QString& title, const QStringList& filters,
                                               int selectedFilter) override;
    void setBusy(bool busy) override;

private:
    std::optional<FileChoice> chooseFile(bool save, const QString& title, const QStringList& filters,
                                         int selectedFilter);
    QPointer<QWidget> m_owner;
};

// Centres a shown window on its screen, never above or left of the screen's
// top-left corner.
void centreOnScreen(QWidget* window);

} // namespace fichelia
