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

TForm1* Form1 = nullptr;

using fichelia::WindowLook;

namespace {

const QString kNoName = QStringLiteral("Vous devez saisir un nom");
const QString kNoSelection = QStringLiteral("Vous devez sélectionner un nom dans la liste");
const QString kConfirmDelete = QStringLiteral("Etes vous sur de vouloir supprimer ce contact ?");

QString toQString(const std::string& utf8) { return QString::fromStdString(utf8); }
std::string toUtf8(const QString& text) { return text.toStdString(); }

} // namespace

TForm1::TForm1(fichelia::Dialogs& dialogs, fichelia::Files& files, fichelia::Desktop& desktop,
               std::unique_ptr<fichelia::DirectoryList> list, QWidget* parent)
    : QMainWindow(parent), m_dialogs(dialogs), m_desktop(desktop), m_pageCommands(dialogs, files, desktop),
      m_importCommands(dialogs, files), m_list(std::move(list)) {
    setObjectName(QStringLiteral("Form1"));
    buildWindow();
    fichelia::followWindowsConventions(this);
    connectHandlers();
    connectList();
    FormCreate();
}

TForm1::~TForm1() {
    // The model stops observing the list before the list goes.
    delete ListBox1;
    ListBox1 = nullptr;
    delete m_model;
}

// ---------------------------------------------------------------------------
// Layout

void TForm1::buildWindow() {
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

    Image1 = new fichelia::PictureBox(QStringLiteral(":/banner.bmp"), WindowLook::bannerText(), client);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(0, 0, 593, 57);
    Image1->setCursor(Qt::ArrowCursor);

    // The logo opens the publisher's page: screen readers announce it as a link there.
    const QString publisher = toQString(std::string(fichelia::kPublisherAddress));
    Image2 = new fichelia::PictureBox(QStringLiteral(":/logo.bmp"),
                                      QStringLiteral("Fichelia - %1").arg(QUrl(publisher).host()), client);
    Image2->setObjectName(QStringLiteral("Image2"));
    Image2->setLink(true);
    Image2->setAccessibleDescription(publisher);
    Image2->setGeometry(224, 480, 153, 49);
    Image2->setCursor(Qt::CrossCursor);

    buildPanel(client);

    Button8 = WindowLook::button(QStringLiteral("Button8"), QStringLiteral("Quitter"), client, {488, 480, 105, 41});
    setTabOrder();
}

