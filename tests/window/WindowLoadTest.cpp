// The window with a hundred thousand contacts: the list stays in order and the
// selection stays right through modify and delete in the middle of it.

#include <random>

#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTest>

#include "Fakes.h"
#include "GuiTestMain.h"
#include "TestRecords.h"
#include "window/MainWindow.h"

using fichelia::testing::FakeShell;

class TestWindowLoad : public QObject {
    Q_OBJECT

private:
    FakeShell shell;

    static bool inOrder(fichelia::DirectoryList& list) {
        for (int i = 1; i < list.count(); ++i) {
            if (list.collator().compare(list.recordAt(i - 1).nom, list.recordAt(i).nom) > 0) {
                return false;
            }
        }
        return true;
    }

    static void clickRow(TForm1& form, int row) {
        const QModelIndex index = form.ListBox1->model()->index(row, 0);
        form.ListBox1->scrollTo(index);
        QTest::mouseClick(form.ListBox1->viewport(), Qt::LeftButton, {}, form.ListBox1->visualRect(index).center());
    }

private slots:
    void aHundredThousandContacts_keepTheirOrderThroughModifyAndDelete() {
        TForm1 form(shell.dialogs, shell.files, shell.desktop,
                    std::make_unique<fichelia::DirectoryList>(fichelia::testing::rootCollator()));
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        auto& list = form.directory();
        const char* const families[] = {"Martin", "bernard", "Thomas", "petit", "Robert", "Élise", "durand", "Dubois"};
        std::mt19937 random(99);
        for (int i = 0; i < 100000; ++i) {
            QVERIFY(list.add(fichelia::testing::contact(std::string(families[random() % 8]) + " " +
                                                        std::to_string(random() % 1000000))));
        }
        QCOMPARE(form.ListBox1->model()->rowCount(), 100000);
        QVERIFY(inOrder(list));

        clickRow(form, 50000);
        QCOMPARE(list.selectedPosition(), 50000);
        const std::string oldName = list.recordAt(50000).nom;
        QCOMPARE(form.Edit1->text(), QString::fromStdString(oldName));
        form.Edit1->setText(QStringLiteral("Zz dernier"));
        QTest::mouseClick(form.Button2, Qt::LeftButton);
        QCOMPARE(list.count(), 100000);
        QCOMPARE(list.recordAt(99999).nom, "Zz dernier");
        QCOMPARE(list.selectedPosition(), -1);
        QVERIFY(inOrder(list));

        clickRow(form, 40000);
        const std::string deleted = list.recordAt(40000).adresse;
        const std::string next = list.recordAt(40001).adresse;
        shell.dialogs.answers = {true};
        QTest::mouseClick(form.Button3, Qt::LeftButton);
        QCOMPARE(list.count(), 99999);
        QCOMPARE(list.recordAt(40000).adresse, next);
        QVERIFY(list.recordAt(40000).adresse != deleted || deleted == next);
        QCOMPARE(list.selectedPosition(), -1);
        QVERIFY(form.ListBox1->selectionModel()->selectedRows().isEmpty());

        form.Edit1->setText(QStringLiteral("A premier"));
        QTest::mouseClick(form.Button1, Qt::LeftButton);
        QCOMPARE(list.recordAt(0).nom, "A premier");
        QCOMPARE(form.ListBox1->model()->index(0, 0).data().toString(), QStringLiteral("A premier"));
        QVERIFY(inOrder(list));
        QVERIFY(shell.dialogs.messages.empty());
        QVERIFY(shell.dialogs.errors.empty());
    }
};

FICHELIA_GUI_TEST_MAIN(TestWindowLoad)
#include "WindowLoadTest.moc"
