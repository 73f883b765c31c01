#pragma once

#include <array>
#include <functional>
#include <memory>

#include <QMainWindow>

#include "commands/ImportCommands.h"
#include "commands/PageCommands.h"
#include "directory/DirectoryList.h"

class QAction;
class QFrame;
class QLabel;
class QLineEdit;
class QListView;
class QMenu;
class QMenuBar;
class QPushButton;

namespace fichelia {

class AboutDialog;
class DirectoryListModel;
class DirectorySelectionModel;
class FramedGroup;
class PictureBox;

// The main window: the directory list, the contact form, the page commands.
// It owns all the program's state; handlers read the form, call the core or
// the page commands, and update the form. An error that escapes a handler
// stops at the handler's edge and shows in the error box.
class MainWindow final : public QMainWindow {
    Q_OBJECT

public:
    // list: the directory to show, with the names' order start-up chose.
    MainWindow(Dialogs& dialogs, Files& files, Desktop& desktop, std::unique_ptr<DirectoryList> list,
               QWidget* parent = nullptr);
    ~MainWindow() override;

    // The About dialog that "Au sujet de Fichelia" shows.
    void setAboutDialog(AboutDialog* about) { m_about = about; }

    DirectoryList& directory() { return *m_list; }

    // Empties the contact form and clears the list's selection; moves no focus.
    void clearForm();

    // The controls, top to bottom. Each has the same object name, for tests.
    PictureBox* bannerPicture = nullptr;
    PictureBox* logoPicture = nullptr; // a link to the publisher's page
    QFrame* editingPanel = nullptr;
    QFrame* listTitleBevel = nullptr;
    QLabel* listTitleLabel = nullptr;
    QListView* contactList = nullptr;
    FramedGroup* contactGroup = nullptr; // "Fiche du contact"
    QLabel* nameLabel = nullptr;
    QLabel* addressLabel = nullptr;
    QLabel* phoneLabel = nullptr;
    QLabel* faxLabel = nullptr;
    QLabel* mobileLabel = nullptr;
    QLabel* mailLabel = nullptr;
    QLabel* siteLabel = nullptr;
    QLabel* commentLabel = nullptr;
    QLineEdit* nameEdit = nullptr;
    QLineEdit* addressEdit = nullptr;
    QLineEdit* phoneEdit = nullptr;
    QLineEdit* mobileEdit = nullptr;
    QLineEdit* faxEdit = nullptr;
    QLineEdit* mailEdit = nullptr;
    QLineEdit* siteEdit = nullptr;
    QLineEdit* commentEdit = nullptr;
    QPushButton* addButton = nullptr;    // Ajouter
    QPushButton* modifyButton = nullptr; // Modifier
    QPushButton* deleteButton = nullptr; // Supprimer
    QPushButton* newButton = nullptr;    // Nouveau
    FramedGroup* pageGroup = nullptr;    // ".:: Mon annuaire Web ::."
    QPushButton* previewButton = nullptr;
    QPushButton* saveButton = nullptr;
    QPushButton* openButton = nullptr;
    QPushButton* quitButton = nullptr;
    QMenuBar* mainMenu = nullptr;
    QMenu* fileMenu = nullptr; // "Fichiers"
    QMenu* editMenu = nullptr; // "Editions"
    QMenu* aboutMenu = nullptr;
    QAction* openAction = nullptr;
    QAction* saveAction = nullptr;
    QAction* quitAction = nullptr;
    QAction* previewAction = nullptr;
    QAction* aboutAction = nullptr;

public slots:
    // The commands of the buttons and menu items; a menu item runs the same
    // command as its button.
    void addContact();
    void modifyContact();
    void deleteContact();
    void newContact();
    void showSelectedContact(); // the user selected a name
    void preview();
    void save();
    void open();
    void quit();
    void openPublisherPage();
    void showAbout();
    void addDroppedFiles(const QStringList& files);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildWindow();
    void buildMenu();
    void buildPanel(QWidget* client);
    void buildContactForm();
    void buildPageButtons();
    void setTabOrder();
    void connectHandlers();
    void connectList();

    // Runs a handler; an error escaping it is shown in the error box and the
    // window goes on.
    void runGuarded(void (MainWindow::*handler)());
    void runGuarded(const std::function<void()>& handler);
    void connectClick(QPushButton* button, void (MainWindow::*handler)());
    void connectMenu(QAction* action, void (MainWindow::*handler)());

    // True when an entry is selected; otherwise tells the user to select one.
    bool hasSelection();

    Contact formContact() const;                               // the form as it stands
    Contact contactFromForm() const;                           // the form with the comment quote rule applied
    std::array<QLineEdit*, kFieldCount> contactFields() const; // in record order

    Dialogs& m_dialogs;
    Desktop& m_desktop;
    PageCommands m_pageCommands;
    ImportCommands m_importCommands;
    std::unique_ptr<DirectoryList> m_list;
    DirectoryListModel* m_model = nullptr;
    DirectorySelectionModel* m_selection = nullptr; // owned by contactList
    AboutDialog* m_about = nullptr;
    bool m_shownOnce = false;
};

} // namespace fichelia
