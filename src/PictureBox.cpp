#include "PictureBox.h"

#include <QMouseEvent>
#include <QPixmap>

namespace fichelia {

PictureBox::PictureBox(const QString& resource, QWidget* parent) : QLabel(parent) {
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
