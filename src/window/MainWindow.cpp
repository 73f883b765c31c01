#include "window/MainWindow.h"

#include <exception>

#include <QAction>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QUrl>

#include "window/DirectoryListModel.h"
#include "window/DirectorySelectionModel.h"
#include "window/FileDrop.h"
#include "window/FramedGroup.h"
#include "window/PictureBox.h"
#include "window/AboutDialog.h"
#include "window/WindowLook.h"
#include "window/WindowsConventions.h"
#include "commands/ErrorText.h"
#include "page/PageWriter.h"
#include "commands/qt/QtDialogs.h"

namespace fichelia {

namespace {

const QString kNoName = QStringLiteral("Vous devez saisir un nom");
const QString kNoSelection = QStringLiteral("Vous devez sélectionner un nom dans la liste");
const QString kConfirmDelete = QStringLiteral("Etes vous sur de vouloir supprimer ce contact ?");

QString toQString(const std::string& utf8) { return QString::fromStdString(utf8); }
std::string toUtf8(const QString& text) { return text.toStdString(); }

} // namespace

MainWindow::MainWindow(Dialogs& dialogs, Files& files, Desktop& desktop, std::unique_ptr<DirectoryList> list,
                       QWidget* parent)
    : QMainWindow(parent), m_dialogs(dialogs), m_desktop(desktop), m_pageCommands(dialogs, files, desktop),
      m_importCommands(dialogs, files), m_list(std::move(list)) {
    setObjectName(QStringLiteral("MainWindow"));
    buildWindow();
    followWindowsConventions(this);
    connectHandlers();
    connectList();
    clearForm();
}

MainWindow::~MainWindow() {
    // The model stops observing the list before the list goes.
    delete contactList;
    contactList = nullptr;
    delete m_model;
}

// ---------------------------------------------------------------------------
// Layout

void MainWindow::buildWindow() {
    WindowLook::loadPictures();
    setWindowTitle(QStringLiteral("Fichelia"));
    setWindowIcon(QIcon(QStringLiteral(":/fichelia.png")));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFont(WindowLook::font());

    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("ClientArea"));
    client->setFixedSize(WindowLook::kClientWidth, WindowLook::kClientHeight);
    client->setAutoFillBackground(true);
    QPalette white = client->palette();
    white.setColor(QPalette::Window, Qt::white);
    client->setPalette(white);
    setCentralWidget(client);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    buildMenu();

    bannerPicture = new PictureBox(QStringLiteral(":/banner.bmp"), WindowLook::bannerText(), client);
    bannerPicture->setObjectName(QStringLiteral("bannerPicture"));
    bannerPicture->setGeometry(0, 0, 593, 57);
    bannerPicture->setCursor(Qt::ArrowCursor);

    // The logo opens the publisher's page: screen readers announce it as a link there.
    const QString publisher = toQString(std::string(kPublisherAddress));
    logoPicture = new PictureBox(QStringLiteral(":/logo.bmp"),
                                 QStringLiteral("Fichelia - %1").arg(QUrl(publisher).host()), client);
    logoPicture->setObjectName(QStringLiteral("logoPicture"));
    logoPicture->setLink(true);
    logoPicture->setAccessibleDescription(publisher);
    logoPicture->setGeometry(224, 480, 153, 49);
    logoPicture->setCursor(Qt::CrossCursor);

    buildPanel(client);

    quitButton =
        WindowLook::button(QStringLiteral("quitButton"), QStringLiteral("Quitter"), client, {488, 480, 105, 41});
    setTabOrder();
}

void MainWindow::buildMenu() {
    mainMenu = new QMenuBar(this);
    mainMenu->setObjectName(QStringLiteral("mainMenu"));
    setMenuBar(mainMenu);

    const auto menu = [this](const QString& name, const QString& caption) {
        QMenu* m = mainMenu->addMenu(caption);
        m->setObjectName(name);
        m->menuAction()->setObjectName(name + QStringLiteral("Action"));
        return m;
    };
    // Every command item carries a check mark, and keeps it.
    const auto item = [](QMenu* m, const QString& name, const QString& caption) {
        QAction* action = m->addAction(caption);
        action->setObjectName(name);
        action->setCheckable(true);
        action->setChecked(true);
        return action;
    };
    fileMenu = menu(QStringLiteral("fileMenu"), QStringLiteral("Fichiers"));
    openAction = item(fileMenu, QStringLiteral("openAction"), QStringLiteral("Ouvrir un Annuaire Web"));
    saveAction = item(fileMenu, QStringLiteral("saveAction"), QStringLiteral("Enregistrer l'Annuaire Web"));
    quitAction = item(fileMenu, QStringLiteral("quitAction"), QStringLiteral("Quitter"));
    editMenu = menu(QStringLiteral("editMenu"), QStringLiteral("Editions"));
    previewAction = item(editMenu, QStringLiteral("previewAction"), QStringLiteral("Aperçu de l'Annuaire Web"));
    aboutMenu = menu(QStringLiteral("aboutMenu"), QStringLiteral("Au sujet de ..."));
    aboutAction = item(aboutMenu, QStringLiteral("aboutAction"), QStringLiteral("Au sujet de Fichelia"));
}

