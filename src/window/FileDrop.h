#pragma once

#include <QObject>
#include <QStringList>

class QMimeData;
class QWidget;

namespace fichelia {

// Takes the files dropped anywhere on a window, on a text field too, and
// tells their paths once the drop is over. A drag that carries no local file
// (text, a web link) is left to the widgets as before: the window refuses it
// and a text field still takes dropped text.
class FileDrop final : public QObject {
    Q_OBJECT

public:
    // Watches the window and those of its widgets made so far that take drops.
    explicit FileDrop(QWidget* window);

    // The local files a drag carries, in its order; links are left out.
    static QStringList localFiles(const QMimeData* data);

signals:
    void filesDropped(const QStringList& paths);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace fichelia
