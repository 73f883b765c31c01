#include "window/WindowLook.h"

#include <algorithm>
#include <limits>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>

// Q_INIT_RESOURCE must be used outside any namespace.
static void registerAssets() { Q_INIT_RESOURCE(assets); }

namespace fichelia {

void WindowLook::loadPictures() {
    // The pictures are compiled into this static library: a program linking it
    // registers them before the first use.
    static const bool loaded = [] {
        registerAssets();
        return true;
    }();
    (void)loaded;
}

QFont WindowLook::font() {
    QFont font;
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"), QStringLiteral("Arial"),
                      QStringLiteral("DejaVu Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(11);
    return font;
}

QFont WindowLook::boldFont() {
    QFont bold = font();
    bold.setBold(true);
    return bold;
}

QColor WindowLook::buttonFace() { return QApplication::palette().color(QPalette::Button); }

QString WindowLook::spokenCaption(const QString& caption) {
    const QLatin1String open(".:: ");
    const QLatin1String close(" ::.");
    if (caption.startsWith(open) && caption.endsWith(close) && caption.size() > open.size() + close.size()) {
        return caption.mid(open.size(), caption.size() - open.size() - close.size());
    }
    return caption;
}

namespace {

// Only a caption that differs from its spoken form needs a name of its own.
void nameForScreenReaders(QWidget* widget, const QString& caption) {
    const QString spoken = WindowLook::spokenCaption(caption);
    if (spoken != caption) {
        widget->setAccessibleName(spoken);
    }
}

} // namespace

QLabel* WindowLook::label(const QString& name, const QString& caption, QWidget* parent, const QRect& geometry,
                          const QColor& colour, bool bold) {
    auto* label = new QLabel(caption, parent);
    label->setObjectName(name);
    label->setGeometry(geometry);
    label->setFont(bold ? boldFont() : font());
    nameForScreenReaders(label, caption);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
    // Labels fit their text, as they always did: a wider font than the one the
    // sizes were made for must not cut a caption off.
    label->resize(std::max(geometry.width(), label->sizeHint().width()), geometry.height());
    return label;
}

QLineEdit* WindowLook::edit(const QString& name, QWidget* parent, const QRect& geometry) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setGeometry(geometry);
    edit->setMaxLength(std::numeric_limits<int>::max());
    QPalette palette = edit->palette();
    palette.setColor(QPalette::Base, Qt::white);
    palette.setColor(QPalette::Text, Qt::black);
    edit->setPalette(palette);
    return edit;
}

QPushButton* WindowLook::button(const QString& name, const QString& caption, QWidget* parent, const QRect& geometry,
                                const QColor& colour, bool bold) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setGeometry(geometry);
    button->setFont(bold ? boldFont() : font());
    nameForScreenReaders(button, caption);
    button->setAutoDefault(false);
    button->setDefault(false);
    button->setFocusPolicy(Qt::StrongFocus);
    if (colour.isValid()) {
        QPalette palette = button->palette();
        palette.setColor(QPalette::ButtonText, colour);
        button->setPalette(palette);
    }
    return button;
}

} // namespace fichelia
