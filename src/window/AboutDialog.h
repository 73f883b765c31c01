#pragma once

#include <QDialog>

class QPlainTextEdit;
class QPushButton;

namespace fichelia {
class PictureBox;
}

// The About dialog: the banner, what the tool does, and "Fermer". Made once,
// hidden, and shown modally as often as asked; it shows centred the first
// time and where the user left it afterwards.
class TForm2 final : public QDialog {
    Q_OBJECT

public:
    explicit TForm2(QWidget* parent = nullptr);

    fichelia::PictureBox* Image1 = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    QPushButton* Button1 = nullptr;

    // The memo's twelve lines.
    static QStringList memoLines();

public slots:
    void Button1Click();

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void fitMemoFont();
    bool m_shownOnce = false;
};

// The About dialog, reachable program-wide once start-up has made it.
extern TForm2* Form2;
