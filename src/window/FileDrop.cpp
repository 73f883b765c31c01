#include "window/FileDrop.h"

#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

namespace fichelia {

FileDrop::FileDrop(QWidget* window) : QObject(window) {
    // A drag over a widget that takes no drops goes to the nearest one that
    // does, here the window.
    for (QWidget* child : window->findChildren<QWidget*>()) {
        child->setAcceptDrops(false);
    }
    window->setAcceptDrops(true);
    window->installEventFilter(this);
}

QStringList FileDrop::localFiles(const QMimeData* data) {
    QStringList files;
    if (data != nullptr && data->hasUrls()) {
        for (const QUrl& url : data->urls()) {
            if (url.isLocalFile()) {
                files << url.toLocalFile();
            }
        }
    }
    return files;
}

Qt::DropAction FileDrop::answeredAction(Qt::DropActions offered) {
    if (offered.testFlag(Qt::CopyAction)) {
        return Qt::CopyAction;
    }
    if (offered.testFlag(Qt::LinkAction)) {
        return Qt::LinkAction;
    }
    return Qt::IgnoreAction;
}

bool FileDrop::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop) {
        return QObject::eventFilter(watched, event);
    }
    auto* drop = static_cast<QDropEvent*>(event);
    const QStringList files = localFiles(drop->mimeData());
    // Qt proposes the drag's default action, a move when Shift is held: it is
    // replaced whether the drop is taken or not.
    const Qt::DropAction action = files.isEmpty() ? Qt::IgnoreAction : answeredAction(drop->possibleActions());
    drop->setDropAction(action);
    if (action == Qt::IgnoreAction) {
        drop->ignore();
        return true;
    }
    drop->accept();
    if (type == QEvent::Drop) {
        // Told after the drop has ended, so that the program the files come
        // from is not kept waiting while the box that follows is open.
        QMetaObject::invokeMethod(
            this, [this, files] { emit filesDropped(files); }, Qt::QueuedConnection);
    }
    return true;
}

} // namespace fichelia
