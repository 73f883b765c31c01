#pragma once

#include <QLabel>

namespace fichelia {

// A picture drawn at its natural size from the top-left corner of its box and
// cut off at the box's edges; tells when it is clicked. Screen readers call it
// by spokenName (what the picture reads), as a picture, or as a link when it
// opens a page.
class PictureBox final : public QLabel {
    Q_OBJECT

public:
    PictureBox(const QString& resource, const QString& spokenName, QWidget* parent);

    bool isLink() const { return m_link; }
    void setLink(bool link) { m_link = link; }

    // What a click does, for a screen reader following the link.
    void click() { emit clicked(); }

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool m_link = false;
};

} // namespace fichelia
