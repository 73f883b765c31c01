// The real disk through QtFiles, each promise of commands/Files.h on files in
// a temporary folder. Folder permissions do not bind the superuser (CI runs as
// root), so the cases about them run as "nobody" then. A full disk is a small
// tmpfs (FullDisk.h); a failing fsync or rename is the C library's call made
// to fail (FailingCalls.h).

#include "commands/qt/QtFiles.h"
#include "commands/PageCommands.h"

#include <cerrno>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "FailingCalls.h"
#include "Fakes.h"
#include "FullDisk.h"

using fichelia::Error;
using fichelia::Result;
using Kind = fichelia::Files::Kind;

namespace {

constexpr QFileDevice::Permissions kModeBits = QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                               QFileDevice::ExeOwner | QFileDevice::ReadGroup |
                                               QFileDevice::WriteGroup | QFileDevice::ExeGroup |
                                               QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther;
constexpr auto kReadOnly = QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther;
constexpr auto kEveryoneWrites =
    kReadOnly | QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
constexpr auto kFolderNoOneWrites = kReadOnly | QFileDevice::ExeOwner | QFileDevice::ExeGroup | QFileDevice::ExeOther;
constexpr auto kFolderOpen = kFolderNoOneWrites | QFileDevice::WriteOwner;

std::string bytesOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : "<missing>";
}

void write(const QString& path, const std::string& bytes, QFileDevice::Permissions permissions = {}) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes.data(), static_cast<qint64>(bytes.size())), static_cast<qint64>(bytes.size()));
    file.close();
    if (permissions) {
        ASSERT_TRUE(QFile::setPermissions(path, permissions));
    }
}

// The folder's entries, hidden ones (a temporary file left behind) included.
QStringList entries(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

// The rest of the scope runs as "nobody" when the test runs as the superuser.
class AsUnprivilegedUser {
public:
    AsUnprivilegedUser() {
        if (::geteuid() == 0) {
            m_switched = ::setresgid(kNobody, kNobody, 0) == 0 && ::setresuid(kNobody, kNobody, 0) == 0;
            EXPECT_TRUE(m_switched);
        }
    }
    ~AsUnprivilegedUser() {
        if (m_switched) {
            EXPECT_EQ(::setresuid(0, 0, 0), 0);
            EXPECT_EQ(::setresgid(0, 0, 0), 0);
        }
    }
    AsUnprivilegedUser(const AsUnprivilegedUser&) = delete;
    AsUnprivilegedUser& operator=(const AsUnprivilegedUser&) = delete;

private:
    static constexpr uid_t kNobody = 65534;
    bool m_switched = false;
};

class QtFilesTest : public ::testing::Test {
protected:
    QTemporaryDir folder;
    fichelia::QtFiles files;
    const std::string page = std::string(300'000, 'p') + "fin";

    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        ASSERT_TRUE(QFile::setPermissions(folder.path(), kFolderOpen)); // "nobody" may look in
    }
    QString path(const QString& name) const { return folder.filePath(name); }
};

} // namespace

TEST_F(QtFilesTest, replaceWritesExactlyTheBytesNewOrOverALongerFile) {
    ASSERT_TRUE(files.replace(path("a.html"), page));
    EXPECT_EQ(bytesOf(path("a.html")), page);
    write(path("b.html"), std::string(1'000'000, 'x'));
    ASSERT_TRUE(files.replace(path("b.html"), "court"));
    EXPECT_EQ(bytesOf(path("b.html")), "court");
    QString deep = folder.path();
    while (deep.size() < 300) {
        deep += QStringLiteral("/un-dossier-au-nom-assez-long");
    }
    ASSERT_TRUE(QDir().mkpath(deep));
    EXPECT_TRUE(files.replace(deep + "/c.html", page));
    EXPECT_EQ(entries(folder.path()), (QStringList{"a.html", "b.html", "un-dossier-au-nom-assez-long"}));
}

