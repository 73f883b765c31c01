// The Qt boxes and dialogs: real ones, closed by the test from inside their
// modal loops.

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileIconProvider>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QScrollBar>
#include <QScreen>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QTest>
#include <QTimer>

#include "GuiTestMain.h"
#include "commands/PageCommands.h"
#include "commands/qt/QtDesktop.h"
#include "commands/qt/QtDialogs.h"

// Stands in for the desktop: records the addresses Qt would have it open.
class OpenedUrls final : public QObject {
    Q_OBJECT

public:
    QList<QUrl> urls;

public slots:
    void open(const QUrl& url) { urls << url; }
};

class TestQtDialogs : public QObject {
    Q_OBJECT

private:
    fichelia::QtDialogs dialogs;
    QList<QUrl> m_taken; // the addresses handed to takeUrl

    // Runs `inspect` on the modal box or dialog as soon as it shows.
    template <typename Box> void whenShown(std::function<void(Box*)> inspect) {
        QTimer::singleShot(0, this, [inspect] {
            QTRY_VERIFY(qobject_cast<Box*>(QApplication::activeModalWidget()) != nullptr);
            inspect(qobject_cast<Box*>(QApplication::activeModalWidget()));
        });
    }

public slots:
    // Stands in for the browser.
    void takeUrl(const QUrl& url) { m_taken << url; }

private slots:
    // Centred on the screen even when the window that owns it stands elsewhere.
    void messageBox_hasTheCaptionTheTextNoIconAndOneOkThatEscapeCloses() {
        QWidget owner;
        owner.setGeometry(10, 10, 200, 100);
        owner.show();
        dialogs.setOwner(&owner);
        bool seen = false;
        whenShown<QMessageBox>([&seen](QMessageBox* box) {
            QCOMPARE(box->windowTitle(), QStringLiteral("Fichelia"));
            QCOMPARE(box->text(), QStringLiteral("Vous devez saisir un nom"));
            QCOMPARE(box->icon(), QMessageBox::NoIcon);
            QCOMPARE(box->buttons().size(), 1);
            QCOMPARE(box->defaultButton(), box->button(QMessageBox::Ok));
            QCOMPARE(box->escapeButton(), box->button(QMessageBox::Ok));
            const QPoint offCentre = box->frameGeometry().center() - box->screen()->availableGeometry().center();
            QVERIFY2(offCentre.manhattanLength() <= 2, qPrintable(QString::number(offCentre.manhattanLength())));
            seen = true;
            QTest::keyClick(box, Qt::Key_Escape);
        });
        dialogs.showMessage(QStringLiteral("Vous devez saisir un nom"));
        dialogs.setOwner(nullptr);
        QVERIFY(seen);
    }

    // However long its details, a report stays within the screen: they show at
    // once below the summary, whole when short, scrolling when long.
    void reportBox_showsItsDetailsAtOnceAndStaysWithinTheScreen() {
        const QString summary = QStringLiteral("4 contacts ont été ajoutés à la liste.\nLaissé de côté : 180 passages "
                                               "illisibles.");
        QStringList lines;
        for (int file = 1; file <= 12; ++file) {
            lines << QStringLiteral("« carnet%1.vcf » : 100 contacts").arg(file);
            for (int line = 1; line <= 15; ++line) {
                lines << QStringLiteral("    ligne %1 : carte laissée de côté : ligne sans « : » entre le nom de la "
                                        "propriété et sa valeur")
                             .arg(line);
            }
        }
        struct Case {
            QString details;
            bool scrolls;
        };
        const Case cases[] = {{lines.mid(0, 3).join(QLatin1Char('\n')), false},
                              {lines.join(QLatin1Char('\n')), true}};
        for (const Case& c : cases) {
            bool seen = false;
            whenShown<QMessageBox>([&](QMessageBox* box) {
                QCOMPARE(box->text(), summary);
                QCOMPARE(box->icon(), QMessageBox::NoIcon);
                const auto* details = box->findChild<QTextEdit*>();
                QVERIFY(details != nullptr);
                QVERIFY(details->isVisible());
                QCOMPARE(details->toPlainText(), c.details);
                QCOMPARE(details->verticalScrollBar()->maximum() > 0, c.scrolls);
                const QRect area = box->screen()->availableGeometry();
                QVERIFY2(area.contains(box->frameGeometry()),
                         qPrintable(QStringLiteral("%1 px high").arg(box->frameGeometry().height())));
                QCOMPARE(box->escapeButton(), box->button(QMessageBox::Ok));
                seen = true;
                QTest::keyClick(box, Qt::Key_Escape);
            });
            dialogs.showReport(summary, c.details);
            QVERIFY(seen);
        }
    }

