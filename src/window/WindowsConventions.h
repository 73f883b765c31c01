#pragma once

class QWidget;

namespace fichelia {

// Makes a window's controls take the mouse and the keyboard as Windows
// controls do, on every system:
//  - a list takes a selection from the left button only: a right or middle
//    click on a name neither selects it nor loads it into the form;
//  - Enter (either key) on a focused push button clicks it, as Space does;
//  - Alt with a letter that no menu or shortcut takes types nothing into a
//    text field (Ctrl+Alt, which is AltGr on Windows, still types).
// Applies to the controls the window holds when called.
void followWindowsConventions(QWidget* window);

} // namespace fichelia
