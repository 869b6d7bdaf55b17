// What scripts/e2e.sh drags files from: a small window that starts a real
// drag of the file named on its command line when the mouse is pressed in
// it, so that the program under test receives the drop through the window
// system, as from a file manager. The window is titled "Drag source"; it
// ends a few seconds after the drag.

#include <QApplication>
#include <QDrag>
#include <QFileInfo>
#include <QLabel>
#include <QMimeData>
#include <QMouseEvent>
#include <QTimer>
#include <QUrl>

#include <cstdio>

namespace {

class DragSource : public QLabel {
public:
    explicit DragSource(const QString& fileName)
        : QLabel(QFileInfo(fileName).fileName()), fileName_(fileName) {
        setWindowTitle(QStringLiteral("Drag source"));
        setAlignment(Qt::AlignCenter);
        setFixedSize(160, 80);
    }

protected:
    void mousePressEvent(QMouseEvent* event) override {
        if (event->button() != Qt::LeftButton)
            return;
        auto* content = new QMimeData;
        content->setUrls({QUrl::fromLocalFile(fileName_)});
        auto* drag = new QDrag(this);
        drag->setMimeData(content);
        const Qt::DropAction action = drag->exec(Qt::CopyAction);
        std::printf("drag ended: %s\n", action == Qt::CopyAction ? "copied" : "ignored");
        std::fflush(stdout);
        // The target fetches the file's URL from here after the drop: the
        // window stays a little while to answer.
        QTimer::singleShot(3000, qApp, &QApplication::quit);
    }

private:
    QString fileName_;
};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: velmora_e2e_drag FILE\n");
        return 2;
    }
    DragSource source(QFileInfo(QString::fromLocal8Bit(argv[1])).absoluteFilePath());
    source.move(20, 20);
    source.show();
    return app.exec();
}
