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
class TForm2;

namespace fichelia {
class DirectoryListModel;
class DirectorySelectionModel;
class FramedGroup;
class PictureBox;
} // namespace fichelia

// The main window: the directory list, the contact form, the page commands.
// It owns all the program's state; handlers read the form, call the core or
// the page commands, and update the form. An error that escapes a handler
// stops at the handler's edge and shows in the error box.
class TForm1 final : public QMainWindow {
    Q_OBJECT

public:
    // list: the directory to show, with the names' order start-up chose.
    TForm1(fichelia::Dialogs& dialogs, fichelia::Files& files, fichelia::Desktop& desktop,
           std::unique_ptr<fichelia::DirectoryList> list, QWidget* parent = nullptr);
    ~TForm1() override;

    // The About dialog that "Au sujet de Fichelia" shows.
    void setAboutDialog(TForm2* about) { m_about = about; }

    fichelia::DirectoryList& directory() { return *m_list; }

    // Empties the contact form and clears the list's selection; moves no focus.
    void ResetContactFields();

    // Components, named as the window's designer named them.
    fichelia::PictureBox* Image1 = nullptr;
    fichelia::PictureBox* Image2 = nullptr;
    QFrame* Panel1 = nullptr;
    QFrame* Bevel1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* Label7 = nullptr;
    QLabel* Label8 = nullptr;
    QLabel* Label9 = nullptr;
    QListView* ListBox1 = nullptr;
    fichelia::FramedGroup* GroupBox1 = nullptr;
    fichelia::FramedGroup* GroupBox2 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QLineEdit* Edit2 = nullptr;
    QLineEdit* Edit3 = nullptr;
    QLineEdit* Edit4 = nullptr;
    QLineEdit* Edit5 = nullptr;
    QLineEdit* Edit6 = nullptr;
    QLineEdit* Edit7 = nullptr;
    QLineEdit* Edit8 = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;
    QPushButton* Button3 = nullptr;
    QPushButton* Button4 = nullptr;
    QPushButton* Button5 = nullptr;
    QPushButton* Button6 = nullptr;
    QPushButton* Button7 = nullptr;
    QPushButton* Button8 = nullptr;
    QMenuBar* MainMenu1 = nullptr;
    QMenu* Fichiers1 = nullptr;
    QMenu* Editions1 = nullptr;
    QMenu* Ausujetde1 = nullptr;
    QAction* OuvrirunAnnuaireWeb1 = nullptr;
    QAction* CrerlAnnuaireWeb1 = nullptr;
    QAction* Quitter1 = nullptr;
    QAction* AperudelAnnuaireWeb1 = nullptr;
    QAction* AusujetdeFichelia1 = nullptr;

public slots:
    void FormCreate();
    void Button1Click(); // Ajouter
    void Button2Click(); // Modifier
    void Button3Click(); // Supprimer
    void Button4Click(); // Aperçu
    void Button5Click(); // Enregistrer
    void Button6Click(); // Ouvrir
    void Button7Click(); // Nouveau
    void Button8Click(); // Quitter
    void ListBox1Click();
    void Image2Click();
    void OuvrirunAnnuaireWeb1Click();
    void CrerlAnnuaireWeb1Click();
    void Quitter1Click();
    void AperudelAnnuaireWeb1Click();
    void AusujetdeFichelia1Click();
    void FormDragDrop(const QStringList& files); // files dropped on the window

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
    void runGuarded(void (TForm1::*handler)());
    void runGuarded(const std::function<void()>& handler);
    void connectClick(QPushButton* button, void (TForm1::*handler)());
    void connectMenu(QAction* action, void (TForm1::*handler)());

    // True when an entry is selected; otherwise tells the user to select one.
    bool hasSelection();

    annuaire formRecord() const;    // the form as it stands
    annuaire recordFromForm() const; // the form with the comment quote rule applied
    std::array<QLineEdit*, fichelia::kFieldCount> contactFields() const; // Edit1 to Edit8, in record order

    fichelia::Dialogs& m_dialogs;
    fichelia::Desktop& m_desktop;
    fichelia::PageCommands m_pageCommands;
    fichelia::ImportCommands m_importCommands;
    std::unique_ptr<fichelia::DirectoryList> m_list;
    fichelia::DirectoryListModel* m_model = nullptr;
    fichelia::DirectorySelectionModel* m_selection = nullptr; // owned by ListBox1
    TForm2* m_about = nullptr;
    bool m_shownOnce = false;
};

// The main window, reachable program-wide once start-up has made it.
extern TForm1* Form1;
