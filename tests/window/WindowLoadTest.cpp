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

using fichelia::MainWindow;
using fichelia::testing::FakeShell;

class TestWindowLoad : public QObject {
    Q_OBJECT

private:
    FakeShell shell;

    static bool inOrder(fichelia::DirectoryList& list) {
        for (int i = 1; i < list.count(); ++i) {
            if (list.collator().compare(list.recordAt(i - 1).name, list.recordAt(i).name) > 0) {
                return false;
            }
        }
        return true;
    }

    static void clickRow(MainWindow& form, int row) {
        const QModelIndex index = form.contactList->model()->index(row, 0);
        form.contactList->scrollTo(index);
        QTest::mouseClick(form.contactList->viewport(), Qt::LeftButton, {},
                          form.contactList->visualRect(index).center());
    }

private slots:
    void aHundredThousandContacts_keepTheirOrderThroughModifyAndDelete() {
        MainWindow form(shell.dialogs, shell.files, shell.desktop,
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
        QCOMPARE(form.contactList->model()->rowCount(), 100000);
        QVERIFY(inOrder(list));

        clickRow(form, 50000);
        QCOMPARE(list.selectedPosition(), 50000);
        const std::string oldName = list.recordAt(50000).name;
        QCOMPARE(form.nameEdit->text(), QString::fromStdString(oldName));
        form.nameEdit->setText(QStringLiteral("Zz dernier"));
        QTest::mouseClick(form.modifyButton, Qt::LeftButton);
        QCOMPARE(list.count(), 100000);
        QCOMPARE(list.recordAt(99999).name, "Zz dernier");
        QCOMPARE(list.selectedPosition(), -1);
        QVERIFY(inOrder(list));

        clickRow(form, 40000);
        const std::string deleted = list.recordAt(40000).address;
        const std::string next = list.recordAt(40001).address;
        shell.dialogs.answers = {true};
        QTest::mouseClick(form.deleteButton, Qt::LeftButton);
        QCOMPARE(list.count(), 99999);
        QCOMPARE(list.recordAt(40000).address, next);
        QVERIFY(list.recordAt(40000).address != deleted || deleted == next);
        QCOMPARE(list.selectedPosition(), -1);
        QVERIFY(form.contactList->selectionModel()->selectedRows().isEmpty());

        form.nameEdit->setText(QStringLiteral("A premier"));
        QTest::mouseClick(form.addButton, Qt::LeftButton);
        QCOMPARE(list.recordAt(0).name, "A premier");
        QCOMPARE(form.contactList->model()->index(0, 0).data().toString(), QStringLiteral("A premier"));
        QVERIFY(inOrder(list));
        QVERIFY(shell.dialogs.messages.empty());
        QVERIFY(shell.dialogs.errors.empty());
    }
};

FICHELIA_GUI_TEST_MAIN(TestWindowLoad)
#include "WindowLoadTest.moc"