// Names of 250 bytes leave no room for QSaveFile's temporary name: still
// written, replaced whole, permissions kept.
TEST_F(QtFilesTest, aNameOf250BytesIsWrittenAndReplaced) {
    for (const QString& name : {QString(245, QLatin1Char('n')) + ".html", QString(122, QChar(0xE9)) + "x.html"}) {
        ASSERT_EQ(QFile::encodeName(name).size(), 250);
        ASSERT_TRUE(files.replace(path(name), "première"));
        ASSERT_TRUE(QFile::setPermissions(path(name),
                                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadOther));
        ASSERT_TRUE(files.replace(path(name), page));
        EXPECT_EQ(bytesOf(path(name)), page);
        EXPECT_EQ(QFile::permissions(path(name)) & kModeBits,
                  QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadOther);
        EXPECT_EQ(entries(folder.path()), QStringList{name});
        QFile::remove(path(name));
    }
}

TEST_F(QtFilesTest, replaceFollowsSymbolicLinksLiveOrDanglingAndKeepsThem) {
    write(path("page.html"), "ancienne");
    ASSERT_TRUE(QFile::link(path("page.html"), path("live.html")));
    ASSERT_TRUE(QFile::link(QStringLiteral("plus-tard.html"), path("dangling.html")));
    EXPECT_EQ(files.kind(path("live.html")), Kind::File);
    EXPECT_EQ(files.kind(path("dangling.html")), Kind::Missing);
    ASSERT_TRUE(files.replace(path("live.html"), page));
    ASSERT_TRUE(files.replace(path("dangling.html"), "nouvelle"));
    EXPECT_EQ(bytesOf(path("page.html")), page);
    EXPECT_EQ(bytesOf(path("plus-tard.html")), "nouvelle");
    EXPECT_TRUE(QFileInfo(path("live.html")).isSymLink());
    EXPECT_TRUE(QFileInfo(path("dangling.html")).isSymLink());
    EXPECT_EQ(entries(folder.path()), (QStringList{"dangling.html", "live.html", "page.html", "plus-tard.html"}));
}

TEST_F(QtFilesTest, replaceKeepsThePermissions) {
    for (const auto permissions : {QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup,
                                   kEveryoneWrites | QFileDevice::ExeOwner}) {
        write(path("a.html"), "ancienne", permissions);
        ASSERT_TRUE(files.replace(path("a.html"), page));
        EXPECT_EQ(QFile::permissions(path("a.html")) & kModeBits, permissions);
    }
}

// A file no one may write, a folder's name, a folder that is not (any more)
// there, or a folder and file that the user may not write: refused with the
// reason, and the folder is left exactly as it was.
TEST_F(QtFilesTest, replaceRefusesWhatCannotBeWrittenAndLeavesEverythingAsItWas) {
    struct Case {
        const char* name;
        Error error;
        bool asUnprivilegedUser;
    };
    const Case cases[] = {{"read-only-file", Error::ReadOnlyFile, false},
                          {"folder-name", Error::IsFolder, false},
                          {"folder-gone", Error::FolderNotFound, false},
                          {"closed-folder-new-file", Error::AccessDenied, true},
                          {"closed-folder-closed-file", Error::AccessDenied, true}};
    for (const Case& c : cases) {
        const QString caseFolder = path(c.name);
        ASSERT_TRUE(QDir().mkpath(caseFolder));
        QString target = caseFolder + "/a.html";
        write(caseFolder + "/old.html", "ancienne");
        const std::string name = c.name;
        if (name == "read-only-file") {
            target = caseFolder + "/old.html";
            ASSERT_TRUE(QFile::setPermissions(target, kReadOnly));
        } else if (name == "folder-name") {
            target = caseFolder + "/dossier.html";
            ASSERT_TRUE(QDir().mkpath(target));
        } else if (name == "folder-gone") {
            ASSERT_TRUE(QDir().mkpath(caseFolder + "/site"));
            ASSERT_TRUE(QDir().rmdir(caseFolder + "/site"));
            target = caseFolder + "/site/a.html";
        } else {
            if (name == "closed-folder-closed-file") {
                target = caseFolder + "/old.html";
            }
            ASSERT_TRUE(QFile::setPermissions(caseFolder, kFolderNoOneWrites));
        }
        const QStringList before = entries(caseFolder);
        std::optional<AsUnprivilegedUser> unprivileged;
        if (c.asUnprivilegedUser) {
            unprivileged.emplace();
        }
        const auto written = files.replace(target, page);
        unprivileged.reset();
        ASSERT_FALSE(written.ok()) << c.name;
        EXPECT_EQ(written.error(), c.error) << c.name;
        EXPECT_EQ(bytesOf(caseFolder + "/old.html"), "ancienne") << c.name;
        EXPECT_EQ(entries(caseFolder), before) << c.name;
        QFile::setPermissions(caseFolder, kFolderOpen);
    }
}

