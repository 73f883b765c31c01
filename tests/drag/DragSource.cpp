// A program files are dragged from, as a file manager: a small window at the
// screen's top-left corner that starts a drag of the files given when the
// mouse is pressed in it, offering the actions given, and prints the action
// the target answered ("copy", "move", "link" or "ignore") once it is over.
// It then stays until killed: the target may still be reading the files' list.
//   drag_source copy,move FILE...

#include <cstdio>

#include <QApplication>
#include <QDrag>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

namespace {

class DragSource final : public QWidget {
public:
    DragSource(Qt::DropActions offered, QList<QUrl> files) : m_offered(offered), m_files(std::move(files)) {
        setWindowTitle(QStringLiteral("drag source"));
        setGeometry(0, 0, 150, 150);
    }

protected:
    void mousePressEvent(QMouseEvent*) override {
        auto* drag = new QDrag(this);
        auto* data = new QMimeData;
        data->setUrls(m_files);
        drag->setMimeData(data);
        const Qt::DropAction done = drag->exec(m_offered);
        const char* name = done == Qt::CopyAction   ? "copy"
                           : done == Qt::MoveAction ? "move"
                           : done == Qt::LinkAction ? "link"
                                                    : "ignore";
        std::printf("%s\n", name);
        std::fflush(stdout);
    }

private:
    Qt::DropActions m_offered;
    QList<QUrl> m_files;
};

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: drag_source copy,move,link FILE...\n");
        return 2;
    }
    Qt::DropActions offered;
    for (const QString& action : QString::fromLocal8Bit(argv[1]).split(QLatin1Char(','))) {
        offered |= action == QLatin1String("copy")   ? Qt::CopyAction
                   : action == QLatin1String("move") ? Qt::MoveAction
                   : action == QLatin1String("link") ? Qt::LinkAction
                                                     : Qt::IgnoreAction;
    }
    QList<QUrl> files;
    for (int i = 2; i < argc; ++i) {
        files << QUrl::fromLocalFile(QString::fromLocal8Bit(argv[i]));
    }
    DragSource source(offered, files);
    source.show();
    return application.exec();
}
