#pragma once

#include <set>
#include <vector>

#include <QAccessible>
#include <QTest>
#include <QWidget>

namespace fichelia::testing {

// A control as a screen reader announces it: its role and its name.
struct SpokenControl {
    const char* object; // object name
    QAccessible::Role role;
    const char* name; // UTF-8
};

// Checks each control's role and name as Qt hands them to screen readers, and
// that the table leaves out no widget a reader stops at (a field, a button, a
// list, a text, a picture, a link or a group).
inline void verifySpokenControls(QWidget* window, const std::vector<SpokenControl>& controls) {
    std::set<QString> listed;
    for (const SpokenControl& control : controls) {
        auto* widget = window->findChild<QWidget*>(QLatin1String(control.object));
        QVERIFY2(widget != nullptr, control.object);
        QAccessibleInterface* spoken = QAccessible::queryAccessibleInterface(widget);
        QVERIFY2(spoken != nullptr, control.object);
        QCOMPARE(spoken->role(), control.role);
        QCOMPARE(spoken->text(QAccessible::Name), QString::fromUtf8(control.name));
        listed.insert(widget->objectName());
    }
    const std::set<QAccessible::Role> controlRoles = {
        QAccessible::EditableText, QAccessible::PushButton, QAccessible::List,    QAccessible::StaticText,
        QAccessible::Graphic,      QAccessible::Link,       QAccessible::Grouping};
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        QAccessibleInterface* spoken = QAccessible::queryAccessibleInterface(widget);
        if (widget->isVisible() && spoken != nullptr && controlRoles.count(spoken->role()) != 0) {
            QVERIFY2(listed.count(widget->objectName()) != 0, qPrintable(widget->objectName()));
        }
    }
}

} // namespace fichelia::testing
