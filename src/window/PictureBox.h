#pragma once

#include <QLabel>
#include <QPixmap>

namespace fichelia {

// A picture drawn at its natural size from the top-left corner of its box and
// cut off at the box's edges; tells when it is clicked. Where the screen is
// scaled by more than 1 and the resource has a twice-as-large version
// ("banner@2x.bmp" beside "banner.bmp"), that one is drawn, sharp. Screen readers call it
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

    // The picture drawn on a device of this pixel ratio.
    QPixmap pictureFor(qreal devicePixelRatio) const;

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap m_picture;
    QPixmap m_twice; // the picture at twice the size, when there is one
    bool m_link = false;
};

} // namespace fichelia
