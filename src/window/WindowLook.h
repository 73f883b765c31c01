#pragma once

#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace fichelia {

// The look shared by the two windows: font, colours, and the small factories
// that place a control at its pixel position.
class WindowLook {
public:
    static constexpr int kClientWidth = 598;
    static constexpr int kClientHeight = 527;

    // Makes the banner, the logo and the icon reachable as ":/banner.bmp",
    // ":/logo.bmp" and ":/fichelia.png".
    static void loadPictures();

    // "MS Sans Serif" 11 pixels high, or the closest sans-serif there is.
    static QFont font();
    static QFont boldFont();

    static QColor maroon() { return {128, 0, 0}; }
    static QColor navy() { return {0, 0, 128}; }
    static QColor buttonFace();

    // What the banner reads, as screen readers say it.
    static QString bannerText() { return QStringLiteral("Fichelia - Votre annuaire Web"); }
    // A caption as screen readers should say it: without the ".:: " and " ::."
    // drawn around a few captions, which would be read out as punctuation.
    static QString spokenCaption(const QString& caption);

    // The label and the button are named for screen readers by spokenCaption.
    static QLabel* label(const QString& name, const QString& caption, QWidget* parent, const QRect& geometry,
                         const QColor& colour, bool bold = false);
    // No length limit: a contact's text is never cut.
    static QLineEdit* edit(const QString& name, QWidget* parent, const QRect& geometry);
    // colour: the caption's colour, or an invalid colour for the usual one.
    static QPushButton* button(const QString& name, const QString& caption, QWidget* parent, const QRect& geometry,
                               const QColor& colour = QColor(), bool bold = false);
};

} // namespace fichelia