void TForm1::buildMenu() {
    MainMenu1 = new QMenuBar(this);
    MainMenu1->setObjectName(QStringLiteral("MainMenu1"));
    setMenuBar(MainMenu1);

    const auto menu = [this](const QString& name, const QString& caption) {
        QMenu* m = MainMenu1->addMenu(caption);
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
    Fichiers1 = menu(QStringLiteral("Fichiers1"), QStringLiteral("Fichiers"));
    OuvrirunAnnuaireWeb1 = item(Fichiers1, QStringLiteral("OuvrirunAnnuaireWeb1"), QStringLiteral("Ouvrir un Annuaire Web"));
    CrerlAnnuaireWeb1 = item(Fichiers1, QStringLiteral("CrerlAnnuaireWeb1"), QStringLiteral("Enregistrer l'Annuaire Web"));
    Quitter1 = item(Fichiers1, QStringLiteral("Quitter1"), QStringLiteral("Quitter"));
    Editions1 = menu(QStringLiteral("Editions1"), QStringLiteral("Editions"));
    AperudelAnnuaireWeb1 =
        item(Editions1, QStringLiteral("AperudelAnnuaireWeb1"), QStringLiteral("Aperçu de l'Annuaire Web"));
    Ausujetde1 = menu(QStringLiteral("Ausujetde1"), QStringLiteral("Au sujet de ..."));
    AusujetdeFichelia1 = item(Ausujetde1, QStringLiteral("AusujetdeFichelia1"), QStringLiteral("Au sujet de Fichelia"));
}

void TForm1::buildPanel(QWidget* client) {
    Panel1 = new QFrame(client);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(0, 56, 601, 417);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel1->setLineWidth(1);
    Panel1->setAutoFillBackground(true);
    QPalette grey = Panel1->palette();
    grey.setColor(QPalette::Window, WindowLook::buttonFace());
    Panel1->setPalette(grey);

    Bevel1 = new QFrame(Panel1);
    Bevel1->setObjectName(QStringLiteral("Bevel1"));
    Bevel1->setGeometry(8, 0, 217, 25);
    Bevel1->setFrameStyle(QFrame::Panel | QFrame::Raised);

    Label9 = WindowLook::label(QStringLiteral("Label9"), QStringLiteral(".:: Edition de l'annuaire Web ::."), Panel1,
                               {24, 8, 179, 13}, WindowLook::maroon(), true);

    ListBox1 = new QListView(Panel1);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    ListBox1->setAccessibleName(WindowLook::spokenCaption(Label9->text()));
    ListBox1->setGeometry(8, 24, 217, 265);
    ListBox1->setUniformItemSizes(true);
    ListBox1->setSelectionMode(QAbstractItemView::SingleSelection);
    ListBox1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListBox1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ListBox1->setFocusPolicy(Qt::StrongFocus);
    ListBox1->setTextElideMode(Qt::ElideNone); // a long name is cut off at the edge, as it always was
    m_model = new fichelia::DirectoryListModel(*m_list, this);
    ListBox1->setModel(m_model);
    QItemSelectionModel* qtSelection = ListBox1->selectionModel();
    m_selection = new fichelia::DirectorySelectionModel(*m_model, ListBox1);
    ListBox1->setSelectionModel(m_selection);
    delete qtSelection;

    buildContactForm();

    Button3 = WindowLook::button(QStringLiteral("Button3"), QStringLiteral("Supprimer"), Panel1, {8, 296, 97, 33});
    Button7 = WindowLook::button(QStringLiteral("Button7"), QStringLiteral("Nouveau"), Panel1, {128, 296, 97, 33});

    buildPageButtons();
}

void TForm1::buildContactForm() {
    GroupBox1 = new fichelia::FramedGroup(QStringLiteral("Fiche du contact"), WindowLook::maroon(), Qt::white, false,
                                          Panel1);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    GroupBox1->setGeometry(232, 0, 369, 329);

    const QColor white = Qt::white;
    Label1 = WindowLook::label(QStringLiteral("Label1"), QStringLiteral("Nom"), GroupBox1, {16, 24, 26, 13}, white, true);
    Label2 = WindowLook::label(QStringLiteral("Label2"), QStringLiteral("Adresse"), GroupBox1, {16, 56, 38, 13}, white);
    Label3 = WindowLook::label(QStringLiteral("Label3"), QStringLiteral("Tél"), GroupBox1, {16, 88, 15, 13}, white);
    Label4 = WindowLook::label(QStringLiteral("Label4"), QStringLiteral("Fax"), GroupBox1, {16, 152, 17, 13}, white);
    Label5 = WindowLook::label(QStringLiteral("Label5"), QStringLiteral("GSM"), GroupBox1, {16, 120, 24, 13}, white);
    Label6 = WindowLook::label(QStringLiteral("Label6"), QStringLiteral("Mail"), GroupBox1, {16, 184, 19, 13}, white);
    Label7 = WindowLook::label(QStringLiteral("Label7"), QStringLiteral("Site"), GroupBox1, {16, 216, 18, 13}, white);
    Label8 = WindowLook::label(QStringLiteral("Label8"), QStringLiteral("Commentaire"), GroupBox1, {16, 248, 61, 13},
                               white);

    Edit1 = WindowLook::edit(QStringLiteral("Edit1"), GroupBox1, {88, 24, 185, 21});
    Edit2 = WindowLook::edit(QStringLiteral("Edit2"), GroupBox1, {88, 56, 249, 21});
    Edit3 = WindowLook::edit(QStringLiteral("Edit3"), GroupBox1, {88, 88, 121, 21});
    Edit4 = WindowLook::edit(QStringLiteral("Edit4"), GroupBox1, {88, 120, 121, 21});
    Edit5 = WindowLook::edit(QStringLiteral("Edit5"), GroupBox1, {88, 152, 121, 21});
    Edit6 = WindowLook::edit(QStringLiteral("Edit6"), GroupBox1, {88, 184, 217, 21});
    Edit7 = WindowLook::edit(QStringLiteral("Edit7"), GroupBox1, {88, 216, 169, 21});
    Edit8 = WindowLook::edit(QStringLiteral("Edit8"), GroupBox1, {88, 248, 249, 21});

    // Screen readers name each field after its label. No caption has an access
    // letter, so the buddies change nothing that is drawn.
    QLabel* const labels[] = {Label1, Label2, Label3, Label5, Label4, Label6, Label7, Label8}; // record order
    const auto fields = contactFields();
    for (std::size_t i = 0; i < fields.size(); ++i) {
        labels[i]->setBuddy(fields[i]);
    }

    Button1 = WindowLook::button(QStringLiteral("Button1"), QStringLiteral("Ajouter"), GroupBox1, {88, 280, 89, 33});
    Button2 = WindowLook::button(QStringLiteral("Button2"), QStringLiteral("Modifier"), GroupBox1, {248, 280, 89, 33});
}

void TForm1::buildPageButtons() {
    GroupBox2 = new fichelia::FramedGroup(QStringLiteral(".:: Mon annuaire Web ::."), WindowLook::buttonFace(),
                                          WindowLook::maroon(), true, Panel1);
    GroupBox2->setObjectName(QStringLiteral("GroupBox2"));
    GroupBox2->setGeometry(8, 344, 585, 65);

    Button4 = WindowLook::button(QStringLiteral("Button4"), QStringLiteral("Aperçu"), GroupBox2, {176, 16, 89, 41});
    Button5 = WindowLook::button(QStringLiteral("Button5"), QStringLiteral(".:: Enregistrer l'annuaire Web ::."),
                                 GroupBox2, {376, 16, 201, 41}, WindowLook::navy(), true);
    Button6 = WindowLook::button(QStringLiteral("Button6"), QStringLiteral("Ouvrir un annuaire Web"), GroupBox2,
                                 {8, 16, 153, 41}, QColor(), true);
}

void TForm1::setTabOrder() {
    // The list, the form, its buttons, then the page buttons in the order the
    // window always had (not left to right), and Quitter.
    const QWidget* const order[] = {ListBox1, Edit1,   Edit2,   Edit3,   Edit4,   Edit5,   Edit6,   Edit7,   Edit8,
                                    Button1,  Button2, Button3, Button7, Button4, Button5, Button6, Button8};
    for (std::size_t i = 0; i + 1 < std::size(order); ++i) {
        QWidget::setTabOrder(const_cast<QWidget*>(order[i]), const_cast<QWidget*>(order[i + 1]));
    }
}

void TForm1::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!m_shownOnce) {
        m_shownOnce = true;
        fichelia::centreOnScreen(this);
    }
}