// The one case written in place: a file the user may write in a folder where
// no new file may be made (QSaveFile's direct-write fallback); and then only
// when the disk has room for it.
TEST_F(QtFilesTest, aWritableFileInAFolderNoOneMayWriteToIsWrittenInPlace) {
    write(path("a.html"), "ancienne", kEveryoneWrites);
    ASSERT_TRUE(QFile::setPermissions(folder.path(), kFolderNoOneWrites));
    {
        const AsUnprivilegedUser unprivileged;
        EXPECT_TRUE(files.replace(path("a.html"), page));
    }
    EXPECT_EQ(bytesOf(path("a.html")), page);
    EXPECT_EQ(entries(folder.path()), QStringList{"a.html"});
    ASSERT_TRUE(QFile::setPermissions(folder.path(), kFolderOpen));

    FullDisk disk(path("disque").toStdString());
    if (disk.mounted()) {
        write(path("disque/a.html"), "ancienne", kEveryoneWrites);
        ASSERT_TRUE(QFile::setPermissions(path("disque"), kFolderNoOneWrites));
        const AsUnprivilegedUser unprivileged;
        const auto written = files.replace(path("disque/a.html"), page);
        ASSERT_FALSE(written.ok());
        EXPECT_EQ(written.error(), Error::DiskFull);
        EXPECT_EQ(bytesOf(path("disque/a.html")), "ancienne");
        QFile::setPermissions(path("disque"), kFolderOpen);
    }
}

