#pragma once

#include <QObject>
#include <QStringList>

class QMimeData;
class QWidget;

namespace fichelia {

// Takes the files dropped anywhere on a window, on a text field too, and
// tells their paths once the drop is over. Only local files are taken: a drag
// of text or of a web link is refused everywhere, the text fields included,
// which keep their other behaviour (typing, pasting, dragging text out).
//
// The files are only read, so the drop is always answered as a copy, never
// as a move, which would have the program they come from delete them. A drag
// that offers no copy is answered as a link when it offers one (the source
// keeps its files then too) and refused when it offers only a move: Qt cannot
// answer an action the drag did not offer.
class FileDrop final : public QObject {
    Q_OBJECT

public:
    // Watches the window, and stops those of its widgets made so far that take
    // drops (the text fields) from taking any.
    explicit FileDrop(QWidget* window);

    // The local files a drag carries, in its order; links are left out.
    static QStringList localFiles(const QMimeData* data);

    // The action a drop of files offering these actions is answered with:
    // copy, else link, else none (refused).
    static Qt::DropAction answeredAction(Qt::DropActions offered);

signals:
    void filesDropped(const QStringList& paths);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace fichelia
