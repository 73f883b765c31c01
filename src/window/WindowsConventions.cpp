#include "window/WindowsConventions.h"

#include <QAbstractItemView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextEdit>

namespace fichelia {

namespace {

class ListMouse final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
            return static_cast<QMouseEvent*>(event)->button() != Qt::LeftButton;
        default:
            return QObject::eventFilter(watched, event);
        }
    }
};

class ButtonEnter final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) {
            const auto* key = static_cast<QKeyEvent*>(event);
            const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
            if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && modifiers == Qt::NoModifier) {
                auto* button = static_cast<QPushButton*>(watched);
                if (button->isEnabled()) {
                    button->click();
                }
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }
};

class FieldAltLetter final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) {
            const auto* key = static_cast<QKeyEvent*>(event);
            if (key->modifiers().testFlag(Qt::AltModifier) && !key->modifiers().testFlag(Qt::ControlModifier) &&
                !key->text().isEmpty()) {
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }
};

// Each control gets its own filter, owned by it.
template <typename Filter> void filter(QObject* target) {
    target->installEventFilter(new Filter(target));
}

} // namespace

void followWindowsConventions(QWidget* window) {
    for (QAbstractItemView* list : window->findChildren<QAbstractItemView*>()) {
        filter<ListMouse>(list->viewport());
    }
    for (QPushButton* button : window->findChildren<QPushButton*>()) {
        filter<ButtonEnter>(button);
    }
    for (QLineEdit* field : window->findChildren<QLineEdit*>()) {
        filter<FieldAltLetter>(field);
    }
    for (QPlainTextEdit* field : window->findChildren<QPlainTextEdit*>()) {
        filter<FieldAltLetter>(field);
    }
    for (QTextEdit* field : window->findChildren<QTextEdit*>()) {
        filter<FieldAltLetter>(field);
    }
}

} // namespace fichelia
