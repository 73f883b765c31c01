#include "window/AboutDialog.h"

#include <algorithm>

#include <QFontMetrics>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QTextDocument>
#include <QPushButton>

#include "window/PictureBox.h"
#include "window/WindowLook.h"
#include "window/WindowsConventions.h"
#include "page/PageWriter.h"
#include "commands/qt/QtDialogs.h"

TForm2* Form2 = nullptr;

using fichelia::WindowLook;

TForm2::TForm2(QWidget* parent) : QDialog(parent) {
    WindowLook::loadPictures();
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Au sujet de Fichelia"));
    setWindowIcon(QIcon(QStringLiteral(":/fichelia.png")));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFixedSize(582, 294);
    setFont(WindowLook::font());

    Image1 = new fichelia::PictureBox(QStringLiteral(":/banner.bmp"), WindowLook::bannerText(), this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(-6, 0, 593, 57);

    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setGeometry(16, 72, 545, 169);
    Memo1->setReadOnly(true);
    Memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->setPlainText(memoLines().join(QLatin1Char('\n')));
    Memo1->setAccessibleName(windowTitle()); // nothing else names it; screen readers read its text after the name
    fitMemoFont();

    Button1 = WindowLook::button(QStringLiteral("Button1"), QStringLiteral("Fermer"), this, {232, 248, 105, 41});
    connect(Button1, &QPushButton::clicked, this, &TForm2::Button1Click);
    QWidget::setTabOrder(Memo1, Button1);
    fichelia::followWindowsConventions(this);
}

QStringList TForm2::memoLines() {
    return {
        QStringLiteral("Fichelia vous permet d'installer un annuaire perfectionné sur votre site perso."),
        QStringLiteral("L'annuaire Web permet d'effectuer des recherches par noms, des classements par listes "
                       "alphabétiques, sélection "),
        QStringLiteral("rapide d'un contact ..."),
        QStringLiteral("L'annuaire Web fonctionne avec tous les navigateurs (ie,firefox...) et avec tous les "
                       "hébergeurs (pas besoin de php "),
        QStringLiteral("ou de base de données, juste un hébergement HTML!)."),
        QStringLiteral("Le logiciel enregistre directement votre annuaire en fichier HTML, et il peut ouvrir des "
                       "annuaires HTML pour les "),
        QStringLiteral("modifier."),
        QStringLiteral("La solution idéale pour avoir un annuaire perfectionné sur votre site !"),
        QStringLiteral("----------------------------------------------"),
        QStringLiteral("Fichelia fonctionne sous tous les systèmes windows : 98,Me,2000,NT,XP,2003 Server"),
        QStringLiteral("Fichelia est édité par l'équipe Fichelia : %1")
            .arg(QString::fromStdString(std::string(fichelia::kPublisherAddress))),
        QStringLiteral("Logiciel libre sous licence MIT : utilisation, modification et redistribution libres."),
    };
}

// The memo has no scroll bars: with a font wider than the one its text was
// written for, its lines would wrap and the last ones fall out of sight. The
// font shrinks, a pixel at a time, until every line fits on one line.
void TForm2::fitMemoFont() {
    const int available = Memo1->contentsRect().width() - 2 * static_cast<int>(Memo1->document()->documentMargin()) - 2;
    QFont font = WindowLook::font();
    for (int pixels = font.pixelSize(); pixels >= 8; --pixels) {
        font.setPixelSize(pixels);
        const QFontMetrics metrics(font);
        const QStringList lines = memoLines();
        if (std::all_of(lines.begin(), lines.end(),
                        [&](const QString& line) { return metrics.horizontalAdvance(line) <= available; })) {
            break;
        }
    }
    Memo1->setFont(font);
}

void TForm2::Button1Click() { close(); }

// Only "Fermer", the close box and the system menu close the dialog: the
// Escape that closes Qt's dialogs does nothing here.
void TForm2::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Cancel)) {
        return;
    }
    QDialog::keyPressEvent(event);
}

void TForm2::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!m_shownOnce) {
        m_shownOnce = true;
        fichelia::centreOnScreen(this);
    }
}
