// The About dialog, shown modally from the main window's menu.

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QTest>
#include <QTextDocument>
#include <QTimer>

#include "Fakes.h"
#include "GuiTestMain.h"
#include "window/PictureBox.h"
#include "SpokenControls.h"
#include "TestRecords.h"
#include "window/MainWindow.h"
#include "window/AboutDialog.h"
#include "window/WindowLook.h"

using fichelia::AboutDialog;
using fichelia::MainWindow;
using fichelia::testing::FakeShell;

class AboutDialogTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<FakeShell> shell;
    std::unique_ptr<MainWindow> form;
    AboutDialog* about = nullptr;

    // Opens the dialog from the menu; `whileShown` runs inside its modal loop
    // and must close it.
    void showAbout(const std::function<void()>& whileShown) {
        bool ran = false;
        QTimer::singleShot(0, this, [&] {
            QTRY_VERIFY(QApplication::activeModalWidget() == about);
            whileShown();
            ran = true;
        });
        form->aboutAction->trigger();
        QVERIFY(ran);
        QVERIFY(!about->isVisible());
    }

    // A click that goes through the window system, where modality applies.
    void clickAddAsTheWindowSystemWould() {
        const QPoint at = form->addButton->mapTo(form.get(), form->addButton->rect().center());
        QTest::mouseClick(form->windowHandle(), Qt::LeftButton, {}, at);
    }

