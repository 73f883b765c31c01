#include "window/WidgetAccessibility.h"

#include <QAccessibleWidget>

#include "window/FramedGroup.h"
#include "window/PictureBox.h"

namespace fichelia {

namespace {

class PictureAccessible final : public QAccessibleWidget {
public:
    explicit PictureAccessible(PictureBox* box) : QAccessibleWidget(box, QAccessible::Graphic) {}

    QAccessible::Role role() const override { return box()->isLink() ? QAccessible::Link : QAccessible::Graphic; }

    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.linked = box()->isLink();
        return state;
    }

    // A link is followed by the reader's "press" action, as a click would.
    QStringList actionNames() const override {
        return box()->isLink() ? QStringList{pressAction()} : QAccessibleWidget::actionNames();
    }
    void doAction(const QString& action) override {
        if (box()->isLink() && action == pressAction()) {
            box()->click();
            return;
        }
        QAccessibleWidget::doAction(action);
    }

private:
    PictureBox* box() const { return static_cast<PictureBox*>(widget()); }
};

QAccessibleInterface* widgetInterface(const QString& className, QObject* object) {
    if (className == QLatin1String(PictureBox::staticMetaObject.className())) {
        return new PictureAccessible(static_cast<PictureBox*>(object));
    }
    if (className == QLatin1String(FramedGroup::staticMetaObject.className())) {
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Grouping);
    }
    return nullptr;
}

} // namespace

void installWidgetAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(widgetInterface);
        return true;
    }();
    (void)installed;
}

} // namespace fichelia
