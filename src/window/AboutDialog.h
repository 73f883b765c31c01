#pragma once

#include <QDialog>

class QPlainTextEdit;
class QPushButton;

namespace fichelia {

class PictureBox;

// The About dialog: the banner, what the tool does, and "Fermer". Made once,
// hidden, and shown modally as often as asked; it shows centred the first
// time and where the user left it afterwards.
class AboutDialog final : public QDialog {
    Q_OBJECT

public:
    explicit AboutDialog(QWidget* parent = nullptr);

    PictureBox* bannerPicture = nullptr;
    QPlainTextEdit* aboutText = nullptr;
    QPushButton* closeButton = nullptr;

    // The text's twelve lines.
    static QStringList aboutLines();

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void fitTextFont();
    bool m_shownOnce = false;
};

} // namespace fichelia
