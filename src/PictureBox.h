#pragma once

#include <QLabel>

namespace fichelia {

// A picture drawn at its natural size from the top-left corner of its box and
// cut off at the box's edges; tells when it is clicked.
class PictureBox final : public QLabel {
    Q_OBJECT

public:
    PictureBox(const QString& resource, QWidget* parent);

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

} // namespace fichelia
