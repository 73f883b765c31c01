#pragma once

#include <algorithm>
#include <deque>
#include <map>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "commands/Desktop.h"
#include "commands/Dialogs.h"
#include "commands/Files.h"

// GoogleTest shows a QString as its text.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace fichelia::testing {

// Stands in for the user: records every box and dialog shown, and answers
// them from queues a test fills.
class FakeDialogs final : public Dialogs {
public:
    struct Dialog {
        bool save = false;
        QString title;
        QStringList filters;
        int selectedFilter = 0;
        bool operator==(const Dialog&) const = default;
    };

    struct Report {
        QString summary;
        QString details;
        bool operator==(const Report&) const = default;
    };

    std::vector<QString> messages;
    std::vector<Report> reports;
    std::vector<QString> errors; // as the box shows them, full stop added
    std::vector<QString> questions;
    std::vector<Dialog> dialogs;
    std::deque<bool> answers;           // to questions; none left: Cancel or Non
    std::deque<FileChoice> fileChoices; // to file dialogs; none left: cancelled
    int busyDepth = 0;
    int busyCount = 0;

    void showMessage(const QString& text) override { messages.push_back(text); }
    void showReport(const QString& summary, const QString& details) override {
        reports.push_back({summary, details});
    }
    void showError(const QString& message) override { errors.push_back(message + QLatin1Char('.')); }
    bool confirm(const QString& text) override { return answer(text); }
    bool ask(const QString& text) override { return answer(text); }
    std::optional<FileChoice> chooseFileToOpen(const QString& title, const QStringList& filters,
                                               int selectedFilter) override {
        return choose(false, title, filters, selectedFilter);
    }
    std::optional<FileChoice> chooseFileToSave(const QString& title, const QStringList& filters,
                                               int selectedFilter) override {
        return choose(true, title, filters, selectedFilter);
    }
    void setBusy(bool busy) override {
        busyDepth += busy ? 1 : -1;
        busyCount += busy ? 1 : 0;
    }

private:
    bool answer(const QString& text) {
        questions.push_back(text);
        const bool answer = !answers.empty() && answers.front();
        if (!answers.empty()) {
            answers.pop_front();
        }
        return answer;
    }
    std::optional<FileChoice> choose(bool save, const QString& title, const QStringList& filters, int selectedFilter) {
        dialogs.push_back({save, title, filters, selectedFilter});
        if (fileChoices.empty()) {
            return std::nullopt;
        }
        const FileChoice choice = fileChoices.front();
        fileChoices.pop_front();
        return choice;
    }
};

// A disk in memory: files by path, folders, and the failures a test asks for.
class FakeFiles final : public Files {
public:
    std::map<QString, std::string> files;
    std::set<QString> folders;
    std::map<QString, Error> failingWrites;
    std::map<QString, Error> failingOpens;
    std::optional<std::size_t> readFailsAfter; // bytes handed out before a read fails

    Kind kind(const QString& path) const override {
        return folders.count(path) != 0 ? Kind::Folder : files.count(path) != 0 ? Kind::File : Kind::Missing;
    }
    Result<void> replace(const QString& path, std::string_view bytes) override {
        if (const auto failing = failingWrites.find(path); failing != failingWrites.end()) {
            return failing->second;
        }
        if (kind(path) == Kind::Folder) {
            return Error::IsFolder;
        }
        files[path] = std::string(bytes);
        return {};
    }
    Result<std::unique_ptr<ByteSource>> openForReading(const QString& path) override {
        if (const auto failing = failingOpens.find(path); failing != failingOpens.end()) {
            return failing->second;
        }
        const auto file = files.find(path);
        if (file == files.end()) {
            return kind(path) == Kind::Folder ? Error::IsFolder : Error::FileNotFound;
        }
        return std::unique_ptr<ByteSource>(std::make_unique<Source>(file->second, readFailsAfter));
    }

private:
    // The file's bytes (left as they are while it is read), failing part of
    // the way if asked.
    class Source final : public ByteSource {
    public:
        Source(std::string_view bytes, std::optional<std::size_t> failAfter)
            : m_bytes(bytes), m_left(failAfter.value_or(bytes.size() + 1)) {}
        Result<std::size_t> read(char* buffer, std::size_t size) override {
            const std::size_t count = std::min({size, m_left, m_bytes.size() - m_pos});
            if (count == 0 && m_left == 0) {
                return Error::ReadFailed;
            }
            std::copy_n(m_bytes.data() + m_pos, count, buffer);
            m_pos += count;
            m_left -= count;
            return count;
        }

    private:
        std::string_view m_bytes;
        std::size_t m_left;
        std::size_t m_pos = 0;
    };
};

// Records what was handed to the desktop.
class FakeDesktop final : public Desktop {
public:
    std::vector<QString> openedAddresses;
    std::vector<QString> openedFiles;
    QString executableFolderPath;
    QString cacheFolderPath;
    bool filesOpen = true; // false: no browser starts

    bool openAddress(const QString& address) override {
        openedAddresses.push_back(address);
        return false;
    }
    bool openLocalFile(const QString& path) override {
        openedFiles.push_back(path);
        return filesOpen;
    }
    QString executableFolder() const override { return executableFolderPath; }
    QString cacheFolder() const override { return cacheFolderPath; }
};

} // namespace fichelia::testing

namespace fichelia::testing {

// The three together, as a window takes them.
struct FakeShell {
    FakeDialogs dialogs;
    FakeFiles files;
    FakeDesktop desktop;
};

} // namespace fichelia::testing
