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

namespace fichelia {

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
    WindowLook::loadPictures();
    setObjectName(QStringLiteral("AboutDialog"));
    setWindowTitle(QStringLiteral("Au sujet de Fichelia"));
    setWindowIcon(QIcon(QStringLiteral(":/fichelia.png")));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFixedSize(582, 294);
    setFont(WindowLook::font());

    bannerPicture = new PictureBox(QStringLiteral(":/banner.bmp"), WindowLook::bannerText(), this);
    bannerPicture->setObjectName(QStringLiteral("bannerPicture"));
    bannerPicture->setGeometry(-6, 0, 593, 57);

    aboutText = new QPlainTextEdit(this);
    aboutText->setObjectName(QStringLiteral("aboutText"));
    aboutText->setGeometry(16, 72, 545, 169);
    aboutText->setReadOnly(true);
    aboutText->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    aboutText->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    aboutText->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    aboutText->setPlainText(aboutLines().join(QLatin1Char('\n')));
    aboutText->setAccessibleName(windowTitle()); // nothing else names it; screen readers read its text after the name
    fitTextFont();

    closeButton =
        WindowLook::button(QStringLiteral("closeButton"), QStringLiteral("Fermer"), this, {232, 248, 105, 41});
    connect(closeButton, &QPushButton::clicked, this, &QWidget::close);
    QWidget::setTabOrder(aboutText, closeButton);
    followWindowsConventions(this);
}

QStringList AboutDialog::aboutLines() {
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
            .arg(QString::fromStdString(std::string(kPublisherAddress))),
        QStringLiteral("Logiciel libre sous licence MIT : utilisation, modification et redistribution libres."),
    };
}

// The text has no scroll bars: with a font wider than the one its text was
// written for, its lines would wrap and the last ones fall out of sight. The
// font shrinks, a pixel at a time, until every line fits on one line.
void AboutDialog::fitTextFont() {
    const int available =
        aboutText->contentsRect().width() - 2 * static_cast<int>(aboutText->document()->documentMargin()) - 2;
    QFont font = WindowLook::font();
    for (int pixels = font.pixelSize(); pixels >= 8; --pixels) {
        font.setPixelSize(pixels);
        const QFontMetrics metrics(font);
        const QStringList lines = aboutLines();
        if (std::all_of(lines.begin(), lines.end(),
                        [&](const QString& line) { return metrics.horizontalAdvance(line) <= available; })) {
            break;
        }
    }
    aboutText->setFont(font);
}

// Only "Fermer", the close box and the system menu close the dialog: the
// Escape that closes Qt's dialogs does nothing here.
void AboutDialog::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Cancel)) {
        return;
    }
    QDialog::keyPressEvent(event);
}

void AboutDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!m_shownOnce) {
        m_shownOnce = true;
        centreOnScreen(this);
    }
}

} // namespace fichelia
