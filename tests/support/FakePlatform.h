#pragma once

#include <deque>
#include <functional>
#include <map>
#include <vector>

#include <QFileInfo>

#include "platform/Platform.h"
#include "platform/SafeFile.h"

namespace fichelia::testing {

// Stands in for the user and the desktop: records every box and dialog the
// window shows, answers them from queues a test fills, and writes and reads
// real files unless a test makes a path fail.
class FakePlatform final : public Platform {
public:
    struct Dialog {
        bool save = false;
        QString title;
        QStringList filters;
        int selectedFilter = 0;
    };

    std::vector<QString> messages;
    std::vector<QString> errors;
    std::vector<QString> questions;
    std::vector<Dialog> dialogs;
    std::vector<QString> openedAddresses;
    std::vector<QString> openedFiles;
    std::vector<QString> writtenFiles;

    std::deque<bool> answers;                        // to questions; none left: Cancel
    std::deque<FileChoice> fileChoices; // to file dialogs; an empty path or none left: cancelled
    QString executableFolderPath;
    QString cacheFolderPath;
    std::map<QString, QString> failingWrites; // path -> reason given
    std::map<QString, QString> failingOpens;  // path -> reason given
    // Makes the next opened file's source fail after it has handed out this many bytes.
    std::optional<std::size_t> readFailsAfter;
    std::function<void()> duringMessage;   // runs while a message box is "shown"
    std::function<void()> afterFileDialog; // runs as a file dialog closes, before the command goes on
    int busyDepth = 0;
    int busyCount = 0;

    void showMessage(const QString& text) override {
        messages.push_back(text);
        if (duringMessage) {
            duringMessage();
        }
    }
    void showError(const QString& message) override { errors.push_back(message + QLatin1Char('.')); }
    bool confirm(const QString& text) override {
        questions.push_back(text);
        if (answers.empty()) {
            return false;
        }
        const bool answer = answers.front();
        answers.pop_front();
        return answer;
    }
    std::optional<FileChoice> chooseFileToOpen(const QString& title, const QStringList& filters,
                                               int selectedFilter) override {
        return choose(false, title, filters, selectedFilter);
    }
    std::optional<FileChoice> chooseFileToSave(const QString& title, const QStringList& filters,
                                               int selectedFilter) override {
        return choose(true, title, filters, selectedFilter);
    }
    bool openAddress(const QString& address) override {
        openedAddresses.push_back(address);
        return false;
    }
    bool openLocalFile(const QString& path) override {
        openedFiles.push_back(path);
        return true;
    }
    QString executableFolder() const override { return executableFolderPath; }
    QString cacheFolder() const override { return cacheFolderPath; }
    bool fileExists(const QString& path) const override { return QFileInfo::exists(path); }
    std::optional<QString> replaceFile(const QString& path, std::string_view bytes) override {
        if (const auto failing = failingWrites.find(path); failing != failingWrites.end()) {
            return failing->second;
        }
        if (const auto failure = files::replaceFileContents(path.toStdString(), bytes)) {
            return QString::fromStdString(files::describeFailure(failure->errorNumber));
        }
        writtenFiles.push_back(path);
        return std::nullopt;
    }
    std::unique_ptr<ByteSource> openForReading(const QString& path, QString& reason) override {
        if (const auto failing = failingOpens.find(path); failing != failingOpens.end()) {
            reason = failing->second;
            return nullptr;
        }
        auto file = FileByteSource::open(path.toStdString());
        if (!file) {
            reason = QStringLiteral("introuvable");
            return nullptr;
        }
        if (readFailsAfter) {
            return std::make_unique<FailingAfter>(std::move(file), *readFailsAfter);
        }
        return file;
    }
    void setBusy(bool busy) override {
        busyDepth += busy ? 1 : -1;
        busyCount += busy ? 1 : 0;
    }

private:
    // A file whose reading breaks down part of the way through.
    class FailingAfter final : public ByteSource {
    public:
        FailingAfter(std::unique_ptr<ByteSource> source, std::size_t limit)
            : m_source(std::move(source)), m_left(limit) {}
        std::size_t read(char* buffer, std::size_t size) override {
            if (m_left == 0) {
                m_failed = true;
                return 0;
            }
            const std::size_t count = m_source->read(buffer, std::min(size, m_left));
            m_left -= count;
            return count;
        }
        bool failed() const override { return m_failed; }

    private:
        std::unique_ptr<ByteSource> m_source;
        std::size_t m_left;
        bool m_failed = false;
    };

    std::optional<FileChoice> choose(bool save, const QString& title, const QStringList& filters, int selectedFilter) {
        dialogs.push_back({save, title, filters, selectedFilter});
        if (fileChoices.empty()) {
            return std::nullopt;
        }
        const FileChoice choice = fileChoices.front();
        fileChoices.pop_front();
        if (afterFileDialog) {
            afterFileDialog();
        }
        if (choice.path.isEmpty()) {
            return std::nullopt;
        }
        return choice;
    }
};

} // namespace fichelia::testing
