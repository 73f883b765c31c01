#pragma once

#include <QColor>
#include <QWidget>

namespace fichelia {

// A group box drawn the classic way: the whole box filled with its colour, an
// etched frame starting half a line below the top, and the caption at the
// left of the frame's top edge, on the box's colour.
class FramedGroup final : public QWidget {
    Q_OBJECT

public:
    FramedGroup(const QString& caption, const QColor& background, const QColor& captionColour, bool boldCaption,
                QWidget* parent);

    QString title() const { return m_caption; }
    QColor background() const { return m_background; }
    QColor captionColour() const { return m_captionColour; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_caption;
    QColor m_background;
    QColor m_captionColour;
    bool m_boldCaption;
};

} // namespace fichelia