private slots:
    void init() {
        shell = std::make_unique<FakeShell>();
        form =
            std::make_unique<MainWindow>(shell->dialogs, shell->files, shell->desktop,
                                         std::make_unique<fichelia::DirectoryList>(fichelia::testing::rootCollator()));
        about = new AboutDialog(form.get());
        form->setAboutDialog(about);
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    }
    void cleanup() {
        form.reset();
        shell.reset();
    }

    void dialog_hasItsCaptionSizeAndParts() {
        QCOMPARE(about->windowTitle(), QStringLiteral("Au sujet de Fichelia"));
        QCOMPARE(about->size(), QSize(582, 294));
        QCOMPARE(about->minimumSize(), about->maximumSize());
        QVERIFY(!(about->windowFlags() & Qt::WindowMaximizeButtonHint));
        QCOMPARE(about->bannerPicture->geometry(), QRect(-6, 0, 593, 57));
        QCOMPARE(about->bannerPicture->pixmap().size(), QSize(597, 60));
        QCOMPARE(about->aboutText->geometry(), QRect(16, 72, 545, 169));
        QCOMPARE(about->closeButton->geometry(), QRect(232, 248, 105, 41));
        QCOMPARE(about->closeButton->text(), QStringLiteral("Fermer"));
        QVERIFY(about->aboutText->isReadOnly());
        QCOMPARE(about->aboutText->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
        QCOMPARE(about->aboutText->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
        QCOMPARE(about->aboutText->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    }

    void screenReader_namesEveryPartAndCanReadTheWholeText() {
        showAbout([&] {
            const auto close = qScopeGuard([&] { about->closeButton->click(); });
            using A = QAccessible;
            fichelia::testing::verifySpokenControls(about,
                                                    {
                                                        {"bannerPicture", A::Graphic, "Fichelia - Votre annuaire Web"},
                                                        {"aboutText", A::EditableText, "Au sujet de Fichelia"},
                                                        {"closeButton", A::PushButton, "Fermer"},
                                                    });
            QAccessibleInterface* memo = A::queryAccessibleInterface(about->aboutText);
            QVERIFY(memo->state().readOnly);
            QVERIFY(memo->state().focusable);
            const QAccessibleTextInterface* text = memo->textInterface();
            QVERIFY(text != nullptr);
            QCOMPARE(text->text(0, text->characterCount()), AboutDialog::aboutLines().join(QLatin1Char('\n')));
        });
    }

    void memo_holdsItsTwelveLines() {
        const QStringList lines = about->aboutText->toPlainText().split(QLatin1Char('\n'));
        QCOMPARE(lines.size(), 12);
        QCOMPARE(lines[0], QStringLiteral("Fichelia vous permet d'installer un annuaire perfectionné sur votre site perso."));
        QVERIFY(lines[1].endsWith(QStringLiteral("sélection ")));
        QCOMPARE(lines[2], QStringLiteral("rapide d'un contact ..."));
        QVERIFY(lines[3].endsWith(QStringLiteral("(pas besoin de php ")));
        QVERIFY(lines[5].endsWith(QStringLiteral("pour les ")));
        QCOMPARE(lines[6], QStringLiteral("modifier."));
        QCOMPARE(lines[8], QString(46, QLatin1Char('-')));
        QCOMPARE(lines[9],
                 QStringLiteral("Fichelia fonctionne sous tous les systèmes windows : 98,Me,2000,NT,XP,2003 Server"));
        QVERIFY(lines[10].contains(QStringLiteral("https://fichelia.example/")));
        QCOMPARE(lines[11],
                 QStringLiteral("Logiciel libre sous licence MIT : utilisation, modification et redistribution libres."));
    }

    // The text has the window's font, shrunk only as far as every line needs
    // to show whole: one pixel larger, some line would wrap.
    void memo_fontIsTheLargestThatShowsEveryLineWhole() {
        showAbout([&] {
            const auto close = qScopeGuard([&] { about->close(); });
            QPlainTextEdit* text = about->aboutText;
            const int pixels = text->font().pixelSize();
            QVERIFY(pixels <= fichelia::WindowLook::font().pixelSize());
            QCOMPARE(text->document()->lineCount(), 12);
            if (pixels < fichelia::WindowLook::font().pixelSize()) {
                QFont larger = text->font();
                larger.setPixelSize(pixels + 1);
                text->setFont(larger);
                QTRY_VERIFY(text->document()->lineCount() > 12);
            }
        });
    }

    void fermer_closesTheDialogAndLeavesTheMainWindowAsItWas() {
        QVERIFY(form->directory().add(fichelia::testing::contact("Martin")));
        QVERIFY(form->directory().add(fichelia::testing::contact("Albert")));
        form->directory().select(1);
        form->phoneEdit->setText(QStringLiteral("tapé"));
        showAbout([this] {
            QVERIFY(about->isModal() || about->windowModality() != Qt::NonModal);
            // The main window's buttons do not react while the dialog shows.
            clickAddAsTheWindowSystemWould();
            const bool blocked = shell->dialogs.messages.empty();
            QTest::mouseClick(about->closeButton, Qt::LeftButton);
            QVERIFY(blocked);
        });
        QCOMPARE(form->directory().count(), 2);
        QCOMPARE(form->directory().selectedPosition(), 1);
        QCOMPARE(form->phoneEdit->text(), QStringLiteral("tapé"));
        QVERIFY(shell->dialogs.messages.empty());
        // Once it is closed they do again ("Ajouter" with no name asks for one).
        form->nameEdit->clear();
        clickAddAsTheWindowSystemWould();
        QCOMPARE(shell->dialogs.messages.size(), 1u);
    }

    // Escape, which closes Qt's dialogs, does nothing here; the close box
    // closes it like "Fermer".
    void closeBox_closesItLikeFermer_escapeDoesNot_andTheMemoCannotBeEdited() {
        showAbout([this] {
            QTest::keyClick(about, Qt::Key_Escape);
            QTest::keyClick(about->closeButton, Qt::Key_Escape);
            QVERIFY(about->isVisible());
            // No scroll bars: every line shows whole, none wraps out of sight.
            QCOMPARE(about->aboutText->document()->lineCount(), 12);
            about->aboutText->setFocus();
            QTest::keyClicks(about->aboutText, "xyz");
            QVERIFY(!about->aboutText->toPlainText().contains(QStringLiteral("xyz")));
            about->close();
        });
    }

    // As a Windows push button: Enter (either key) on the focused "Fermer"
    // closes the dialog, as Space does.
    void enterOnFermer_closesTheDialog_data() {
        QTest::addColumn<int>("key");
        QTest::newRow("Return") << int(Qt::Key_Return);
        QTest::newRow("keypad Enter") << int(Qt::Key_Enter);
        QTest::newRow("Space") << int(Qt::Key_Space);
    }
    void enterOnFermer_closesTheDialog() {
        QFETCH(int, key);
        showAbout([&] {
            about->closeButton->setFocus();
            QTest::keyClick(about->closeButton, Qt::Key(key));
            QTRY_VERIFY(!about->isVisible());
        });
    }

    void reopened_showsTheSameTextWhereTheUserLeftIt() {
        QPoint firstPlace;
        const QString text = about->aboutText->toPlainText();
        showAbout([&] {
            firstPlace = about->pos();
            about->move(firstPlace + QPoint(37, 21));
            about->close();
        });
        showAbout([&] {
            QCOMPARE(about->pos(), firstPlace + QPoint(37, 21));
            QCOMPARE(about->aboutText->toPlainText(), text);
            about->close();
        });
    }
};

FICHELIA_GUI_TEST_MAIN(AboutDialogTest)
#include "AboutDialogTest.moc"
