// Draws the main window with a few contacts, one of them selected, and the
// About dialog, into PNG files for the documentation: window.png and
// about.png, or window@2x.png and about@2x.png on a screen scaled by 2.
//   fichelia_screenshots OUTPUT_FOLDER

#include <QApplication>
#include <QListView>
#include <QTest>

#include "Fakes.h"
#include "TestRecords.h"
#include "window/FicheliaApplication.h"
#include "window/MainWindow.h"
#include "window/AboutDialog.h"

using fichelia::AboutDialog;
using fichelia::Contact;
using fichelia::MainWindow;

int main(int argc, char** argv) {
    fichelia::FicheliaApplication application(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    const QString scale = application.devicePixelRatio() > 1 ? QStringLiteral("@2x") : QString();
    fichelia::testing::FakeShell shell;
    MainWindow form(shell.dialogs, shell.files, shell.desktop, fichelia::testing::listOf({}));
    auto& list = form.directory();
    (void)list.add(Contact("Lefèvre Jacqueline", "12 rue des Écoles, 75005 Paris", "01 43 25 00 00", "06 11 22 33 44",
                           "01 43 25 00 01", "j.lefevre@exemple.fr", "http://lefevre.example/",
                           "Fournisseur de papier, livraison le mardi"));
    (void)list.add(Contact("Arnaud Pierre", "3 place d'Armes, 13002 Marseille", "04 91 00 00 00", "", "", "", "", ""));
    (void)list.add(Contact("Dupont & Fils", "8 quai de la Loire, 44000 Nantes", "02 40 00 00 00", "", "02 40 00 00 01",
                           "contact@dupont.example", "http://dupont.example/", "Remise de 5 % dès 100 €"));
    (void)list.add(
        Contact("Müller Ursula", "Hauptstraße 5, Berlin", "+49 30 000000", "", "", "u.muller@exemple.de", "", ""));
    (void)list.add(
        Contact("Zoé Bernard", "1 avenue Foch, 69006 Lyon", "04 78 00 00 00", "06 98 76 54 32", "", "", "", ""));
    form.show();
    const bool windowShown = QTest::qWaitForWindowExposed(&form);
    const int row = 2;
    const QRect box = form.contactList->visualRect(form.contactList->model()->index(row, 0));
    QTest::mouseClick(form.contactList->viewport(), Qt::LeftButton, {}, box.center());
    QApplication::processEvents();
    const bool windowSaved = form.grab().save(folder + QStringLiteral("/window%1.png").arg(scale));

    AboutDialog about(&form);
    about.show();
    const bool aboutShown = QTest::qWaitForWindowExposed(&about);
    const bool aboutSaved = about.grab().save(folder + QStringLiteral("/about%1.png").arg(scale));
    return windowShown && aboutShown && windowSaved && aboutSaved ? 0 : 1;
}
