// Start-up: the application object, its title, the main window and the About
// dialog, then the event loop. The exit code is always 0.

#include <exception>
#include <memory>

#include "window/FicheliaApplication.h"
#include "window/MainWindow.h"
#include "window/AboutDialog.h"
#include "commands/ErrorText.h"
#include "commands/qt/QtDesktop.h"
#include "commands/qt/QtDialogs.h"
#include "commands/qt/QtFiles.h"
#include "directory/DirectoryList.h"
#include "platform/NameCollator.h"

int main(int argc, char** argv) {
    // The program reads no command line: Qt sees the program's name only.
    int qtArgc = 1;
    char* qtArgv[] = {argv[0], nullptr};
    (void)argc;

    fichelia::FicheliaApplication application(qtArgc, qtArgv);
    fichelia::QtDialogs dialogs;
    fichelia::QtFiles files;
    fichelia::QtDesktop desktop;
    // The handlers catch what escapes them; this catches what escapes making
    // the windows, shows it and ends the program.
    try {
        application.loadFrenchTranslation();
        fichelia::MainWindow mainWindow(
            dialogs, files, desktop,
            std::make_unique<fichelia::DirectoryList>(fichelia::NameCollator::fromEnvironment()));
        dialogs.setOwner(&mainWindow);
        fichelia::AboutDialog about(&mainWindow);
        mainWindow.setAboutDialog(&about);
        mainWindow.show();
        application.exec();
    } catch (const std::exception& error) {
        dialogs.setOwner(nullptr);
        dialogs.showError(fichelia::escapedErrorText(error));
    }
    return 0;
}
