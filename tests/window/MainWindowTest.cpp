// The main window: its layout, its menu, the editing commands and the list's
// selection, with the user, the disk and the desktop played by the fakes.

#include <QAbstractItemModelTester>
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QScopeGuard>
#include <QScreen>
#include <QStyle>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include "AllocationLimit.h"
#include "Fakes.h"
#include "Files.h"
#include "window/FramedGroup.h"
#include "GuiTestMain.h"
#include "window/PictureBox.h"
#include "SpokenControls.h"
#include "TestRecords.h"
#include "window/MainWindow.h"
#include "window/AboutDialog.h"

using fichelia::AboutDialog;
using fichelia::Contact;
using fichelia::DirectoryList;
using fichelia::MainWindow;
using fichelia::testing::FakeShell;

namespace {

const QString kNoSelection = QStringLiteral("Vous devez sélectionner un nom dans la liste");

// The captions of a window's labels and buttons that do not fit their place,
// in the fonts they are drawn with: a label's text running into a control
// beside it or out of its frame, a button's caption wider than the button
// within the style's margins.
QStringList cutCaptions(const QWidget* window) {
    QStringList cut;
    for (const QLabel* label : window->findChildren<QLabel*>()) {
        if (label->text().isEmpty()) {
            continue;
        }
        const QRect text(label->pos(), QSize(label->fontMetrics().horizontalAdvance(label->text()), label->height()));
        bool fits = label->parentWidget()->rect().contains(text);
        for (const QWidget* sibling : label->parentWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            const bool control = qobject_cast<const QLineEdit*>(sibling) || qobject_cast<const QPushButton*>(sibling) ||
                                 qobject_cast<const QAbstractItemView*>(sibling);
            const bool frame = sibling != label && qobject_cast<const QFrame*>(sibling) && !control &&
                               !qobject_cast<const QLabel*>(sibling) && sibling->geometry().contains(label->pos());
            fits = fits && !(control && sibling->geometry().intersects(text)) &&
                   !(frame && !sibling->geometry().contains(text));
        }
        if (!fits) {
            cut << label->objectName();
        }
    }
    for (const QPushButton* button : window->findChildren<QPushButton*>()) {
        const QStyle* style = button->style();
        const int room = button->width() - 2 * style->pixelMetric(QStyle::PM_ButtonMargin, nullptr, button) -
                         2 * style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, button);
        if (button->fontMetrics().horizontalAdvance(button->text()) > room) {
            cut << button->objectName();
        }
    }
    return cut;
}

