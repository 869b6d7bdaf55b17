#include "PictureDrop.h"

#include "Msg.h"
#include "PictureLoader.h"

#include <QDir>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

PictureDrop::PictureDrop(QWidget* target) : QObject(target) {
    target->setAcceptDrops(true);
    target->installEventFilter(this);
}

QStringList PictureDrop::LocalFiles(const QMimeData* data) {
    QStringList files;
    if (data == nullptr || !data->hasUrls())
        return files;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile() && !url.toLocalFile().isEmpty())
            files << url.toLocalFile();
    return files;
}

std::optional<QImage> PictureDrop::Load(const QString& fileName) {
    QString failure;
    std::optional<QImage> picture = LoadPictureFile(fileName, &failure);
    if (!picture)
        ShowMsg(QStringLiteral("Cannot load the picture from %1:\n%2")
                    .arg(QDir::toNativeSeparators(fileName), failure));
    return picture;
}

QString PictureDrop::PictureName(const QString& fileName) {
    return QFileInfo(fileName).completeBaseName();
}

bool PictureDrop::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDropEvent*>(event);
        if (LocalFiles(drag->mimeData()).isEmpty())
            return false;
        drag->setDropAction(Qt::CopyAction);
        drag->accept();
        return true;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        const QStringList files = LocalFiles(drop->mimeData());
        if (files.isEmpty())
            return false;
        drop->setDropAction(Qt::CopyAction);
        drop->accept();
        emit FilesDropped(files);
        return true;
    }
    default:
        return QObject::eventFilter(watched, event);
    }
}
