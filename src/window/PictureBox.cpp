#include "window/PictureBox.h"

#include <QFileInfo>
#include <QMouseEvent>
#include <QPaintEngine>
#include <QPainter>

#include "window/WidgetAccessibility.h"

namespace fichelia {

PictureBox::PictureBox(const QString& resource, const QString& spokenName, QWidget* parent) : QLabel(parent) {
    installWidgetAccessibility();
    setAccessibleName(spokenName);
    m_picture = QPixmap(resource);
    setPixmap(m_picture);
    const QFileInfo file(resource);
    m_twice =
        QPixmap(file.path() + QLatin1Char('/') + file.completeBaseName() + QStringLiteral("@2x.") + file.suffix());
    m_twice.setDevicePixelRatio(2);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setScaledContents(false);
}

QPixmap PictureBox::pictureFor(qreal devicePixelRatio) const {
    return devicePixelRatio > 1 && !m_twice.isNull() ? m_twice : m_picture;
}

// Drawn as the label would draw its 1x picture (no frame, top left), choosing
// by the ratio of the pixels painted: the screen's, or a grab's.
void PictureBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform); // between 1 and 2, or beyond, the picture is scaled
    const QPaintDevice* pixels = painter.paintEngine() != nullptr ? painter.paintEngine()->paintDevice() : nullptr;
    painter.drawPixmap(0, 0, pictureFor(pixels != nullptr ? pixels->devicePixelRatioF() : devicePixelRatioF()));
}

void PictureBox::mouseReleaseEvent(QMouseEvent* event) {
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        emit clicked();
    }
}

} // namespace fichelia
