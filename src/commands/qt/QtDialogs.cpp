#include "commands/qt/QtDialogs.h"

#include <algorithm>

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTextEdit>

namespace fichelia {

namespace {

const QString kCaption = QStringLiteral("Fichelia");

// A box centred on the screen rather than on the window that owns it.
class ScreenCentredBox final : public QMessageBox {
public:
    using QMessageBox::QMessageBox;

protected:
    void showEvent(QShowEvent* event) override {
        QMessageBox::showEvent(event);
        centreOnScreen(this);
    }
};

// Qt's file dialog, whose save mode also refuses a name in a folder that does
// not exist, as its open mode refuses a missing file: it says so and stays open.
class PageFileDialog final : public QFileDialog {
public:
    using QFileDialog::QFileDialog;

    void accept() override {
        const QStringList chosen = selectedFiles();
        if (acceptMode() == AcceptSave && !chosen.isEmpty()) {
            const QFileInfo file(chosen.constFirst());
            if (!file.isDir() && !QFileInfo(file.absolutePath()).isDir()) {
                QMessageBox::warning(this, windowTitle(),
                                     QStringLiteral("%1\nDossier introuvable.\nVeuillez vérifier que le nom du "
                                                    "dossier est correct.")
                                         .arg(QDir::toNativeSeparators(file.absolutePath())));
                return;
            }
        }
        QFileDialog::accept();
    }
};

void showBox(QMessageBox::Icon icon, const QString& text, QWidget* owner) {
    ScreenCentredBox box(icon, kCaption, text, QMessageBox::Ok, owner);
    box.setDefaultButton(QMessageBox::Ok);
    box.setEscapeButton(QMessageBox::Ok);
    box.exec();
}

// Opens the box's details, as wide as 80 characters and as high as their
// lines, up to half the screen's height: longer details scroll.
void openDetails(QMessageBox& box) {
    auto* text = box.findChild<QTextEdit*>();
    QAbstractButton* toggle = nullptr;
    for (QAbstractButton* button : box.buttons()) {
        if (box.buttonRole(button) == QMessageBox::ActionRole) {
            toggle = button;
        }
    }
    const QScreen* screen = box.screen();
    if (text == nullptr || toggle == nullptr || screen == nullptr) {
        return;
    }
    const QRect area = screen->availableGeometry();
    const int frame = 2 * text->frameWidth();
    const int width = std::min(80 * text->fontMetrics().averageCharWidth() + frame, area.width() / 2);
    text->setFixedWidth(width);
    QTextDocument* document = text->document();
    document->setTextWidth(width - frame - text->verticalScrollBar()->sizeHint().width());
    const int height = static_cast<int>(document->size().height()) + frame + 1;
    text->setFixedHeight(std::min(height, area.height() / 2));
    toggle->click();
}

} // namespace

void centreOnScreen(QWidget* window) {
    if (const QScreen* screen = window->screen()) {
        const QRect area = screen->availableGeometry();
        QRect frame = window->frameGeometry();
        frame.moveCenter(area.center());
        window->move(std::max(frame.left(), area.left()), std::max(frame.top(), area.top()));
    }
}

void QtDialogs::showMessage(const QString& text) {
    showBox(QMessageBox::NoIcon, text, m_owner);
}

void QtDialogs::showReport(const QString& summary, const QString& details) {
    ScreenCentredBox box(QMessageBox::NoIcon, kCaption, summary, QMessageBox::Ok, m_owner);
    box.setDefaultButton(QMessageBox::Ok);
    box.setEscapeButton(QMessageBox::Ok);
    if (!details.isEmpty()) {
        box.setDetailedText(details);
        openDetails(box);
    }
    box.exec();
}

void QtDialogs::showError(const QString& message) {
    showBox(QMessageBox::Critical, message + QLatin1Char('.'), m_owner);
}

bool QtDialogs::confirm(const QString& text) {
    QMessageBox box(QMessageBox::Warning, kCaption, text, QMessageBox::Ok | QMessageBox::Cancel, m_owner);
    box.setDefaultButton(QMessageBox::Ok);
    box.setEscapeButton(QMessageBox::Cancel);
    box.setWindowModality(Qt::ApplicationModal);
    return box.exec() == QMessageBox::Ok;
}

bool QtDialogs::ask(const QString& text) {
    QMessageBox box(QMessageBox::Question, kCaption, text, QMessageBox::Yes | QMessageBox::No, m_owner);
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::No);
    box.setWindowModality(Qt::ApplicationModal);
    return box.exec() == QMessageBox::Yes;
}

std::optional<FileChoice> QtDialogs::chooseFile(bool save, const QString& title, const QStringList& filters,
                                                int selectedFilter) {
    PageFileDialog dialog(m_owner, title);
    dialog.setNameFilters(filters);
    if (selectedFilter >= 1 && selectedFilter <= filters.size()) {
        dialog.selectNameFilter(filters.at(selectedFilter - 1));
    }
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    const qsizetype filterIndex = filters.indexOf(dialog.selectedNameFilter());
    return FileChoice{dialog.selectedFiles().constFirst(), filterIndex < 0 ? 1 : static_cast<int>(filterIndex) + 1};
}

std::optional<FileChoice> QtDialogs::chooseFileToOpen(const QString& title, const QStringList& filters,
                                                      int selectedFilter) {
    return chooseFile(false, title, filters, selectedFilter);
}

std::optional<FileChoice> QtDialogs::chooseFileToSave(const QString& title, const QStringList& filters,
                                                      int selectedFilter) {
    return chooseFile(true, title, filters, selectedFilter);
}

void QtDialogs::setBusy(bool busy) {
    if (busy) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        QApplication::restoreOverrideCursor();
    }
}

} // namespace fichelia
