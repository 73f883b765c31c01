#include "platform/QtPlatform.h"

#include <cerrno>

#include <QApplication>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QStandardPaths>
#include <QUrl>

#include "platform/SafeFile.h"

namespace fichelia {

namespace {

const QString kCaption = QStringLiteral("Fichelia");

std::string localPath(const QString& path) { return QFile::encodeName(path).toStdString(); }

} // namespace

void QtPlatform::showMessage(const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, kCaption, text, QMessageBox::Ok, m_owner);
    box.setDefaultButton(QMessageBox::Ok);
    box.setEscapeButton(QMessageBox::Ok);
    box.exec();
}

void QtPlatform::showError(const QString& message) {
    QMessageBox box(QMessageBox::Critical, kCaption, message + QLatin1Char('.'), QMessageBox::Ok, m_owner);
    box.setDefaultButton(QMessageBox::Ok);
    box.setEscapeButton(QMessageBox::Ok);
    box.exec();
}

bool QtPlatform::confirm(const QString& text) {
    QMessageBox box(QMessageBox::Warning, kCaption, text, QMessageBox::Ok | QMessageBox::Cancel, m_owner);
    box.setDefaultButton(QMessageBox::Ok);
    box.setEscapeButton(QMessageBox::Cancel);
    box.setWindowModality(Qt::ApplicationModal);
    return box.exec() == QMessageBox::Ok;
}

std::optional<FileChoice> QtPlatform::chooseFile(bool save, const QString& title, const QStringList& filters,
                                                 int selectedFilter) {
    QFileDialog dialog(m_owner, title);
    dialog.setNameFilters(filters);
    if (selectedFilter >= 1 && selectedFilter <= filters.size()) {
        dialog.selectNameFilter(filters.at(selectedFilter - 1));
    }
    if (save) {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    const qsizetype filterIndex = filters.indexOf(dialog.selectedNameFilter());
    return FileChoice{dialog.selectedFiles().constFirst(), filterIndex < 0 ? 1 : static_cast<int>(filterIndex) + 1};
}

std::optional<FileChoice> QtPlatform::chooseFileToOpen(const QString& title, const QStringList& filters,
                                                       int selectedFilter) {
    return chooseFile(false, title, filters, selectedFilter);
}

std::optional<FileChoice> QtPlatform::chooseFileToSave(const QString& title, const QStringList& filters,
                                                       int selectedFilter) {
    return chooseFile(true, title, filters, selectedFilter);
}

bool QtPlatform::openAddress(const QString& address) { return QDesktopServices::openUrl(QUrl(address)); }

bool QtPlatform::openLocalFile(const QString& path) { return QDesktopServices::openUrl(QUrl::fromLocalFile(path)); }

QString QtPlatform::executableFolder() const { return QCoreApplication::applicationDirPath(); }

QString QtPlatform::cacheFolder() const {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    if (!folder.isEmpty()) {
        QDir().mkpath(folder);
    }
    return folder;
}

bool QtPlatform::fileExists(const QString& path) const { return QFileInfo::exists(path); }

std::optional<QString> QtPlatform::replaceFile(const QString& path, std::string_view bytes) {
    if (const auto failure = files::replaceFileContents(localPath(path), bytes)) {
        return QString::fromStdString(files::describeFailure(failure->errorNumber));
    }
    return std::nullopt;
}

std::unique_ptr<ByteSource> QtPlatform::openForReading(const QString& path, QString& reason) {
    auto source = FileByteSource::open(localPath(path));
    if (!source) {
        reason = QString::fromStdString(files::describeFailure(errno));
    }
    return source;
}

void QtPlatform::setBusy(bool busy) {
    if (busy) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        QApplication::restoreOverrideCursor();
    }
}

} // namespace fichelia
