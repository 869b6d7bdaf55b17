#pragma once

#include <QImage>
#include <QObject>
#include <QString>
#include <QStringList>

#include <optional>

class QMimeData;
class QWidget;

// Picture files dropped on a widget. Watching the widget, it takes drags
// that carry local files and reports the files of a drop; everything else
// is left to the widget. What the files become is the owner's business:
// Load reads one as the image dialog reads a chosen file.
class PictureDrop : public QObject {
    Q_OBJECT

public:
    // Makes the widget take drops and watches it; the widget owns it.
    explicit PictureDrop(QWidget* target);

    // The local files among the data's URLs, in their order.
    static QStringList LocalFiles(const QMimeData* data);

    // The picture of the file, or none after the reader's reason was shown
    // as the image dialog shows it.
    static std::optional<QImage> Load(const QString& fileName);

    // The name a picture from the file goes by: the file's name without
    // its extension ("Side view.png" gives "Side view").
    static QString PictureName(const QString& fileName);

signals:
    void FilesDropped(const QStringList& files);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
