// Every file of tests/pictures/hostile, each made to make a reader slow or
// to reach undefined behaviour: the loader refuses it or loads it within a
// few seconds (the sanitizer build runs this too).

#include "PictureLoader.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace {

// The folder beside this source file.
QDir HostileFolder() {
    return QDir(QFileInfo(QString::fromUtf8(__FILE__)).absoluteDir().filePath("hostile"));
}

// What a user may wait for any one file: the drawing time limit with room
// for a sanitizer build.
constexpr qint64 MostMilliseconds = 6000;

} // namespace

TEST(HostilePictureTest, EachFileIsRefusedOrLoadedWithinSeconds) {
    const QFileInfoList files = HostileFolder().entryInfoList(QDir::Files, QDir::Name);
    ASSERT_GE(files.size(), 5) << HostileFolder().path().toStdString();
    // These must be refused whatever the machine's speed.
    const QStringList refused = {"frame-width-overflow.emf", "progressive-496-scans.jpg",
                                 "stretch-huge-destination.wmf", "item-longer-than-the-file.heic",
                                 "chunk-claiming-2gb.png"};
    for (const QFileInfo& file : files) {
        QElapsedTimer timer;
        timer.start();
        const std::optional<QImage> picture = LoadPictureFile(file.filePath());
        const qint64 elapsed = timer.elapsed();
        EXPECT_LT(elapsed, MostMilliseconds) << file.fileName().toStdString();
        if (refused.contains(file.fileName())) {
            EXPECT_FALSE(picture.has_value()) << file.fileName().toStdString();
        }
        if (picture) {
            EXPECT_FALSE(picture->isNull()) << file.fileName().toStdString();
        }
    }
}
