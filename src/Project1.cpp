// Start-up: the application object, its title, the main window and the About
// dialog, then the event loop. The exit code is always 0.

#include <exception>

#include "FicheliaApplication.h"
#include "Unit1.h"
#include "Unit2.h"
#include "platform/QtPlatform.h"

int main(int argc, char** argv) {
    // The program reads no command line: Qt sees the program's name only.
    int qtArgc = 1;
    char* qtArgv[] = {argv[0], nullptr};
    (void)argc;

    fichelia::FicheliaApplication application(qtArgc, qtArgv);
    fichelia::QtPlatform platform;
    application.setErrorReporter([&platform](const QString& message) { platform.showError(message); });
    try {
        application.loadFrenchTranslation();
        TForm1 mainWindow(platform);
        Form1 = &mainWindow;
        platform.setOwner(&mainWindow);
        TForm2 about(&mainWindow);
        Form2 = &about;
        mainWindow.setAboutDialog(&about);
        mainWindow.show();
        application.exec();
        Form2 = nullptr;
        Form1 = nullptr;
    } catch (const std::exception& error) {
        platform.setOwner(nullptr);
        application.reportError(QString::fromUtf8(error.what()));
    }
    return 0;
}