void MainWindow::buildPanel(QWidget* client) {
    editingPanel = new QFrame(client);
    editingPanel->setObjectName(QStringLiteral("editingPanel"));
    editingPanel->setGeometry(0, 56, 601, 417);
    editingPanel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    editingPanel->setLineWidth(1);
    editingPanel->setAutoFillBackground(true);
    QPalette grey = editingPanel->palette();
    grey.setColor(QPalette::Window, WindowLook::buttonFace());
    editingPanel->setPalette(grey);

    listTitleBevel = new QFrame(editingPanel);
    listTitleBevel->setObjectName(QStringLiteral("listTitleBevel"));
    listTitleBevel->setGeometry(8, 0, 217, 25);
    listTitleBevel->setFrameStyle(QFrame::Panel | QFrame::Raised);

    listTitleLabel =
        WindowLook::label(QStringLiteral("listTitleLabel"), QStringLiteral(".:: Edition de l'annuaire Web ::."),
                          editingPanel, {24, 8, 179, 13}, WindowLook::maroon(), true);

    contactList = new QListView(editingPanel);
    contactList->setObjectName(QStringLiteral("contactList"));
    contactList->setAccessibleName(WindowLook::spokenCaption(listTitleLabel->text()));
    contactList->setGeometry(8, 24, 217, 265);
    contactList->setUniformItemSizes(true);
    contactList->setSelectionMode(QAbstractItemView::SingleSelection);
    contactList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    contactList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    contactList->setFocusPolicy(Qt::StrongFocus);
    contactList->setTextElideMode(Qt::ElideNone); // a long name is cut off at the edge, as it always was
    m_model = new DirectoryListModel(*m_list, this);
    contactList->setModel(m_model);
    QItemSelectionModel* qtSelection = contactList->selectionModel();
    m_selection = new DirectorySelectionModel(*m_model, contactList);
    contactList->setSelectionModel(m_selection);
    delete qtSelection;

    buildContactForm();

    deleteButton =
        WindowLook::button(QStringLiteral("deleteButton"), QStringLiteral("Supprimer"), editingPanel, {8, 296, 97, 33});
    newButton =
        WindowLook::button(QStringLiteral("newButton"), QStringLiteral("Nouveau"), editingPanel, {128, 296, 97, 33});

    buildPageButtons();
}