// Each way a save can fail part of the way through: said, with the reason;
// the old page stays byte for byte and nothing new is left in the folder. The
// small page is the one that fits in QFileDevice's write buffer, which meets
// the full disk only when QSaveFile commits; the long name takes the path of
// names too long for QSaveFile's temporary file.
TEST_F(QtFilesTest, everyFailureOfASaveIsSaidAndLeavesTheOldPage) {
    enum class Fault { NearlyFullDisk, SyncFails, RenameFails };
    struct Case {
        const char* name;
        Fault fault;
        std::size_t pageSize;
        bool longName;
    };
    const Case cases[] = {
        {"small page, disk nearly full", Fault::NearlyFullDisk, 7'700, false},
        {"large page, disk nearly full", Fault::NearlyFullDisk, 300'000, false},
        {"small page, long name, disk nearly full", Fault::NearlyFullDisk, 7'700, true},
        {"fsync fails", Fault::SyncFails, 7'700, false},
        {"fsync fails, long name", Fault::SyncFails, 7'700, true},
        {"rename fails", Fault::RenameFails, 7'700, false},
        {"rename fails, long name", Fault::RenameFails, 7'700, true},
    };
    for (const Case& c : cases) {
        const QString caseFolder = path(QString::fromUtf8(c.name).replace(QLatin1Char(' '), QLatin1Char('-')));
        const QString target = caseFolder + "/" + (c.longName ? QString(245, QLatin1Char('n')) : "a") + ".html";
        const std::string old(1'600, 'o');
        const std::string newPage(c.pageSize, 'n');
        FullDisk disk(caseFolder.toStdString());
        write(target, old);
        const QStringList before = entries(caseFolder);
        Result<void> saved;
        if (c.fault == Fault::NearlyFullDisk) {
            disk.leaveRoom(4'096);
            saved = files.replace(target, newPage);
            disk.leaveRoom(std::nullopt);
        } else {
            const failing_calls::Failure failure(
                c.fault == Fault::SyncFails ? failing_calls::Call::Sync : failing_calls::Call::Rename, EIO);
            saved = files.replace(target, newPage);
            EXPECT_GT(failure.failedCalls(), 0) << c.name;
        }
        ASSERT_FALSE(saved.ok()) << c.name;
        const bool realDiskFull = c.fault == Fault::NearlyFullDisk && disk.mounted();
        EXPECT_EQ(saved.error(), realDiskFull ? Error::DiskFull : Error::WriteFailed) << c.name;
        EXPECT_EQ(bytesOf(target), old) << c.name;
        EXPECT_EQ(entries(caseFolder), before) << c.name;
    }
}

// The preview goes through the same layer: with no room beside the program
// nor in the cache folder it says so and opens nothing, rather than a browser
// showing half a page (an empty directory's page is some 7 kB).
TEST_F(QtFilesTest, aPreviewOnAFullDiskSaysSoAndOpensNothing) {
    FullDisk programDisk(path("programme").toStdString());
    FullDisk cacheDisk(path("cache").toStdString());
    write(path("programme/tmp.html"), "ancien aperçu");
    fichelia::testing::FakeDialogs dialogs;
    fichelia::testing::FakeDesktop desktop;
    desktop.executableFolderPath = path("programme");
    desktop.cacheFolderPath = path("cache");
    const fichelia::DirectoryList list(fichelia::NameCollator::fromEnvironment());
    programDisk.leaveRoom(4'096);
    cacheDisk.leaveRoom(4'096);
    fichelia::PageCommands(dialogs, files, desktop).preview(list);
    cacheDisk.leaveRoom(std::nullopt);
    programDisk.leaveRoom(std::nullopt);
    EXPECT_TRUE(desktop.openedFiles.empty());
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_TRUE(dialogs.messages[0].contains(programDisk.mounted() ? "le disque est plein" : "l'écriture a échoué"))
        << dialogs.messages[0].toStdString();
    EXPECT_EQ(bytesOf(path("programme/tmp.html")), "ancien aperçu");
}

TEST_F(QtFilesTest, openForReadingReadsTheBytesOrSaysWhyNot) {
    write(path("a.html"), page);
    auto source = files.openForReading(path("a.html"));
    ASSERT_TRUE(source);
    std::string read;
    std::vector<char> chunk(7000);
    for (auto got = (*source)->read(chunk.data(), chunk.size()); got && *got > 0;
         got = (*source)->read(chunk.data(), chunk.size())) {
        read.append(chunk.data(), *got);
    }
    EXPECT_EQ(read, page);

    ASSERT_TRUE(QDir().mkpath(path("dossier.html")));
    write(path("secret.html"), "x", QFileDevice::ReadOwner);
    const std::pair<QString, Error> cases[] = {{path("absent.html"), Error::FileNotFound},
                                               {path("absent/a.html"), Error::FolderNotFound},
                                               {path("dossier.html"), Error::IsFolder},
                                               {path("secret.html"), Error::AccessDenied}};
    const AsUnprivilegedUser unprivileged;
    for (const auto& [name, error] : cases) {
        const auto opened = files.openForReading(name);
        ASSERT_FALSE(opened.ok()) << name.toStdString();
        EXPECT_EQ(opened.error(), error) << name.toStdString();
    }
}

TEST_F(QtFilesTest, kindFollowsLinks) {
    write(path("a.html"), "x");
    ASSERT_TRUE(QDir().mkpath(path("dossier")));
    ASSERT_TRUE(QFile::link(path("dossier"), path("lien-dossier")));
    EXPECT_EQ(files.kind(path("a.html")), Kind::File);
    EXPECT_EQ(files.kind(path("dossier")), Kind::Folder);
    EXPECT_EQ(files.kind(path("lien-dossier")), Kind::Folder);
    EXPECT_EQ(files.kind(path("absent")), Kind::Missing);
}
