#include "window/FramedGroup.h"

#include <QPainter>

#include "window/WidgetAccessibility.h"
#include "window/WindowLook.h"

namespace fichelia {

namespace {

constexpr int kCaptionLeft = 8;
constexpr int kCaptionGap = 2;

} // namespace

FramedGroup::FramedGroup(const QString& caption, const QColor& background, const QColor& captionColour,
                         bool boldCaption, QWidget* parent)
    : QWidget(parent), m_caption(caption), m_background(background), m_captionColour(captionColour),
      m_boldCaption(boldCaption) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    installWidgetAccessibility();
    setAccessibleName(WindowLook::spokenCaption(caption));
}

void FramedGroup::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), m_background);

    QFont captionFont = font();
    captionFont.setBold(m_boldCaption);
    const QFontMetrics metrics(captionFont);
    const int frameTop = metrics.height() / 2;

    // Etched frame: a shadow line with a light line inside it.
    const QRect frame(0, frameTop, width() - 2, height() - frameTop - 2);
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawRect(frame);
    painter.setPen(palette().color(QPalette::Light));
    painter.drawRect(frame.translated(1, 1));

    if (!m_caption.isEmpty()) {
        const int captionWidth = metrics.horizontalAdvance(m_caption);
        const QRect captionBox(kCaptionLeft, 0, captionWidth + 2 * kCaptionGap, metrics.height());
        painter.fillRect(captionBox, m_background);
        painter.setFont(captionFont);
        painter.setPen(m_captionColour);
        painter.drawText(captionBox, Qt::AlignCenter, m_caption);
    }
}

} // namespace fichelia
