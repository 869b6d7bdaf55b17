// The image dialog's open and save-as dialogs start where a picture was
// last chosen.

#include "ModalScript.h"
#include "PictureTestSupport.h"
#include "TF_picture_mgm.h"
#include "TJpegPicture.h"

#include <QDir>
#include <QFileDialog>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace picturetest;

namespace {

TEST(PictureDialogFolderTest, OpenAndSaveStartInTheFolderOfTheLastPicture) {
    QTemporaryDir folder;
    const QString chosen = folder.filePath("in.bmp");
    ASSERT_TRUE(Pattern(8, 6).save(chosen));
    TF_picture_mgm dialog;
    ModalScript script;
    QStringList startedIn;
    const auto answer = [&](const QString& file) {
        return [&, file](QDialog& d) {
            auto& files = static_cast<QFileDialog&>(d);
            startedIn << files.directory().absolutePath();
            files.selectFile(file);
            d.accept();
        };
    };
    script.Then([&](QDialog&) {
        script.Then(answer(chosen));
        QTest::mouseClick(dialog.btn_load_from_file, Qt::LeftButton);
        script.Then([&](QDialog& d) {
            startedIn << static_cast<QFileDialog&>(d).directory().absolutePath();
            d.reject();
        });
        QTest::mouseClick(dialog.btn_export, Qt::LeftButton);
        script.Then(answer(chosen));
        QTest::mouseClick(dialog.btn_load_from_file, Qt::LeftButton);
        QTest::mouseClick(dialog.btn_cancel, Qt::LeftButton);
    });
    TJpegPicture picture;
    QImage thumbnail;
    dialog.EditPicture(&picture, &thumbnail);
    EXPECT_TRUE(script.Done());
    ASSERT_EQ(startedIn.size(), 3);
    EXPECT_NE(startedIn[0], QDir::currentPath());
    EXPECT_EQ(startedIn[1], QDir(folder.path()).absolutePath());
    EXPECT_EQ(startedIn[2], QDir(folder.path()).absolutePath());
}

} // namespace