    // Qt's own words in its dialogs are French, those its French translation
    // lacks too (the type of a folder in the file dialog's detail view).
    void qtTexts_areFrench() {
        struct Case {
            const char* context;
            const char* text;
            const char* french;
        };
        const Case cases[] = {
            {"QPlatformTheme", "Cancel", "Annuler"},
            {"QFileDialog", "Look in:", "Voir dans :"},
            {"QFileSystemModel", "Date Modified", "Dernière modification"},
            {"QAbstractFileIconProvider", "Folder", "Dossier"},
            {"QAbstractFileIconProvider", "File Folder", "Dossier de fichiers"},
            {"QAbstractFileIconProvider", "Drive", "Lecteur"},
        };
        for (const Case& c : cases) {
            QCOMPARE(QCoreApplication::translate(c.context, c.text), QString::fromUtf8(c.french));
        }
        const QString folderType = QFileIconProvider().type(QFileInfo(QDir::tempPath()));
        QVERIFY2(folderType.startsWith(QStringLiteral("Dossier")), qPrintable(folderType));
    }

    void errorBox_addsAFullStopAlwaysAndShowsAStopIcon() {
        QString text;
        whenShown<QMessageBox>([&text](QMessageBox* box) {
            QCOMPARE(box->icon(), QMessageBox::Critical);
            QCOMPARE(box->windowTitle(), QStringLiteral("Fichelia"));
            text = box->text();
            QTest::keyClick(box, Qt::Key_Return);
        });
        dialogs.showError(QStringLiteral("Impossible d'insérer une ligne."));
        QCOMPARE(text, QStringLiteral("Impossible d'insérer une ligne.."));
    }