// ---------------------------------------------------------------------------
// Wiring

void TForm1::runGuarded(void (TForm1::*handler)()) {
    runGuarded([this, handler] { (this->*handler)(); });
}

void TForm1::runGuarded(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const std::exception& error) {
        m_dialogs.showError(fichelia::escapedErrorText(error));
    }
}

void TForm1::connectClick(QPushButton* button, void (TForm1::*handler)()) {
    connect(button, &QPushButton::clicked, this, [this, handler] { runGuarded(handler); });
}

void TForm1::connectMenu(QAction* action, void (TForm1::*handler)()) {
    connect(action, &QAction::triggered, this, [this, action, handler] {
        action->setChecked(true); // a click would otherwise take the check mark away
        runGuarded(handler);
    });
}

void TForm1::connectHandlers() {
    connectClick(Button1, &TForm1::Button1Click);
    connectClick(Button2, &TForm1::Button2Click);
    connectClick(Button3, &TForm1::Button3Click);
    connectClick(Button4, &TForm1::Button4Click);
    connectClick(Button5, &TForm1::Button5Click);
    connectClick(Button6, &TForm1::Button6Click);
    connectClick(Button7, &TForm1::Button7Click);
    connectClick(Button8, &TForm1::Button8Click);
    connectMenu(OuvrirunAnnuaireWeb1, &TForm1::OuvrirunAnnuaireWeb1Click);
    connectMenu(CrerlAnnuaireWeb1, &TForm1::CrerlAnnuaireWeb1Click);
    connectMenu(Quitter1, &TForm1::Quitter1Click);
    connectMenu(AperudelAnnuaireWeb1, &TForm1::AperudelAnnuaireWeb1Click);
    connectMenu(AusujetdeFichelia1, &TForm1::AusujetdeFichelia1Click);
    connect(Image2, &fichelia::PictureBox::clicked, this, [this] { runGuarded(&TForm1::Image2Click); });
    connect(new fichelia::FileDrop(this), &fichelia::FileDrop::filesDropped, this,
            [this](const QStringList& files) { runGuarded([this, &files] { FormDragDrop(files); }); });
}

