#include "PictureBox.h"

#include <QMouseEvent>
#include <QPixmap>

#include "WidgetAccessibility.h"

namespace fichelia {

PictureBox::PictureBox(const QString& resource, const QString& spokenName, QWidget* parent) : QLabel(parent) {
    installWidgetAccessibility();
    setAccessibleName(spokenName);
    setPixmap(QPixmap(resource));
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setScaledContents(false);
}

void PictureBox::mouseReleaseEvent(QMouseEvent* event) {
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        emit clicked();
    }
}

} // namespace fichelia