void MainWindow::buildContactForm() {
    contactGroup =
        new FramedGroup(QStringLiteral("Fiche du contact"), WindowLook::maroon(), Qt::white, false, editingPanel);
    contactGroup->setObjectName(QStringLiteral("contactGroup"));
    contactGroup->setGeometry(232, 0, 369, 329);

    const QColor white = Qt::white;
    nameLabel = WindowLook::label(QStringLiteral("nameLabel"), QStringLiteral("Nom"), contactGroup, {16, 24, 26, 13},
                                  white, true);
    addressLabel = WindowLook::label(QStringLiteral("addressLabel"), QStringLiteral("Adresse"), contactGroup,
                                     {16, 56, 38, 13}, white);
    phoneLabel =
        WindowLook::label(QStringLiteral("phoneLabel"), QStringLiteral("Tél"), contactGroup, {16, 88, 15, 13}, white);
    faxLabel =
        WindowLook::label(QStringLiteral("faxLabel"), QStringLiteral("Fax"), contactGroup, {16, 152, 17, 13}, white);
    mobileLabel =
        WindowLook::label(QStringLiteral("mobileLabel"), QStringLiteral("GSM"), contactGroup, {16, 120, 24, 13}, white);
    mailLabel =
        WindowLook::label(QStringLiteral("mailLabel"), QStringLiteral("Mail"), contactGroup, {16, 184, 19, 13}, white);
    siteLabel =
        WindowLook::label(QStringLiteral("siteLabel"), QStringLiteral("Site"), contactGroup, {16, 216, 18, 13}, white);
    commentLabel = WindowLook::label(QStringLiteral("commentLabel"), QStringLiteral("Commentaire"), contactGroup,
                                     {16, 248, 61, 13}, white);

    nameEdit = WindowLook::edit(QStringLiteral("nameEdit"), contactGroup, {88, 24, 185, 21});
    addressEdit = WindowLook::edit(QStringLiteral("addressEdit"), contactGroup, {88, 56, 249, 21});
    phoneEdit = WindowLook::edit(QStringLiteral("phoneEdit"), contactGroup, {88, 88, 121, 21});
    mobileEdit = WindowLook::edit(QStringLiteral("mobileEdit"), contactGroup, {88, 120, 121, 21});
    faxEdit = WindowLook::edit(QStringLiteral("faxEdit"), contactGroup, {88, 152, 121, 21});
    mailEdit = WindowLook::edit(QStringLiteral("mailEdit"), contactGroup, {88, 184, 217, 21});
    siteEdit = WindowLook::edit(QStringLiteral("siteEdit"), contactGroup, {88, 216, 169, 21});
    commentEdit = WindowLook::edit(QStringLiteral("commentEdit"), contactGroup, {88, 248, 249, 21});

    // Screen readers name each field after its label. No caption has an access
    // letter, so the buddies change nothing that is drawn.
    QLabel* const labels[] = {nameLabel, addressLabel, phoneLabel, mobileLabel,
                              faxLabel,  mailLabel,    siteLabel,  commentLabel}; // record order
    const auto fields = contactFields();
    for (std::size_t i = 0; i < fields.size(); ++i) {
        labels[i]->setBuddy(fields[i]);
    }

    addButton =
        WindowLook::button(QStringLiteral("addButton"), QStringLiteral("Ajouter"), contactGroup, {88, 280, 89, 33});
    modifyButton = WindowLook::button(QStringLiteral("modifyButton"), QStringLiteral("Modifier"), contactGroup,
                                      {248, 280, 89, 33});
}

void MainWindow::buildPageButtons() {
    pageGroup = new FramedGroup(QStringLiteral(".:: Mon annuaire Web ::."), WindowLook::buttonFace(),
                                WindowLook::maroon(), true, editingPanel);
    pageGroup->setObjectName(QStringLiteral("pageGroup"));
    pageGroup->setGeometry(8, 344, 585, 65);

    previewButton =
        WindowLook::button(QStringLiteral("previewButton"), QStringLiteral("Aperçu"), pageGroup, {176, 16, 89, 41});
    saveButton = WindowLook::button(QStringLiteral("saveButton"), QStringLiteral(".:: Enregistrer l'annuaire Web ::."),
                                    pageGroup, {376, 16, 201, 41}, WindowLook::navy(), true);
    openButton = WindowLook::button(QStringLiteral("openButton"), QStringLiteral("Ouvrir un annuaire Web"), pageGroup,
                                    {8, 16, 153, 41}, QColor(), true);
}

void MainWindow::setTabOrder() {
    // The list, the form, its buttons, then the page buttons in the order the
    // window always had (not left to right), and Quitter.
    const QWidget* const order[] = {contactList, nameEdit,      addressEdit, phoneEdit,  mobileEdit,   faxEdit,
                                    mailEdit,    siteEdit,      commentEdit, addButton,  modifyButton, deleteButton,
                                    newButton,   previewButton, saveButton,  openButton, quitButton};
    for (std::size_t i = 0; i + 1 < std::size(order); ++i) {
        QWidget::setTabOrder(const_cast<QWidget*>(order[i]), const_cast<QWidget*>(order[i + 1]));
    }
}

void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!m_shownOnce) {
        m_shownOnce = true;
        centreOnScreen(this);
    }
}

// ---------------------------------------------------------------------------
// Wiring

void MainWindow::runGuarded(void (MainWindow::*handler)()) {
    runGuarded([this, handler] { (this->*handler)(); });
}

void MainWindow::runGuarded(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const std::exception& error) {
        m_dialogs.showError(escapedErrorText(error));
    }
}

void MainWindow::connectClick(QPushButton* button, void (MainWindow::*handler)()) {
    connect(button, &QPushButton::clicked, this, [this, handler] { runGuarded(handler); });
}

void MainWindow::connectMenu(QAction* action, void (MainWindow::*handler)()) {
    connect(action, &QAction::triggered, this, [this, action, handler] {
        action->setChecked(true); // a click would otherwise take the check mark away
        runGuarded(handler);
    });
}