// The user's selections run the select command; the program's never do.
void TForm1::connectList() {
    connect(m_selection, &fichelia::DirectorySelectionModel::userSelected, this,
            [this] { runGuarded(&TForm1::ListBox1Click); });
}

// ---------------------------------------------------------------------------
// The contact form

std::array<QLineEdit*, fichelia::kFieldCount> TForm1::contactFields() const {
    return {Edit1, Edit2, Edit3, Edit4, Edit5, Edit6, Edit7, Edit8};
}

annuaire TForm1::formRecord() const {
    annuaire record;
    const auto fields = contactFields();
    for (std::size_t i = 0; i < fields.size(); ++i) {
        record.*fichelia::kRecordFields[i].text = toUtf8(fields[i]->text());
    }
    return record;
}

annuaire TForm1::recordFromForm() const {
    annuaire record = formRecord();
    record.commentaire = fichelia::applyCommentQuoteRule(std::move(record.commentaire));
    return record;
}

void TForm1::ResetContactFields() {
    for (QLineEdit* field : contactFields()) {
        field->setText(QString());
    }
    m_list->clearSelection();
}

// ---------------------------------------------------------------------------
// Editing commands

void TForm1::FormCreate() { ResetContactFields(); }

void TForm1::Button1Click() {
    if (Edit1->text().isEmpty()) {
        m_dialogs.showMessage(kNoName);
        return;
    }
    if (!m_list->add(recordFromForm())) {
        m_dialogs.showError(fichelia::kCannotInsert);
        return;
    }
    ResetContactFields();
}

bool TForm1::hasSelection() {
    if (m_list->selectedPosition() < 0) {
        m_dialogs.showMessage(kNoSelection);
        return false;
    }
    return true;
}

// If the list cannot take the new record, the old one stays, still selected,
// and the form keeps what was typed.
void TForm1::Button2Click() {
    if (!hasSelection()) {
        return;
    }
    if (!m_list->replaceSelected(recordFromForm())) {
        m_dialogs.showError(fichelia::kCannotInsert);
        return;
    }
    ResetContactFields();
}

void TForm1::Button3Click() {
    if (!hasSelection() || !m_dialogs.confirm(kConfirmDelete)) {
        return;
    }
    m_list->removeSelected();
    ResetContactFields();
}

void TForm1::Button7Click() {
    ResetContactFields();
    Edit1->setFocus(Qt::OtherFocusReason);
}

// Each field shows the beginning of its text, however long.
void TForm1::ListBox1Click() {
    const int selected = m_list->selectedPosition();
    if (selected < 0) {
        return;
    }
    const annuaire& record = m_list->recordAt(selected);
    const auto fields = contactFields();
    for (std::size_t i = 0; i < fields.size(); ++i) {
        fields[i]->setText(toQString(record.*fichelia::kRecordFields[i].text));
        fields[i]->setCursorPosition(0);
    }
}

// ---------------------------------------------------------------------------
// Page commands

void TForm1::Button5Click() { m_pageCommands.save(*m_list); }
void TForm1::Button6Click() { m_pageCommands.open(*m_list, formRecord()); }
void TForm1::Button4Click() { m_pageCommands.preview(*m_list); }

// ---------------------------------------------------------------------------
// Shell commands

void TForm1::Button8Click() { QCoreApplication::exit(0); }

void TForm1::Image2Click() { m_desktop.openAddress(toQString(std::string(fichelia::kPublisherAddress))); }

void TForm1::OuvrirunAnnuaireWeb1Click() { Button6Click(); }
void TForm1::CrerlAnnuaireWeb1Click() { Button5Click(); }
void TForm1::Quitter1Click() { Button8Click(); }
void TForm1::AperudelAnnuaireWeb1Click() { Button4Click(); }

// The list takes the files' contacts; the selection and the form stay as they are.
void TForm1::FormDragDrop(const QStringList& files) { m_importCommands.addFiles(*m_list, files); }

void TForm1::AusujetdeFichelia1Click() {
    TForm2* about = m_about != nullptr ? m_about : Form2;
    if (about != nullptr) {
        about->exec();
    }
}
