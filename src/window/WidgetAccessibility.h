#pragma once

namespace fichelia {

// Teaches Qt's accessibility layer (what screen readers read, through AT-SPI
// on Linux) about the window's own widgets: a PictureBox is a picture, or a
// link the reader can follow when it opens a page; a FramedGroup is a group
// named by its caption. Safe to call more than once.
void installWidgetAccessibility();

} // namespace fichelia
