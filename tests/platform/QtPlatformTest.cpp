// The Qt side of the platform: real boxes and dialogs, closed by the test from
// inside their modal loops.

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "GuiTestMain.h"
#include "PageFiles.h"
#include "platform/QtPlatform.h"

class TestQtPlatform : public QObject {
    Q_OBJECT

private:
    fichelia::QtPlatform platform;

    // Runs `inspect` on the modal box as soon as it shows.
    template <typename Box>
    void whenShown(std::function<void(Box*)> inspect) {
        QTimer::singleShot(0, this, [inspect] {
            QTRY_VERIFY(qobject_cast<Box*>(QApplication::activeModalWidget()) != nullptr);
            inspect(qobject_cast<Box*>(QApplication::activeModalWidget()));
        });
    }

private slots:
    void messageBox_hasTheCaptionTheTextNoIconAndOneOkThatEscapeCloses() {
        bool seen = false;
        whenShown<QMessageBox>([&seen](QMessageBox* box) {
            QCOMPARE(box->windowTitle(), QStringLiteral("Fichelia"));
            QCOMPARE(box->text(), QStringLiteral("Vous devez saisir un nom"));
            QCOMPARE(box->icon(), QMessageBox::NoIcon);
            QCOMPARE(box->buttons().size(), 1);
            QCOMPARE(box->defaultButton(), box->button(QMessageBox::Ok));
            QCOMPARE(box->escapeButton(), box->button(QMessageBox::Ok));
            seen = true;
            QTest::keyClick(box, Qt::Key_Escape);
        });
        platform.showMessage(QStringLiteral("Vous devez saisir un nom"));
        QVERIFY(seen);
    }

    void errorBox_addsAFullStopAlwaysAndShowsAStopIcon() {
        QString text;
        whenShown<QMessageBox>([&text](QMessageBox* box) {
            QCOMPARE(box->icon(), QMessageBox::Critical);
            QCOMPARE(box->windowTitle(), QStringLiteral("Fichelia"));
            text = box->text();
            QTest::keyClick(box, Qt::Key_Return);
        });
        platform.showError(QStringLiteral("Impossible d'insérer une ligne."));
        QCOMPARE(text, QStringLiteral("Impossible d'insérer une ligne.."));
    }

    void confirmation_isOkByDefaultAndCancelledByEscapeInFrench() {
        whenShown<QMessageBox>([](QMessageBox* box) {
            QCOMPARE(box->icon(), QMessageBox::Warning);
            QCOMPARE(box->defaultButton(), box->button(QMessageBox::Ok));
            QCOMPARE(box->button(QMessageBox::Cancel)->text(), QStringLiteral("Annuler"));
            QTest::keyClick(box, Qt::Key_Return);
        });
        QVERIFY(platform.confirm(QStringLiteral("Etes vous sur de vouloir supprimer ce contact ?")));
        whenShown<QMessageBox>([](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Escape); });
        QVERIFY(!platform.confirm(QStringLiteral("Etes vous sur de vouloir supprimer ce contact ?")));
    }

    void saveDialog_returnsTheTypedNameAndTheFilterThenSelected() {
        QTemporaryDir folder;
        whenShown<QFileDialog>([&folder](QFileDialog* dialog) {
            QCOMPARE(dialog->windowTitle(), QStringLiteral("Fichier Annuaire Web"));
            QCOMPARE(dialog->nameFilters(), fichelia::pageFilters());
            QCOMPARE(dialog->selectedNameFilter(), fichelia::pageFilters().at(0));
            QCOMPARE(dialog->acceptMode(), QFileDialog::AcceptSave);
            dialog->selectNameFilter(fichelia::pageFilters().at(1));
            auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            QVERIFY(name != nullptr);
            name->setText(folder.filePath(QStringLiteral("annuaire")));
            QTest::keyClick(name, Qt::Key_Return);
        });
        const auto choice = platform.chooseFileToSave(fichelia::kPageDialogTitle, fichelia::pageFilters(), 1);
        QVERIFY(choice.has_value());
        QCOMPARE(choice->path, folder.filePath(QStringLiteral("annuaire")));
        QCOMPARE(choice->filterIndex, 2);

        whenShown<QFileDialog>([](QFileDialog* dialog) { dialog->reject(); });
        QVERIFY(!platform.chooseFileToOpen(fichelia::kPageDialogTitle, fichelia::pageFilters(), 1).has_value());
    }

    void files_areReplacedWholeAndReadBack() {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("page.html"));
        QVERIFY(!platform.replaceFile(path, "abc").has_value());
        QString reason;
        auto source = platform.openForReading(path, reason);
        QVERIFY(source != nullptr);
        char bytes[8] = {};
        QCOMPARE(source->read(bytes, sizeof bytes), std::size_t{3});
        QVERIFY(!platform.openForReading(folder.filePath(QStringLiteral("absent")), reason));
        QCOMPARE(reason, QStringLiteral("le fichier ou son dossier n'existe pas"));
        const auto failure = platform.replaceFile(folder.filePath(QStringLiteral("absent/page.html")), "x");
        QCOMPARE(failure.value_or(QString()), QStringLiteral("le fichier ou son dossier n'existe pas"));
        QVERIFY(!platform.executableFolder().isEmpty());
    }
};

FICHELIA_GUI_TEST_MAIN(TestQtPlatform)
#include "QtPlatformTest.moc"