void MainWindow::connectHandlers() {
    connectClick(addButton, &MainWindow::addContact);
    connectClick(modifyButton, &MainWindow::modifyContact);
    connectClick(deleteButton, &MainWindow::deleteContact);
    connectClick(previewButton, &MainWindow::preview);
    connectClick(saveButton, &MainWindow::save);
    connectClick(openButton, &MainWindow::open);
    connectClick(newButton, &MainWindow::newContact);
    connectClick(quitButton, &MainWindow::quit);
    connectMenu(openAction, &MainWindow::open);
    connectMenu(saveAction, &MainWindow::save);
    connectMenu(quitAction, &MainWindow::quit);
    connectMenu(previewAction, &MainWindow::preview);
    connectMenu(aboutAction, &MainWindow::showAbout);
    connect(logoPicture, &PictureBox::clicked, this, [this] { runGuarded(&MainWindow::openPublisherPage); });
    connect(new FileDrop(this), &FileDrop::filesDropped, this,
            [this](const QStringList& files) { runGuarded([this, &files] { addDroppedFiles(files); }); });
}

// The user's selections run the select command; the program's never do.
void MainWindow::connectList() {
    connect(m_selection, &DirectorySelectionModel::userSelected, this,
            [this] { runGuarded(&MainWindow::showSelectedContact); });
}

// ---------------------------------------------------------------------------
// The contact form

std::array<QLineEdit*, kFieldCount> MainWindow::contactFields() const {
    return {nameEdit, addressEdit, phoneEdit, mobileEdit, faxEdit, mailEdit, siteEdit, commentEdit};
}

Contact MainWindow::formContact() const {
    Contact record;
    const auto fields = contactFields();
    for (std::size_t i = 0; i < fields.size(); ++i) {
        record.*kRecordFields[i].text = toUtf8(fields[i]->text());
    }
    return record;
}

Contact MainWindow::contactFromForm() const {
    Contact record = formContact();
    record.comment = applyCommentQuoteRule(std::move(record.comment));
    return record;
}

void MainWindow::clearForm() {
    for (QLineEdit* field : contactFields()) {
        field->setText(QString());
    }
    m_list->clearSelection();
}

// ---------------------------------------------------------------------------
// Editing commands

void MainWindow::addContact() {
    if (nameEdit->text().isEmpty()) {
        m_dialogs.showMessage(kNoName);
        return;
    }
    if (!m_list->add(contactFromForm())) {
        m_dialogs.showError(kCannotInsert);
        return;
    }
    clearForm();
}

bool MainWindow::hasSelection() {
    if (m_list->selectedPosition() < 0) {
        m_dialogs.showMessage(kNoSelection);
        return false;
    }
    return true;
}

// If the list cannot take the new record, the old one stays, still selected,
// and the form keeps what was typed.
void MainWindow::modifyContact() {
    if (!hasSelection()) {
        return;
    }
    if (!m_list->replaceSelected(contactFromForm())) {
        m_dialogs.showError(kCannotInsert);
        return;
    }
    clearForm();
}

void MainWindow::deleteContact() {
    if (!hasSelection() || !m_dialogs.confirm(kConfirmDelete)) {
        return;
    }
    m_list->removeSelected();
    clearForm();
}

void MainWindow::newContact() {
    clearForm();
    nameEdit->setFocus(Qt::OtherFocusReason);
}

// Each field shows the beginning of its text, however long.
void MainWindow::showSelectedContact() {
    const int selected = m_list->selectedPosition();
    if (selected < 0) {
        return;
    }
    const Contact& record = m_list->recordAt(selected);
    const auto fields = contactFields();
    for (std::size_t i = 0; i < fields.size(); ++i) {
        fields[i]->setText(toQString(record.*kRecordFields[i].text));
        fields[i]->setCursorPosition(0);
    }
}

// ---------------------------------------------------------------------------
// Page commands

void MainWindow::save() {
    m_pageCommands.save(*m_list);
}
void MainWindow::open() {
    m_pageCommands.open(*m_list);
}
void MainWindow::preview() {
    m_pageCommands.preview(*m_list);
}

// ---------------------------------------------------------------------------
// Shell commands

void MainWindow::quit() {
    QCoreApplication::exit(0);
}

void MainWindow::openPublisherPage() {
    m_desktop.openAddress(toQString(std::string(kPublisherAddress)));
}

// The list takes the files' contacts; the selection and the form stay as they are.
void MainWindow::addDroppedFiles(const QStringList& files) {
    m_importCommands.addFiles(*m_list, files);
}

void MainWindow::showAbout() {
    if (m_about != nullptr) {
        m_about->exec();
    }
}

} // namespace fichelia