QStringList listNames(const MainWindow& form) {
    QStringList names;
    const QAbstractItemModel* model = form.contactList->model();
    for (int row = 0; row < model->rowCount(); ++row) {
        names << model->index(row, 0).data().toString();
    }
    return names;
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<FakeShell> shell;
    std::unique_ptr<MainWindow> form;

    void makeForm(int capacity = DirectoryList::kUnlimited) {
        form.reset();
        shell = std::make_unique<FakeShell>();
        form =
            std::make_unique<MainWindow>(shell->dialogs, shell->files, shell->desktop,
                                         std::make_unique<DirectoryList>(fichelia::testing::rootCollator(), capacity));
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    }

    std::vector<QString>& messages() const { return shell->dialogs.messages; }
    using Report = fichelia::testing::FakeDialogs::Report;
    std::vector<Report>& reports() const { return shell->dialogs.reports; }
    int viewSelectedRow() const {
        const QModelIndexList rows = form->contactList->selectionModel()->selectedRows();
        return rows.isEmpty() ? -1 : rows.constFirst().row();
    }

    // nameEdit to commentEdit, the contact form in record order.
    std::vector<QLineEdit*> contactFields() const {
        std::vector<QLineEdit*> fields;
        for (const char* name :
             {"nameEdit", "addressEdit", "phoneEdit", "mobileEdit", "faxEdit", "mailEdit", "siteEdit", "commentEdit"}) {
            fields.push_back(form->findChild<QLineEdit*>(QLatin1String(name)));
        }
        return fields;
    }

    void fillForm(const QStringList& texts) {
        const auto fields = contactFields();
        for (std::size_t i = 0; i < fields.size(); ++i) {
            fields[i]->setText(texts.value(static_cast<qsizetype>(i)));
        }
    }

    QStringList formTexts() const {
        QStringList texts;
        for (const QLineEdit* field : contactFields()) {
            texts << field->text();
        }
        return texts;
    }

    void addContact(const QStringList& texts) {
        fillForm(texts);
        QTest::mouseClick(form->addButton, Qt::LeftButton);
    }

    // Puts test data files into the fake disk under /dossier/ and returns their paths.
    QStringList onDisk(const std::vector<std::string>& names) {
        QStringList paths;
        for (const std::string& name : names) {
            paths << QStringLiteral("/dossier/%1").arg(QString::fromStdString(name));
            shell->files.files[paths.back()] = fichelia::testing::readBytes(fichelia::testing::dataFile(name));
        }
        return paths;
    }

    static QMimeData* filesDragged(const QStringList& paths) {
        auto* data = new QMimeData;
        QList<QUrl> urls;
        for (const QString& path : paths) {
            urls << QUrl::fromLocalFile(path);
        }
        data->setUrls(urls);
        return data;
    }

    // What the window answered a drag: whether it took the drop, and the
    // actions it answered while the data moved over it and at the drop.
    struct Answer {
        bool taken = false;
        Qt::DropAction moving = Qt::IgnoreAction;
        Qt::DropAction dropped = Qt::IgnoreAction;
        int listedAtDrop = -1; // the list's count when the drop event returned
    };

    // Drags the data over a widget of the window and drops it there, through
    // the window as the window system does: Qt hands the drag to the widget
    // under the pointer that takes drops.
    Answer dragAndDrop(QWidget* target, const QMimeData* data, Qt::DropActions offered,
                       Qt::KeyboardModifiers modifiers = {}) {
        QWindow* window = target->window()->windowHandle();
        const QPoint at = target->mapTo(target->window(), target->rect().center());
        Answer answer;
        QDragEnterEvent enter(at, offered, data, Qt::LeftButton, modifiers);
        QApplication::sendEvent(window, &enter);
        QDragMoveEvent move(at, offered, data, Qt::LeftButton, modifiers);
        QApplication::sendEvent(window, &move);
        answer.moving = move.isAccepted() ? move.dropAction() : Qt::IgnoreAction;
        if (!move.isAccepted()) {
            QDragLeaveEvent leave;
            QApplication::sendEvent(window, &leave);
            return answer;
        }
        QDropEvent dropped(at, offered, data, Qt::LeftButton, modifiers);
        QApplication::sendEvent(window, &dropped);
        answer.listedAtDrop = form->directory().count();
        QCoreApplication::processEvents(); // the window takes the files once the drop is over
        answer.taken = dropped.isAccepted();
        answer.dropped = dropped.dropAction();
        return answer;
    }

    // A drop offering a copy; true when the window took it.
    bool drop(QWidget* target, const QMimeData* data) {
        return dragAndDrop(target, data, Qt::CopyAction).taken;
    }

    // A list holding Martin, selected, and a form the user has been editing.
    void selectMartinAndEditTheForm() {
        QVERIFY(form->directory().add(Contact("Martin", "", "", "", "", "", "", "")));
        clickRow(0);
        form->addressEdit->setText(QStringLiteral("adresse en cours de saisie"));
    }

    void clickRow(int row) {
        const QRect box = form->contactList->visualRect(form->contactList->model()->index(row, 0));
        QTest::mouseClick(form->contactList->viewport(), Qt::LeftButton, {}, box.center());
    }

private slots:
    void init() { makeForm(); }
    void cleanup() {
        form.reset();
        shell.reset();
    }

    void startUp_showsAnEmptyFormAndListUnderTheTitleFichelia() {
        QCOMPARE(form->windowTitle(), QStringLiteral("Fichelia"));
        QCOMPARE(form->objectName(), QStringLiteral("MainWindow"));
        QCOMPARE(formTexts(), QStringList(fichelia::kFieldCount, QString()));
        QCOMPARE(form->contactList->model()->rowCount(), 0);
        QCOMPARE(form->directory().selectedPosition(), -1);
        QVERIFY(messages().empty());
        QCOMPARE(form->centralWidget()->size(), QSize(598, 527));
        const QRect screen = form->screen()->availableGeometry();
        QVERIFY((form->frameGeometry().center() - screen.center()).manhattanLength() <= 2);
        QCOMPARE(form->minimumSize(), form->maximumSize());
        const Qt::WindowFlags flags = form->windowFlags();
        QVERIFY(flags & Qt::WindowMinimizeButtonHint);
        QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
        QVERIFY(flags & Qt::WindowCloseButtonHint);
        for (QPushButton* button : form->findChildren<QPushButton*>()) {
            QVERIFY2(!button->isDefault() && !button->autoDefault(), qPrintable(button->objectName()));
        }
    }

    void layout_everyComponentHasItsParentPlaceAndSize() {
        struct Place {
            const char* name;
            const char* parent;
            QRect geometry;
        };
        const Place places[] = {
            {"bannerPicture", "ClientArea", {0, 0, 593, 57}},   {"logoPicture", "ClientArea", {224, 480, 153, 49}},
            {"editingPanel", "ClientArea", {0, 56, 601, 417}},  {"listTitleBevel", "editingPanel", {8, 0, 217, 25}},
            {"contactList", "editingPanel", {8, 24, 217, 265}}, {"contactGroup", "editingPanel", {232, 0, 369, 329}},
            {"nameEdit", "contactGroup", {88, 24, 185, 21}},    {"addressEdit", "contactGroup", {88, 56, 249, 21}},
            {"phoneEdit", "contactGroup", {88, 88, 121, 21}},   {"mobileEdit", "contactGroup", {88, 120, 121, 21}},
            {"faxEdit", "contactGroup", {88, 152, 121, 21}},    {"mailEdit", "contactGroup", {88, 184, 217, 21}},
            {"siteEdit", "contactGroup", {88, 216, 169, 21}},   {"commentEdit", "contactGroup", {88, 248, 249, 21}},
            {"addButton", "contactGroup", {88, 280, 89, 33}},   {"modifyButton", "contactGroup", {248, 280, 89, 33}},
            {"deleteButton", "editingPanel", {8, 296, 97, 33}}, {"newButton", "editingPanel", {128, 296, 97, 33}},
            {"pageGroup", "editingPanel", {8, 344, 585, 65}},   {"previewButton", "pageGroup", {176, 16, 89, 41}},
            {"saveButton", "pageGroup", {376, 16, 201, 41}},    {"openButton", "pageGroup", {8, 16, 153, 41}},
            {"quitButton", "ClientArea", {488, 480, 105, 41}},
        };
        for (const Place& place : places) {
            const auto* widget = form->findChild<QWidget*>(QLatin1String(place.name));
            QVERIFY2(widget != nullptr, place.name);
            QCOMPARE(widget->parentWidget()->objectName(), QLatin1String(place.parent));
            QCOMPARE(widget->geometry(), place.geometry);
        }
        // Labels stand where they always stood and are at least as wide (they fit their text).
        const Place labels[] = {
            {"listTitleLabel", "editingPanel", {24, 8, 179, 13}}, {"nameLabel", "contactGroup", {16, 24, 26, 13}},
            {"addressLabel", "contactGroup", {16, 56, 38, 13}},   {"phoneLabel", "contactGroup", {16, 88, 15, 13}},
            {"faxLabel", "contactGroup", {16, 152, 17, 13}},      {"mobileLabel", "contactGroup", {16, 120, 24, 13}},
            {"mailLabel", "contactGroup", {16, 184, 19, 13}},     {"siteLabel", "contactGroup", {16, 216, 18, 13}},
            {"commentLabel", "contactGroup", {16, 248, 61, 13}},
        };
        for (const Place& place : labels) {
            const auto* label = form->findChild<QLabel*>(QLatin1String(place.name));
            QVERIFY2(label != nullptr, place.name);
            QCOMPARE(label->parentWidget()->objectName(), QLatin1String(place.parent));
            QCOMPARE(label->pos(), place.geometry.topLeft());
            QCOMPARE(label->height(), place.geometry.height());
            QVERIFY(label->width() >= place.geometry.width());
            QVERIFY2(label->width() >= label->sizeHint().width(), place.name);
        }
    }

    void layout_captionsColoursAndFonts() {
        const std::pair<QLabel*, const char*> labels[] = {
            {form->nameLabel, "Nom"},  {form->addressLabel, "Adresse"},    {form->phoneLabel, "Tél"},
            {form->faxLabel, "Fax"},   {form->mobileLabel, "GSM"},         {form->mailLabel, "Mail"},
            {form->siteLabel, "Site"}, {form->commentLabel, "Commentaire"}};
        for (const auto& [label, caption] : labels) {
            QCOMPARE(label->text(), QString::fromUtf8(caption));
            QCOMPARE(label->palette().color(QPalette::WindowText), QColor(Qt::white));
            QCOMPARE(label->font().bold(), label == form->nameLabel);
        }
        // GSM stands beside mobileEdit and Fax beside faxEdit: the form reads in record order.
        QCOMPARE(form->mobileLabel->y(), form->mobileEdit->y());
        QCOMPARE(form->faxLabel->y(), form->faxEdit->y());
        QCOMPARE(form->listTitleLabel->text(), QStringLiteral(".:: Edition de l'annuaire Web ::."));
        QCOMPARE(form->listTitleLabel->palette().color(QPalette::WindowText), QColor(128, 0, 0));
        QVERIFY(form->listTitleLabel->font().bold());
        QCOMPARE(form->contactGroup->title(), QStringLiteral("Fiche du contact"));
        QCOMPARE(form->contactGroup->background(), QColor(128, 0, 0));
        QCOMPARE(form->contactGroup->captionColour(), QColor(Qt::white));
        QCOMPARE(form->pageGroup->title(), QStringLiteral(".:: Mon annuaire Web ::."));
        QCOMPARE(form->pageGroup->captionColour(), QColor(128, 0, 0));

        const std::tuple<QPushButton*, const char*, bool> buttons[] = {
            {form->addButton, "Ajouter", false},
            {form->modifyButton, "Modifier", false},
            {form->deleteButton, "Supprimer", false},
            {form->newButton, "Nouveau", false},
            {form->previewButton, "Aperçu", false},
            {form->saveButton, ".:: Enregistrer l'annuaire Web ::.", true},
            {form->openButton, "Ouvrir un annuaire Web", true},
            {form->quitButton, "Quitter", false}};
        for (const auto& [button, caption, bold] : buttons) {
            QCOMPARE(button->text(), QString::fromUtf8(caption));
            QCOMPARE(button->font().bold(), bold);
        }
        QCOMPARE(form->saveButton->palette().color(QPalette::ButtonText), QColor(0, 0, 128));
        QCOMPARE(form->logoPicture->cursor().shape(), Qt::CrossCursor);
        QVERIFY(!form->bannerPicture->pixmap().isNull());
        QCOMPARE(form->bannerPicture->pixmap().size(), QSize(597, 60));
        QCOMPARE(form->logoPicture->pixmap().size(), QSize(148, 46));
        QCOMPARE(form->windowIcon().availableSizes().value(0), QSize(32, 32));

        // What the window draws: white client, maroon contact card with its white caption.
        const QImage shot = form->centralWidget()->grab().toImage();
        QCOMPARE(shot.pixelColor(300, 500), QColor(Qt::white));
        QCOMPARE(shot.pixelColor(232 + 360, 56 + 300), QColor(128, 0, 0));
        QCOMPARE(form->contactList->font().pixelSize(), 11);
    }

    // At 1x each picture is its bitmap pixel for pixel; on a screen scaled by 2
    // the bitmap drawn at twice the size is shown, not the small one enlarged.
    void pictures_atScale1AreTheirBitmaps_atScale2TheirTwiceAsLargeOnes() {
        const std::pair<fichelia::PictureBox*, const char*> pictures[] = {{form->bannerPicture, "banner"},
                                                                          {form->logoPicture, "logo"}};
        for (const auto& [box, name] : pictures) {
            for (const int ratio : {1, 2}) {
                const QString file = ratio == 1 ? QStringLiteral(":/%1.bmp") : QStringLiteral(":/%1@2x.bmp");
                const QImage bitmap = QImage(file.arg(QLatin1String(name))).convertToFormat(QImage::Format_RGB32);
                QCOMPARE(bitmap.size(), box->pixmap().size() * ratio);
                QPixmap drawn(box->size() * ratio);
                drawn.setDevicePixelRatio(ratio);
                drawn.fill(Qt::white);
                box->render(&drawn);
                const QRect shown({0, 0}, bitmap.size().boundedTo(drawn.size()));
                QVERIFY2(drawn.toImage().convertToFormat(QImage::Format_RGB32).copy(shown) == bitmap.copy(shown), name);
            }
        }
    }

    void tabOrder_visitsTheListTheFormThenTheButtonsInTheirOrder() {
        form->activateWindow();
        form->contactList->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), form->contactList);
        const QStringList expected = {"nameEdit",     "addressEdit", "phoneEdit",     "mobileEdit", "faxEdit",
                                      "mailEdit",     "siteEdit",    "commentEdit",   "addButton",  "modifyButton",
                                      "deleteButton", "newButton",   "previewButton", "saveButton", "openButton",
                                      "quitButton",   "contactList"};
        QStringList visited;
        for (int i = 0; i < expected.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(visited, expected);
    }

    void menu_hasItsItemsAllCheckedBeforeAndAfterUse() {
        QCOMPARE(form->mainMenu->objectName(), QStringLiteral("mainMenu"));
        const QList<QAction*> bar = form->mainMenu->actions();
        QCOMPARE(bar.size(), 3);
        QCOMPARE(bar[0]->text(), QStringLiteral("Fichiers"));
        QCOMPARE(bar[1]->text(), QStringLiteral("Editions"));
        QCOMPARE(bar[2]->text(), QStringLiteral("Au sujet de ..."));
        const std::pair<QAction*, const char*> items[] = {{form->openAction, "Ouvrir un Annuaire Web"},
                                                          {form->saveAction, "Enregistrer l'Annuaire Web"},
                                                          {form->quitAction, "Quitter"},
                                                          {form->previewAction, "Aperçu de l'Annuaire Web"},
                                                          {form->aboutAction, "Au sujet de Fichelia"}};
        QCOMPARE(form->fileMenu->actions(), (QList<QAction*>{form->openAction, form->saveAction, form->quitAction}));
        QCOMPARE(form->editMenu->actions(), QList<QAction*>{form->previewAction});
        QCOMPARE(form->aboutMenu->actions(), QList<QAction*>{form->aboutAction});
        for (const auto& [action, caption] : items) {
            QCOMPARE(action->text(), QString::fromUtf8(caption));
            QVERIFY(action->isCheckable());
            QVERIFY(action->isChecked());
            QVERIFY(action->shortcut().isEmpty());
        }
        // Used twice, they stay checked (no About dialog is attached here).
        for (QAction* action : {form->openAction, form->saveAction, form->aboutAction}) {
            for (int use = 0; use < 2; ++use) {
                action->trigger();
                QVERIFY(action->isChecked());
            }
        }
    }

    void menu_eachItemDoesWhatItsButtonDoes() {
        QTest::mouseClick(form->openButton, Qt::LeftButton);
        form->openAction->trigger();
        QTest::mouseClick(form->saveButton, Qt::LeftButton);
        form->saveAction->trigger();
        QCOMPARE(shell->dialogs.dialogs.size(), 4u);
        QCOMPARE(shell->dialogs.dialogs[0].save, false);
        QCOMPARE(shell->dialogs.dialogs[1].save, false);
        QCOMPARE(shell->dialogs.dialogs[2].save, true);
        QCOMPARE(shell->dialogs.dialogs[3].save, true);
        for (const auto& dialog : shell->dialogs.dialogs) {
            QCOMPARE(dialog.title, QStringLiteral("Fichier Annuaire Web"));
        }

        shell->desktop.executableFolderPath = QStringLiteral("/bin");
        QTest::mouseClick(form->previewButton, Qt::LeftButton);
        form->previewAction->trigger();
        QCOMPARE(shell->desktop.openedFiles, std::vector<QString>(2, QStringLiteral("/bin/tmp.html")));
    }

    void quit_byButtonMenuOrCloseBox_endsTheLoopAtOnceWithCodeZero() {
        addContact({"Pas enregistré"});
        const auto runLoopUntilQuit = [](const std::function<void()>& quit) {
            QTimer::singleShot(0, quit);
            QTimer::singleShot(5000, [] { QCoreApplication::exit(99); });
            return QCoreApplication::exec();
        };
        QCOMPARE(runLoopUntilQuit([this] { QTest::mouseClick(form->quitButton, Qt::LeftButton); }), 0);
        QCOMPARE(runLoopUntilQuit([this] { form->quitAction->trigger(); }), 0);
        QCOMPARE(runLoopUntilQuit([this] { form->close(); }), 0);
        QVERIFY(messages().empty());
        QVERIFY(shell->dialogs.questions.empty());
    }

    void add_withAnEmptyName_showsTheMessageAndChangesNothing() {
        addContact({"Martin"});
        clickRow(0);
        fillForm({"", "rue", "01", "06", "02", "m@x.fr", "http://x", "bon"});
        QTest::mouseClick(form->addButton, Qt::LeftButton);
        QCOMPARE(messages(), std::vector<QString>{QStringLiteral("Vous devez saisir un nom")});
        QCOMPARE(formTexts(), (QStringList{"", "rue", "01", "06", "02", "m@x.fr", "http://x", "bon"}));
        QCOMPARE(listNames(*form), QStringList{"Martin"});
        QCOMPARE(form->directory().selectedPosition(), 0);
    }

    void add_keepsTheListInCaseInsensitiveOrderAndEmptiesTheForm() {
        for (const char* name : {"dupont", "Durand", "Dupont", "arnaud", " "}) {
            addContact({name, "adresse"});
        }
        const QStringList names = listNames(*form);
        QCOMPARE(names.size(), 5);
        QCOMPARE(names[0], QStringLiteral(" ")); // a name of blanks is a name
        QCOMPARE(names[1], QStringLiteral("arnaud"));
        QCOMPARE(names[2].toLower(), QStringLiteral("dupont"));
        QCOMPARE(names[3].toLower(), QStringLiteral("dupont"));
        QCOMPARE(names[4], QStringLiteral("Durand"));
        QVERIFY(messages().empty());
        QCOMPARE(formTexts(), QStringList(fichelia::kFieldCount, QString()));
        QCOMPARE(form->directory().selectedPosition(), -1);
        QVERIFY(form->contactList->selectionModel()->selectedRows().isEmpty());
    }

    void add_sameNameTwice_keepsBothRecords() {
        addContact({"Martin", "1 rue A"});
        clickRow(0);
        QTest::mouseClick(form->addButton, Qt::LeftButton); // unchanged selected contact: a second entry
        QCOMPARE(listNames(*form), (QStringList{"Martin", "Martin"}));
        QCOMPARE(form->directory().recordAt(0).address, "1 rue A");
        QCOMPARE(form->directory().recordAt(1).address, "1 rue A");
    }

    void addAndModify_turnTheCommentsQuotesIntoApostrophesOnly() {
        addContact({"Le \"Chat\"", "rue \"A\"", "", "", "", "", "http://\"s\"", "un \"bon\" client"});
        const Contact& record = form->directory().recordAt(0);
        QCOMPARE(record.name, "Le \"Chat\"");
        QCOMPARE(record.address, "rue \"A\"");
        QCOMPARE(record.site, "http://\"s\"");
        QCOMPARE(record.comment, "un 'bon' client");
        clickRow(0);
        form->commentEdit->setText(QStringLiteral("\"\"x\""));
        QTest::mouseClick(form->modifyButton, Qt::LeftButton);
        QCOMPARE(form->directory().recordAt(0).comment, "''x'");
    }

    void modifyAndDelete_withoutASelection_showTheMessage() {
        QTest::mouseClick(form->modifyButton, Qt::LeftButton);
        QTest::mouseClick(form->deleteButton, Qt::LeftButton);
        addContact({"Martin"});
        fillForm({"Texte", "tapé"});
        QTest::mouseClick(form->modifyButton, Qt::LeftButton);
        QTest::mouseClick(form->deleteButton, Qt::LeftButton);
        QCOMPARE(messages(), std::vector<QString>(4, kNoSelection));
        QVERIFY(shell->dialogs.questions.empty());
        QCOMPARE(listNames(*form), QStringList{"Martin"});
        QCOMPARE(formTexts().mid(0, 2), (QStringList{"Texte", "tapé"}));
    }

    void modify_replacesTheSelectedEntryAtItsNewPlace() {
        addContact({"Martin", "1 rue"});
        addContact({"Albert"});
        addContact({"Zoé"});
        clickRow(1);
        QCOMPARE(formTexts()[0], QStringLiteral("Martin"));
        fillForm({"Bernard", "2 rue", "t", "g", "f", "m", "s", "c"});
        QTest::mouseClick(form->modifyButton, Qt::LeftButton);
        QCOMPARE(listNames(*form), (QStringList{"Albert", "Bernard", "Zoé"}));
        QCOMPARE(form->directory().recordAt(1), Contact("Bernard", "2 rue", "t", "g", "f", "m", "s", "c"));
        QCOMPARE(formTexts(), QStringList(fichelia::kFieldCount, QString()));
        QCOMPARE(form->directory().selectedPosition(), -1);

        clickRow(2);
        form->nameEdit->clear();
        QTest::mouseClick(form->modifyButton, Qt::LeftButton);
        QCOMPARE(listNames(*form), (QStringList{"", "Albert", "Bernard"}));
        QVERIFY(messages().empty());
    }

    void aListThatCannotTakeAnEntry_showsTheErrorBoxAndLosesNothing() {
        makeForm(2);
        addContact({"Albert"});
        addContact({"Martin", "1 rue"});
        addContact({"Zoé", "rue"});
        QCOMPARE(shell->dialogs.errors, std::vector<QString>{QStringLiteral("Impossible d'insérer une ligne.")});
        QCOMPARE(formTexts().mid(0, 2), (QStringList{"Zoé", "rue"}));
        QCOMPARE(listNames(*form), (QStringList{"Albert", "Martin"}));

        // Modify takes no room of its own; when memory runs out it keeps the old
        // entry, selected, and the form keeps what was typed.
        clickRow(1);
        const QString tooBigToSort(600'000, QLatin1Char('n'));
        fillForm({tooBigToSort, "2 rue"});
        {
            const fichelia::testing::AllocationLimit limit(1 << 20);
            QTest::mouseClick(form->modifyButton, Qt::LeftButton);
        }
        QCOMPARE(shell->dialogs.errors.size(), 2u);
        QCOMPARE(shell->dialogs.errors.back(), QStringLiteral("Impossible d'insérer une ligne."));
        QCOMPARE(listNames(*form), (QStringList{"Albert", "Martin"}));
        QCOMPARE(form->directory().selectedPosition(), 1);
        QCOMPARE(viewSelectedRow(), 1);
        QCOMPARE(formTexts().mid(0, 2), (QStringList{tooBigToSort, "2 rue"}));
        fillForm({"Bernard", "2 rue"});
        QTest::mouseClick(form->modifyButton, Qt::LeftButton);
        QCOMPARE(listNames(*form), (QStringList{"Albert", "Bernard"}));
        QCOMPARE(shell->dialogs.errors.size(), 2u);
    }

    // The list tells the view, and through it screen readers, of each row
    // that comes or goes where the list puts or takes it.
    void listModel_tellsEachChangeWhereItHappens() {
        const QAbstractItemModelTester tester(form->contactList->model(),
                                              QAbstractItemModelTester::FailureReportingMode::QtTest);
        for (const char* name : {"Martin", "Albert", "Zoé", "Bernard"}) {
            addContact({name});
        }
        clickRow(3);
        fillForm({"Aline"});
        QTest::mouseClick(form->modifyButton, Qt::LeftButton);
        clickRow(2);
        shell->dialogs.answers = {true};
        QTest::mouseClick(form->deleteButton, Qt::LeftButton);
        QCOMPARE(listNames(*form), (QStringList{"Albert", "Aline", "Martin"}));
    }

    void delete_asksAndRemovesOnlyOnOk() {
        addContact({"Albert"});
        addContact({"Martin", "1 rue"});
        clickRow(1);
        form->addressEdit->setText(QStringLiteral("modifié à la main"));
        shell->dialogs.answers = {false};
        QTest::mouseClick(form->deleteButton, Qt::LeftButton);
        QCOMPARE(shell->dialogs.questions,
                 std::vector<QString>{QStringLiteral("Etes vous sur de vouloir supprimer ce contact ?")});
        QCOMPARE(listNames(*form), (QStringList{"Albert", "Martin"}));
        QCOMPARE(form->directory().selectedPosition(), 1);
        QCOMPARE(form->addressEdit->text(), QStringLiteral("modifié à la main"));

        shell->dialogs.answers = {true};
        QTest::mouseClick(form->deleteButton, Qt::LeftButton);
        QCOMPARE(listNames(*form), QStringList{"Albert"});
        QCOMPARE(formTexts(), QStringList(fichelia::kFieldCount, QString()));
        QCOMPARE(form->directory().selectedPosition(), -1);
        clickRow(0); // the list goes on answering clicks
        QCOMPARE(form->directory().selectedPosition(), 0);
        QCOMPARE(formTexts()[0], QStringLiteral("Albert"));
    }

    void new_emptiesTheFormClearsTheSelectionAndPutsTheCaretInTheName() {
        addContact({"Martin", "1 rue"});
        clickRow(0);
        form->addButton->setFocus();
        QTest::mouseClick(form->newButton, Qt::LeftButton);
        QCOMPARE(formTexts(), QStringList(fichelia::kFieldCount, QString()));
        QCOMPARE(form->directory().selectedPosition(), -1);
        QVERIFY(form->contactList->selectionModel()->selectedRows().isEmpty());
        QTRY_COMPARE(QApplication::focusWidget(), form->nameEdit);
        QCOMPARE(listNames(*form), QStringList{"Martin"});
    }

    void select_byMouseOrKeyboard_fillsTheEightFieldsEmptyOnesIncluded() {
        addContact({"Albert", "a", "t", "g", "", "m", "s", "c"});
        addContact({"Bernard", "b"});
        addContact({"Martin", "m"});
        form->faxEdit->setText(QStringLiteral("tapé par l'utilisateur"));
        clickRow(0);
        QCOMPARE(formTexts(), (QStringList{"Albert", "a", "t", "g", "", "m", "s", "c"}));

        form->contactList->setFocus();
        QTest::keyClick(form->contactList, Qt::Key_Down);
        QCOMPARE(form->directory().selectedPosition(), 1);
        QCOMPARE(formTexts()[0], QStringLiteral("Bernard"));
        QTest::keyClick(form->contactList, Qt::Key_M);
        QCOMPARE(form->directory().selectedPosition(), 2);
        QCOMPARE(formTexts().mid(0, 2), (QStringList{"Martin", "m"}));

        // A click with Shift held selects and shows the name clicked, as any click.
        clickRow(0);
        QTest::mouseClick(form->contactList->viewport(), Qt::LeftButton, Qt::ShiftModifier,
                          form->contactList->visualRect(form->contactList->model()->index(1, 0)).center());
        QCOMPARE(form->directory().selectedPosition(), 1);
        QCOMPARE(viewSelectedRow(), 1);
        QCOMPARE(formTexts()[0], QStringLiteral("Bernard"));

        // Clicking the selected entry again shows its record again.
        form->addressEdit->setText(QStringLiteral("changé"));
        clickRow(2);
        QCOMPARE(form->addressEdit->text(), QStringLiteral("m"));
    }

    // Neither the program's selections nor the view's own moves while the
    // list changes (it selects the next row when the selected one goes) run
    // the select command or change the list's selection.
    void programSelectionChanges_doNotRunTheSelectCommand() {
        addContact({"Albert", "a"});
        addContact({"Bernard", "b"});
        clickRow(0);
        form->addressEdit->setText(QStringLiteral("tapé"));
        form->directory().select(1);
        QCOMPARE(viewSelectedRow(), 1);
        form->directory().removeSelected();
        QCOMPARE(form->directory().selectedPosition(), -1);
        QCOMPARE(viewSelectedRow(), -1);
        form->directory().select(0);
        QCOMPARE(form->addressEdit->text(), QStringLiteral("tapé"));
        QCOMPARE(viewSelectedRow(), 0);
        form->clearForm();
        QCOMPARE(viewSelectedRow(), -1);
        QCOMPARE(listNames(*form), QStringList{"Albert"});
    }

    void textsOfAnyLengthAndCharacter_surviveSelectThenModify() {
        std::mt19937 random(3);
        std::vector<Contact> records;
        records.push_back(Contact("Long", std::string(40000, 'a'), "", "", "", "", "", std::string(70000, 'c')));
        for (int i = 0; i < 40; ++i) {
            Contact record = fichelia::testing::awkwardContact(random);
            record.comment = fichelia::applyCommentQuoteRule(record.comment);
            records.push_back(record);
        }
        for (const Contact& record : records) {
            auto& list = form->directory();
            list.removeAll();
            QVERIFY(list.add(record));
            clickRow(0);
            QTest::mouseClick(form->modifyButton, Qt::LeftButton);
            QCOMPARE(list.count(), 1);
            QVERIFY2(list.recordAt(0) == record, record.name.c_str());
        }
    }

    void logo_opensThePublishersPageAndSaysNothingWhenItCannot() {
        QTest::mouseClick(form->logoPicture, Qt::LeftButton);
        QCOMPARE(shell->desktop.openedAddresses, std::vector<QString>{QStringLiteral("https://fichelia.example/")});
        QVERIFY(messages().empty());
        QVERIFY(shell->dialogs.errors.empty());
    }

    void screenReader_namesEveryControlAsTheWindowShowsIt() {
        using A = QAccessible;
        fichelia::testing::verifySpokenControls(form.get(),
                                                {
                                                    {"bannerPicture", A::Graphic, "Fichelia - Votre annuaire Web"},
                                                    {"logoPicture", A::Link, "Fichelia - fichelia.example"},
                                                    {"listTitleLabel", A::StaticText, "Edition de l'annuaire Web"},
                                                    {"contactList", A::List, "Edition de l'annuaire Web"},
                                                    {"contactGroup", A::Grouping, "Fiche du contact"},
                                                    {"nameLabel", A::StaticText, "Nom"},
                                                    {"nameEdit", A::EditableText, "Nom"},
                                                    {"addressLabel", A::StaticText, "Adresse"},
                                                    {"addressEdit", A::EditableText, "Adresse"},
                                                    {"phoneLabel", A::StaticText, "Tél"},
                                                    {"phoneEdit", A::EditableText, "Tél"},
                                                    {"mobileLabel", A::StaticText, "GSM"},
                                                    {"mobileEdit", A::EditableText, "GSM"},
                                                    {"faxLabel", A::StaticText, "Fax"},
                                                    {"faxEdit", A::EditableText, "Fax"},
                                                    {"mailLabel", A::StaticText, "Mail"},
                                                    {"mailEdit", A::EditableText, "Mail"},
                                                    {"siteLabel", A::StaticText, "Site"},
                                                    {"siteEdit", A::EditableText, "Site"},
                                                    {"commentLabel", A::StaticText, "Commentaire"},
                                                    {"commentEdit", A::EditableText, "Commentaire"},
                                                    {"addButton", A::PushButton, "Ajouter"},
                                                    {"modifyButton", A::PushButton, "Modifier"},
                                                    {"deleteButton", A::PushButton, "Supprimer"},
                                                    {"newButton", A::PushButton, "Nouveau"},
                                                    {"pageGroup", A::Grouping, "Mon annuaire Web"},
                                                    {"openButton", A::PushButton, "Ouvrir un annuaire Web"},
                                                    {"previewButton", A::PushButton, "Aperçu"},
                                                    {"saveButton", A::PushButton, "Enregistrer l'annuaire Web"},
                                                    {"quitButton", A::PushButton, "Quitter"},
                                                });
        // The menu bar's titles, and the link's address.
        QAccessibleInterface* menuBar = QAccessible::queryAccessibleInterface(form->mainMenu);
        QStringList titles;
        for (int i = 0; i < menuBar->childCount(); ++i) {
            titles << menuBar->child(i)->text(QAccessible::Name);
        }
        QCOMPARE(titles, (QStringList{"Fichiers", "Editions", "Au sujet de ..."}));
        QAccessibleInterface* logo = QAccessible::queryAccessibleInterface(form->logoPicture);
        QCOMPARE(logo->text(QAccessible::Description), QStringLiteral("https://fichelia.example/"));
        QVERIFY(logo->state().linked);
    }

    void logoLink_followedByAScreenReader_opensThePublishersPage() {
        QAccessibleActionInterface* link = QAccessible::queryAccessibleInterface(form->logoPicture)->actionInterface();
        QVERIFY(link != nullptr);
        QCOMPARE(link->actionNames(), QStringList{QAccessibleActionInterface::pressAction()});
        link->doAction(QAccessibleActionInterface::pressAction());
        QCOMPARE(shell->desktop.openedAddresses, std::vector<QString>{QStringLiteral("https://fichelia.example/")});
    }

    void drop_ofEachFormat_addsAllItsContactsAndLeavesTheSelectionAndTheForm() {
        struct Case {
            const char* file;
            const char* expected; // the same contacts as TSV
        };
        const Case cases[] = {
            {"phone_v21.vcf", "phone_v21.expected.tsv"},   {"google_contacts.csv", "google_contacts.expected.tsv"},
            {"address_book.ldif", "address_book.expected.tsv"}, {"contacts_three.tsv", "contacts_three.tsv"},
            {"page_three.html", "contacts_three.tsv"},
        };
        for (const Case& c : cases) {
            makeForm();
            selectMartinAndEditTheForm();
            const QStringList before = formTexts();
            const std::unique_ptr<QMimeData> data(filesDragged(onDisk({c.file})));
            QVERIFY2(drop(form.get(), data.get()), c.file);

            const auto expected = fichelia::testing::contactsFromTsv(c.expected);
            const auto& list = form->directory();
            QCOMPARE(list.count(), 1 + static_cast<int>(expected.size()));
            for (const Contact& record : expected) {
                bool found = false;
                for (int i = 0; i < list.count(); ++i) {
                    found = found || list.recordAt(i) == record;
                }
                QVERIFY2(found, record.name.c_str());
            }
            QCOMPARE(list.recordAt(list.selectedPosition()).name, std::string("Martin"));
            QCOMPARE(viewSelectedRow(), list.selectedPosition());
            // The keyboard and screen readers go on from the selected name.
            QCOMPARE(form->contactList->currentIndex().row(), list.selectedPosition());
            QCOMPARE(formTexts(), before);
            QCOMPARE(reports().size(), std::size_t{1});
            QCOMPARE(reports().front().summary.section(QLatin1Char('\n'), 0, 0),
                     QStringLiteral("%1 contacts ont été ajoutés à la liste.").arg(expected.size()));
            QCOMPARE(reports().front().details.section(QLatin1Char('\n'), 0, 0),
                     QStringLiteral("« %1 » : %2 contacts").arg(QLatin1String(c.file)).arg(expected.size()));
            QVERIFY(shell->dialogs.busyCount > 0);
            QCOMPARE(shell->dialogs.busyDepth, 0);
        }
    }

    void drop_ofSeveralFiles_onAField_addsThemAllAndSaysWhatWasLeftOut() {
        shell->files.files[QStringLiteral("/dossier/divers.vcf")] = "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Alice\r\n"
                                                                    "URL:javascript:alert(1)\r\nBDAY:2000-01-01\r\n"
                                                                    "END:VCARD\r\nBEGIN:VCARD\r\nVERSION:3.0\r\n"
                                                                    "FN:Bob\r\nsans deux-points\r\nEND:VCARD\r\n";
        const QStringList paths = QStringList{QStringLiteral("/dossier/divers.vcf")} + onDisk({"page_three.html"});
        const std::unique_ptr<QMimeData> data(filesDragged(paths));
        QVERIFY(drop(form->nameEdit, data.get()));
        QCOMPARE(form->directory().count(), 5);
        QCOMPARE(form->nameEdit->text(), QString());
        QCOMPARE(reports().size(), std::size_t{1});
        QCOMPARE(reports().front().summary,
                 QStringLiteral("5 contacts ont été ajoutés à la liste.\n"
                                "Laissé de côté : 1 passage illisible, 1 adresse de site qui ferait exécuter du code, "
                                "1 valeur sans champ."));
        QCOMPARE(reports().front().details, QStringLiteral(
                                 "« divers.vcf » : 2 contacts\n"
                                 "    ligne 10 laissée de côté : ligne sans « : » entre le nom de la propriété "
                                 "et sa valeur\n"
                                 "    ligne 4 : adresse de site laissée de côté, elle ferait exécuter du code dans le "
                                 "navigateur des visiteurs : javascript:alert(1)\n"
                                 "    valeurs laissées de côté, faute de champ pour elles : 1 × date de naissance\n"
                                 "« page_three.html » : 3 contacts"));
    }

    // The contact lines of a dropped page that cannot be read are named, as an
    // address book's cards are; the others are added.
    void drop_ofAPageWithADamagedLine_addsTheOthersAndNamesIt() {
        shell->files.files[QStringLiteral("/dossier/coupé.html")] =
            "<html>\nremplirTabFournisseur(0,\"Alice\",\"\",\"\",\"\",\"\",\"\",\"\",\"\");\n"
            "remplirTabFournisseur(1,\"Bo";
        const std::unique_ptr<QMimeData> data(filesDragged({QStringLiteral("/dossier/coupé.html")}));
        QVERIFY(drop(form.get(), data.get()));
        QCOMPARE(listNames(*form), QStringList{QStringLiteral("Alice")});
        QVERIFY(messages().empty());
        QCOMPARE(reports().size(), std::size_t{1});
        QCOMPARE(reports().front().summary, QStringLiteral("1 contact a été ajouté à la liste.\n"
                                                           "Laissé de côté : 1 passage illisible."));
        QCOMPARE(reports().front().details,
                 QStringLiteral("« coupé.html » : 1 contact\n"
                                "    ligne 3 laissée de côté : ligne de contact illisible (coupée, valeur jamais "
                                "fermée, pas huit valeurs ou autre chose entre elles)"));
    }

    void drop_withARefusedOrUnreadableFile_addsNothingAndSaysWhy() {
        selectMartinAndEditTheForm();
        shell->files.files[QStringLiteral("/dossier/notes.pdf")] = "%PDF-1.4\n1 0 obj\n";
        const QStringList paths = onDisk({"phone_v21.vcf"}) +
                                  QStringList{QStringLiteral("/dossier/notes.pdf"), QStringLiteral("/dossier/absent.vcf")};
        const std::unique_ptr<QMimeData> data(filesDragged(paths));
        QVERIFY(drop(form.get(), data.get()));
        QCOMPARE(listNames(*form), QStringList{QStringLiteral("Martin")});
        QCOMPARE(form->directory().selectedPosition(), 0);
        QCOMPARE(reports().size(), std::size_t{1});
        QCOMPARE(reports().front().summary,
                 QStringLiteral("Aucun contact n'a été ajouté : la liste n'a pas été modifiée.\n"
                                "2 fichiers refusés, pour les raisons dites ci-dessous.\n"
                                "Les contacts des autres fichiers n'ont pas été ajoutés non plus : déposez-les sans "
                                "ceux-ci pour les ajouter."));
        QCOMPARE(reports().front().details,
                 QStringLiteral("« notes.pdf » : ce fichier est un document PDF, pas un carnet d'adresses.\n"
                                "« absent.vcf » : impossible de le lire : le fichier n'existe pas."));
    }

    void drop_moreThanTheListTakes_addsNothing() {
        makeForm(2);
        const std::unique_ptr<QMimeData> data(filesDragged(onDisk({"contacts_three.tsv"})));
        QVERIFY(drop(form.get(), data.get()));
        QCOMPARE(form->directory().count(), 0);
        QCOMPARE(shell->dialogs.errors, std::vector<QString>{QStringLiteral("Impossible d'insérer une ligne.")});
        QVERIFY(messages().empty());
        QVERIFY(reports().empty());
    }

    // Text and web links are no files: the window and its fields refuse them,
    // and a field still takes typed text.
    void drop_ofTextOrALink_isIgnoredOnTheWindowAndOnAField() {
        QMimeData text;
        text.setText(QStringLiteral("Dupont"));
        QMimeData link;
        link.setUrls({QUrl(QStringLiteral("https://exemple.fr/contacts.vcf"))});
        link.setText(QStringLiteral("https://exemple.fr/contacts.vcf"));
        for (QWidget* target : std::initializer_list<QWidget*>{form.get(), form->nameEdit, form->commentEdit}) {
            for (const QMimeData* data : {&text, &link}) {
                const Answer answer = dragAndDrop(target, data, Qt::CopyAction | Qt::MoveAction);
                QVERIFY2(!answer.taken, qPrintable(target->objectName()));
                QCOMPARE(answer.moving, Qt::IgnoreAction);
            }
        }
        QCOMPARE(formTexts(), QStringList(8, QString()));
        QTest::keyClicks(form->nameEdit, QStringLiteral("Dupont"));
        QCOMPARE(form->nameEdit->text(), QStringLiteral("Dupont"));
        QCOMPARE(form->directory().count(), 0);
        QVERIFY(reports().empty());
        QCOMPARE(shell->dialogs.busyCount, 0);
    }

    // The files are only read: the window answers a copy, never a move, which
    // would have a file manager delete them; a drag offering only a move is
    // refused.
    void drop_ofFiles_isAnsweredAsACopyNeverAsAMove() {
        struct Case {
            Qt::DropActions offered;
            Qt::KeyboardModifiers modifiers; // Shift proposes a move
            Qt::DropAction answered;         // IgnoreAction: refused
        };
        const Case cases[] = {
            {Qt::CopyAction, {}, Qt::CopyAction},
            {Qt::CopyAction | Qt::MoveAction, {}, Qt::CopyAction},
            {Qt::CopyAction | Qt::MoveAction, Qt::ShiftModifier, Qt::CopyAction},
            {Qt::CopyAction | Qt::MoveAction | Qt::LinkAction, Qt::ShiftModifier, Qt::CopyAction},
            {Qt::LinkAction, {}, Qt::LinkAction},
            {Qt::MoveAction | Qt::LinkAction, Qt::ShiftModifier, Qt::LinkAction},
            {Qt::MoveAction, {}, Qt::IgnoreAction},
            {Qt::MoveAction, Qt::ShiftModifier, Qt::IgnoreAction},
        };
        for (const Case& c : cases) {
            makeForm();
            const std::unique_ptr<QMimeData> data(filesDragged(onDisk({"contacts_three.tsv"})));
            const QByteArray what = QByteArray::number(int(c.offered)) + " " + QByteArray::number(int(c.modifiers));
            const Answer answer = dragAndDrop(form->nameEdit, data.get(), c.offered, c.modifiers);
            QVERIFY2(answer.moving == c.answered, what);
            QVERIFY2(answer.dropped == c.answered, what);
            QVERIFY2(answer.taken == (c.answered != Qt::IgnoreAction), what);
            // The box comes after the drop, so that the source is not kept waiting.
            QCOMPARE(answer.listedAtDrop, answer.taken ? 0 : -1);
            QCOMPARE(form->directory().count(), answer.taken ? 3 : 0);
            QCOMPARE(reports().size(), answer.taken ? std::size_t{1} : std::size_t{0});
        }
    }

    // Files dragged over the window (with their paths as text too, as file
    // managers give them) are taken as a copy at every move, so that the
    // program they come from keeps them; the window reads them once the drop
    // has ended, keeping that program waiting for no box.
    void drop_ofFiles_isACopyReadOnceTheDropHasEnded() {
        const QStringList paths = onDisk({"contacts_three.tsv"});
        const std::unique_ptr<QMimeData> data(filesDragged(paths));
        data->setText(paths.join(QLatin1Char('\n')));
        const Qt::DropActions offered = Qt::CopyAction | Qt::MoveAction;
        for (QWidget* target : std::initializer_list<QWidget*>{form.get()}) {
            QDragEnterEvent enter(target->rect().center(), offered, data.get(), Qt::LeftButton, {});
            QApplication::sendEvent(target, &enter);
            QDragMoveEvent move(target->rect().center(), offered, data.get(), Qt::LeftButton, {});
            QApplication::sendEvent(target, &move);
            QVERIFY2(move.isAccepted(), qPrintable(target->objectName()));
            QCOMPARE(move.dropAction(), Qt::CopyAction);
        }
        QDropEvent dropped(form->rect().center(), offered, data.get(), Qt::LeftButton, {});
        QApplication::sendEvent(form.get(), &dropped);
        QVERIFY(dropped.isAccepted());
        QCOMPARE(dropped.dropAction(), Qt::CopyAction);
        QCOMPARE(form->directory().count(), 0);
        QCoreApplication::processEvents();
        QCOMPARE(form->directory().count(), 3);
        QCOMPARE(form->nameEdit->text(), QString());
    }

    // Centred when it first shows; hidden and shown again (minimised and
    // restored) it stays where the user moved it.
    void shownAgain_staysWhereTheUserMovedIt() {
        const QPoint moved = form->pos() + QPoint(37, 21);
        form->move(moved);
        form->hide();
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        QCOMPARE(form->pos(), moved);
    }

    // The window draws its own colours: on a dark desktop the fields stay
    // white with black text.
    void fields_stayWhiteWithBlackTextOnADarkDesktop() {
        const QPalette desktop = QApplication::palette();
        QPalette dark = desktop;
        dark.setColor(QPalette::Base, QColor(32, 32, 32));
        dark.setColor(QPalette::Text, Qt::white);
        QApplication::setPalette(dark);
        const auto restore = qScopeGuard([&desktop] { QApplication::setPalette(desktop); });
        makeForm();
        for (const QLineEdit* field : contactFields()) {
            QCOMPARE(field->palette().color(QPalette::Base), QColor(Qt::white));
            QCOMPARE(field->palette().color(QPalette::Text), QColor(Qt::black));
        }
    }

    // Memory running out in a handler (here, taking a name too long to hold)
    // is told in French, and the window goes on with nothing changed.
    void outOfMemoryInAHandler_isShownInFrenchAndTheWindowGoesOn() {
        fillForm({QString(2'000'000, QLatin1Char('n'))});
        {
            const fichelia::testing::AllocationLimit limit(1 << 20);
            QTest::mouseClick(form->addButton, Qt::LeftButton);
        }
        QCOMPARE(shell->dialogs.errors, std::vector<QString>{QStringLiteral("Mémoire insuffisante.")});
        QCOMPARE(form->directory().count(), 0);
        addContact({"Toujours là"});
        QCOMPARE(listNames(*form), QStringList{"Toujours là"});
    }

    // Only the program clears the selection (Nouveau, the commands that empty
    // the form, open): a click below the names, Ctrl+click or Ctrl+Space on the
    // selected name leave it, in the list and in the view, and the form as it is.
    void theUserCannotClearTheSelectionFromTheList() {
        addContact({"Albert"});
        addContact({"Martin", "1 rue"});
        clickRow(1);
        form->addressEdit->setText(QStringLiteral("tapé"));
        QListView* view = form->contactList;
        const QPoint belowTheNames(20, view->viewport()->height() - 5);
        const QPoint onTheSelected = view->visualRect(view->model()->index(1, 0)).center();
        const std::function<void()> gestures[] = {
            [&] { QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, belowTheNames); },
            [&] { QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::ControlModifier, onTheSelected); },
            [&] { QTest::keyClick(view, Qt::Key_Space, Qt::ControlModifier); },
        };
        for (const auto& gesture : gestures) {
            gesture();
            QCOMPARE(form->directory().selectedPosition(), 1);
            QCOMPARE(viewSelectedRow(), 1);
            QCOMPARE(form->addressEdit->text(), QStringLiteral("tapé"));
        }
        QTest::mouseClick(form->modifyButton, Qt::LeftButton);
        QVERIFY(messages().empty());
        QCOMPARE(form->directory().recordAt(1).address, "tapé");
        QCOMPARE(viewSelectedRow(), -1);
    }

    // Every caption shows whole, in the fonts found here (under Wine too,
    // where the tests' prefix has Debian's Liberation fonts).
    void everyCaption_fitsItsPlace() {
        QCOMPARE(cutCaptions(form.get()), QStringList());
        AboutDialog about;
        QCOMPARE(cutCaptions(&about), QStringList());
    }

    // As in a Windows list box, only the left button selects: a right or
    // middle click (or double click) on another name keeps the selection and
    // what the user typed into the form.
    void rightOrMiddleClickOnAName_neitherSelectsItNorOverwritesTheForm() {
        addContact({"Albert"});
        addContact({"Martin", "1 rue"});
        clickRow(0);
        form->addressEdit->setText(QStringLiteral("tapé"));
        QListView* view = form->contactList;
        const QPoint onMartin = view->visualRect(view->model()->index(1, 0)).center();
        const std::function<void()> gestures[] = {
            [&] { QTest::mouseClick(view->viewport(), Qt::RightButton, {}, onMartin); },
            [&] { QTest::mouseClick(view->viewport(), Qt::MiddleButton, {}, onMartin); },
            [&] { QTest::mouseDClick(view->viewport(), Qt::RightButton, {}, onMartin); },
        };
        for (const auto& gesture : gestures) {
            gesture();
            QCOMPARE(form->directory().selectedPosition(), 0);
            QCOMPARE(viewSelectedRow(), 0);
            QCOMPARE(form->addressEdit->text(), QStringLiteral("tapé"));
        }
        clickRow(1);
        QCOMPARE(form->directory().selectedPosition(), 1);
        QCOMPARE(form->addressEdit->text(), QStringLiteral("1 rue"));
    }

    // As a Windows push button, a focused button takes Enter (either key)
    // like Space: "Ajouter" adds the form's contact, "Nouveau" empties it.
    void enterOnAFocusedButton_clicksIt_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::newRow("Return") << int(Qt::Key_Return) << int(Qt::NoModifier);
        QTest::newRow("Enter") << int(Qt::Key_Enter) << int(Qt::NoModifier);
        // The keypad's Enter, as the keyboard sends it: with the keypad modifier.
        QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << int(Qt::KeypadModifier);
        QTest::newRow("Space") << int(Qt::Key_Space) << int(Qt::NoModifier);
    }
    void enterOnAFocusedButton_clicksIt() {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        fillForm({"Martin", "1 rue"});
        form->addButton->setFocus();
        QTest::keyClick(form->addButton, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(listNames(*form), QStringList{"Martin"});
        QCOMPARE(formTexts(), QStringList(fichelia::kFieldCount, QString()));
        fillForm({"Albert"});
        form->newButton->setFocus();
        QTest::keyClick(form->newButton, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(formTexts(), QStringList(fichelia::kFieldCount, QString()));
        QCOMPARE(listNames(*form), QStringList{"Martin"});
    }

    // Alt with a letter that no menu takes types nothing into a field, as on
    // Windows; AltGr (Ctrl+Alt on Windows) and Shift still type.
    void altWithALetterInAField_typesNothing() {
        QLineEdit* field = form->nameEdit;
        field->setFocus();
        QTest::keyClicks(field, "ab");
        QTest::keyClick(field, Qt::Key_F, Qt::AltModifier);
        QTest::keyClick(field, Qt::Key_Z, Qt::AltModifier | Qt::ShiftModifier);
        QCOMPARE(field->text(), QStringLiteral("ab"));
        QTest::sendKeyEvent(QTest::Click, field, Qt::Key_E, QStringLiteral("€"), Qt::ControlModifier | Qt::AltModifier);
        QTest::keyClick(field, 'C', Qt::ShiftModifier);
        QCOMPARE(field->text(), QStringLiteral("ab€C"));
    }

    // A long text shows its beginning in its field; a long name is cut off at
    // the list's edge, not shortened with an ellipsis.
    void longTexts_showTheirBeginning() {
        const QString longText = QStringLiteral("Début ") + QString(300, QLatin1Char('x')) + QStringLiteral(" fin");
        addContact(QStringList(fichelia::kFieldCount, longText));
        clickRow(0);
        for (const QString& text : formTexts()) {
            QCOMPARE(text, longText);
        }
        for (const QLineEdit* field : contactFields()) {
            QCOMPARE(field->cursorPosition(), 0);
        }
        QCOMPARE(form->contactList->textElideMode(), Qt::ElideNone);
    }

    void list_showsRowsThirteenPixelsHigh() {
        std::vector<Contact> many;
        for (int i = 0; i < 100000; ++i) {
            many.push_back(fichelia::testing::contact("Nom " + std::to_string(i)));
        }
        QVERIFY(form->directory().addAll(std::move(many)));
        QCOMPARE(form->contactList->model()->rowCount(), 100000);
        QVERIFY(form->contactList->uniformItemSizes());
        QCOMPARE(form->contactList->sizeHintForRow(0), 13);
        form->contactList->scrollToBottom();
        const QModelIndex shown = form->contactList->indexAt(form->contactList->viewport()->rect().center());
        clickRow(shown.row());
        QCOMPARE(form->directory().selectedPosition(), shown.row());
        QVERIFY(form->directory().selectedPosition() > 99000);
    }
};

FICHELIA_GUI_TEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
