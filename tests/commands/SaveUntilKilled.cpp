// Not a test by itself: the program that kill_during_save kills while it
// saves. It reads the page PAGE into a directory list, touches READY, then
// saves the list to TARGET through the window's save command, the user having
// named TARGET in the save dialog. Exit status 0 when the save said nothing.
//   save_until_killed PAGE TARGET READY

#include <fstream>
#include <vector>

#include <QCoreApplication>

#include "Fakes.h"
#include "commands/PageCommands.h"
#include "page/PageReader.h"
#include "commands/qt/QtFiles.h"

using fichelia::Contact;

int main(int argc, char** argv) {
    if (argc != 4) {
        return 2;
    }
    const QCoreApplication application(argc, argv);
    fichelia::QtFiles files;
    auto source = files.openForReading(QString::fromLocal8Bit(argv[1]));
    std::vector<Contact> records;
    if (!source || !fichelia::ReadDirectoryPage(
                       **source, [&records](Contact&& record) { records.push_back(std::move(record)); })) {
        return 2;
    }
    fichelia::DirectoryList list(fichelia::NameCollator::fromEnvironment());
    if (!list.replaceAll(std::move(records))) {
        return 2;
    }
    fichelia::testing::FakeDialogs dialogs;
    dialogs.fileChoices.push_back({QString::fromLocal8Bit(argv[2]), 1});
    fichelia::testing::FakeDesktop desktop;
    fichelia::PageCommands commands(dialogs, files, desktop);
    std::ofstream(argv[3]) << "prêt\n";
    commands.save(list);
    return dialogs.messages.empty() ? 0 : 1;
}