    void confirmation_isOkByDefaultAndCancelledByEscapeInFrench() {
        whenShown<QMessageBox>([](QMessageBox* box) {
            QCOMPARE(box->icon(), QMessageBox::Warning);
            QCOMPARE(box->defaultButton(), box->button(QMessageBox::Ok));
            QCOMPARE(box->button(QMessageBox::Cancel)->text(), QStringLiteral("Annuler"));
            QTest::keyClick(box, Qt::Key_Return);
        });
        QVERIFY(dialogs.confirm(QStringLiteral("Etes vous sur de vouloir supprimer ce contact ?")));
        whenShown<QMessageBox>([](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Escape); });
        QVERIFY(!dialogs.confirm(QStringLiteral("Etes vous sur de vouloir supprimer ce contact ?")));
    }

    void question_isOuiByDefaultAndNonByEscapeInFrench() {
        whenShown<QMessageBox>([](QMessageBox* box) {
            QCOMPARE(box->icon(), QMessageBox::Question);
            QCOMPARE(box->windowTitle(), QStringLiteral("Fichelia"));
            QCOMPARE(box->defaultButton(), box->button(QMessageBox::Yes));
            QCOMPARE(box->button(QMessageBox::Yes)->text().remove(QLatin1Char('&')), QStringLiteral("Oui"));
            QCOMPARE(box->button(QMessageBox::No)->text().remove(QLatin1Char('&')), QStringLiteral("Non"));
            QTest::keyClick(box, Qt::Key_Return);
        });
        QVERIFY(dialogs.ask(QStringLiteral("Ouvrir les 2 contacts lisibles ?")));
        whenShown<QMessageBox>([](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Escape); });
        QVERIFY(!dialogs.ask(QStringLiteral("Ouvrir les 2 contacts lisibles ?")));
    }

    // A name in a folder that does not exist is refused with a message, and the
    // dialog stays open until a name in an existing folder is given.
    void saveDialog_refusesAMissingFolderAndReturnsTheNameAndTheFilterThenSelected() {
        QTemporaryDir folder;
        QString refusal;
        whenShown<QFileDialog>([&](QFileDialog* dialog) {
            QCOMPARE(dialog->windowTitle(), QStringLiteral("Fichier Annuaire Web"));
            QCOMPARE(dialog->nameFilters(), fichelia::pageFilters());
            QCOMPARE(dialog->selectedNameFilter(), fichelia::pageFilters().at(0));
            QCOMPARE(dialog->acceptMode(), QFileDialog::AcceptSave);
            dialog->selectNameFilter(fichelia::pageFilters().at(1));
            auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            QVERIFY(name != nullptr);
            QTimer::singleShot(0, dialog, [&refusal, dialog] {
                QTRY_VERIFY(qobject_cast<QMessageBox*>(QApplication::activeModalWidget()) != nullptr);
                auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                refusal = box->text();
                box->accept();
                QTimer::singleShot(0, dialog, [dialog] {
                    auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
                    QVERIFY(dialog->isVisible());
                    name->setText(QDir(dialog->directory()).filePath(QStringLiteral("annuaire")));
                    QTest::keyClick(name, Qt::Key_Return);
                });
            });
            dialog->setDirectory(folder.path());
            name->setText(folder.filePath(QStringLiteral("parti/annuaire")));
            QTest::keyClick(name, Qt::Key_Return);
        });
        const auto choice = dialogs.chooseFileToSave(fichelia::kPageDialogTitle, fichelia::pageFilters(), 1);
        QVERIFY(
            refusal.startsWith(QDir::toNativeSeparators(folder.filePath(QStringLiteral("parti"))) +
                               QStringLiteral("\nDossier introuvable.")));
        QVERIFY(choice.has_value());
        QCOMPARE(choice->path, folder.filePath(QStringLiteral("annuaire")));
        QCOMPARE(choice->filterIndex, 2);

        QFileDialog::FileMode openMode = QFileDialog::AnyFile;
        whenShown<QFileDialog>([&openMode](QFileDialog* dialog) {
            openMode = dialog->fileMode();
            dialog->reject();
        });
        QVERIFY(!dialogs.chooseFileToOpen(fichelia::kPageDialogTitle, fichelia::pageFilters(), 1).has_value());
        QCOMPARE(openMode, QFileDialog::ExistingFile); // the open dialog itself refuses a missing file
    }

    // The wait cursor shows while the work is under way, and only then.
    void busy_showsTheWaitCursorUntilTheWorkEnds() {
        dialogs.setBusy(true);
        QVERIFY(QApplication::overrideCursor() != nullptr);
        QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        dialogs.setBusy(false);
        QCOMPARE(QApplication::overrideCursor(), nullptr);
    }

    // A window larger than the screen keeps its top-left corner, title bar
    // included, on the screen.
    void centring_aWindowLargerThanTheScreen_keepsItsTopLeftOnIt() {
        QWidget big;
        const QRect area = big.screen()->availableGeometry();
        big.resize(area.size() + QSize(300, 200));
        fichelia::centreOnScreen(&big);
        QCOMPARE(big.frameGeometry().topLeft(), area.topLeft());
    }

    // The preview reaches the desktop as that very file whatever its folder's
    // name holds; the publisher's address as it is written.
    void desktop_opensALocalFileAsThatFileAndAnAddressAsWritten() {
        OpenedUrls opened;
        for (const QString& scheme : {QStringLiteral("file"), QStringLiteral("https")}) {
            QDesktopServices::setUrlHandler(scheme, &opened, "open");
        }
        const auto unset = qScopeGuard([] {
            QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
            QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
        });
        fichelia::QtDesktop desktop;
        const QString path = QDir::tempPath() + QStringLiteral("/Annuaire #2 à 100%/tmp.html");
        QVERIFY(desktop.openLocalFile(path));
        QVERIFY(desktop.openAddress(QStringLiteral("https://fichelia.example/")));
        QCOMPARE(opened.urls.size(), 2);
        QCOMPARE(opened.urls[0].toLocalFile(), path);
        QCOMPARE(opened.urls[1], QUrl(QStringLiteral("https://fichelia.example/")));
    }

    // The preview's second place, the user's cache folder, is there once asked for.
    void desktop_makesTheCacheFolderItGives() {
        QStandardPaths::setTestModeEnabled(true);
        const auto real = qScopeGuard([] { QStandardPaths::setTestModeEnabled(false); });
        const QString expected = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
        QVERIFY(!expected.isEmpty());
        QDir(expected).removeRecursively();
        QCOMPARE(fichelia::QtDesktop().cacheFolder(), expected);
        QVERIFY(QFileInfo(expected).isDir());
        QDir(expected).removeRecursively();
    }

    // The preview says where its file is when no browser opens: the desktop
    // tells whether the file was handed to one.
    void desktop_saysWhetherALocalFileOpened() {
        struct Case {
            const char* method; // the handler's; one that does not exist opens nothing
            bool opened;
        };
        const Case cases[] = {{"takeUrl", true}, {"noSuchMethod", false}};
        fichelia::QtDesktop desktop;
        for (const Case& c : cases) {
            m_taken.clear();
            QDesktopServices::setUrlHandler(QStringLiteral("file"), this, c.method);
            if (!c.opened) {
                QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("noSuchMethod")));
            }
            const bool opened = desktop.openLocalFile(QStringLiteral("/tmp/aperçu.html"));
            QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
            QCOMPARE(opened, c.opened);
            QCOMPARE(m_taken, c.opened ? QList<QUrl>{QUrl::fromLocalFile(QStringLiteral("/tmp/aperçu.html"))}
                                       : QList<QUrl>{});
        }
    }

    void desktop_knowsTheExecutablesFolder() {
        const fichelia::QtDesktop desktop;
        QCOMPARE(desktop.executableFolder(), QCoreApplication::applicationDirPath());
        QVERIFY(!desktop.executableFolder().isEmpty());
    }
};

FICHELIA_GUI_TEST_MAIN(TestQtDialogs)
#include "QtDialogsTest.moc"
