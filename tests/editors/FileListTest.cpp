// The figure's attached files through the real frame: the stored text, the
// row's columns, and the three buttons with the dialogs they show.

#include "ModalScript.h"
#include "ShellOpen.h"
#include "TO_filelist.h"

#include <QDir>
#include <QFileDialog>
#include <QLocale>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace {

const QString Crlf = "\r\n";

class FileListTest : public ::testing::Test {
protected:
    QString MakeFile(const QString& name, const QByteArray& content = "x") {
        QFile file(folder_.filePath(name));
        EXPECT_TRUE(QDir().mkpath(QFileInfo(file).absolutePath()));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
        return file.fileName();
    }
    void Click(QPushButton* button) { QTest::mouseClick(button, Qt::LeftButton); }
    void Select(int row) { list_.LV1->setCurrentItem(list_.LV1->topLevelItem(row)); }

    QTemporaryDir folder_;
    TO_filelist list_;
    ModalScript script_;
};

TEST_F(FileListTest, LoadKeepsMissingFilesGreyedShowsTheColumnsAndSavesPathsEndedByCrLf) {
    const QString a = MakeFile("sub/Manual 1.pdf", "12345");
    const QString gone = MakeFile("gone.txt");
    const QString hidden = MakeFile(".hidden.txt");
    ASSERT_TRUE(QFile::remove(gone));

    list_.LoadFromText(a + Crlf + gone + Crlf + "\r\n\n" + hidden + "\n");
    EXPECT_EQ(list_.SaveToText(), a + Crlf + gone + Crlf + hidden + Crlf);
    const auto texts = [&](int index) {
        const QTreeWidgetItem* row = list_.LV1->topLevelItem(index);
        return QStringList{row->text(0), row->text(1), row->text(2), row->text(3)};
    };
    // Just made, so created today as the file system records it (UTC).
    const QDate today = QDateTime::currentDateTimeUtc().date();
    EXPECT_EQ(texts(0), (QStringList{"Manual 1.pdf", a, "5",
                                     QLocale::system().toString(today, QLocale::ShortFormat)}));
    EXPECT_EQ(texts(1), (QStringList{"gone.txt (missing)", gone, "", ""}));
    const QColor grey = list_.LV1->palette().color(QPalette::Disabled, QPalette::Text);
    EXPECT_EQ(list_.LV1->topLevelItem(1)->foreground(0).color(), grey);
    EXPECT_NE(list_.LV1->topLevelItem(0)->foreground(0).color(), grey);

    list_.LoadFromText("");
    EXPECT_EQ(list_.Count(), 0) << "the rows of the previous figure are gone";
    EXPECT_EQ(list_.SaveToText(), "");
}

TEST_F(FileListTest, RemoveAsksWithTheNameOnlyAndLeavesTheFile) {
    const QString a = MakeFile("a.txt");
    const QString b = MakeFile("b.txt");
    list_.LoadFromText(a + Crlf + b + Crlf);
    list_.LV1->clearSelection();
    Click(list_.btn_remove); // nothing selected: no question

    Select(1);
    script_.Then(ModalScript::No).Then(ModalScript::Yes);
    Click(list_.btn_remove);
    Click(list_.btn_remove);
    EXPECT_EQ(list_.SaveToText(), a + Crlf);
    EXPECT_TRUE(QFile::exists(b));
    const QString question = "Confirmation: Remove \"b.txt\" from list?";
    EXPECT_EQ(script_.Shown, (QStringList{question, question}));
}

TEST_F(FileListTest, OpenShowsTheMessageOfEachFailureAndNothingOnSuccess) {
    const QString kept = MakeFile("kept.pdf");
    const QString gone = MakeFile("gone.pdf");
    list_.LoadFromText(kept + Crlf + gone + Crlf + MakeFile("old/a.pdf") + Crlf);
    ASSERT_TRUE(QFile::remove(gone));
    ASSERT_TRUE(QDir(folder_.filePath("old")).removeRecursively());
    QStringList opened;
    ShellOpen::ScopedHook hook([&](const QString& path) { opened << path; });
    for (int row : {0, 1, 2}) {
        Select(row);
        script_.Then(ModalScript::Ok);
        Click(list_.btn_open);
    }
    // Failures real files cannot cause everywhere: root reads any file, and
    // whether a program takes a file depends on the desktop.
    for (int code : {ShellOpen::AccessDenied, ShellOpen::NoAssociation, 1}) {
        list_.ShellOpenFile = [code](const QString&) { return code; };
        script_.Then(ModalScript::Ok);
        Click(list_.btn_open);
    }
    EXPECT_EQ(opened, QStringList{kept});
    EXPECT_EQ(script_.Shown,
              (QStringList{"Message: The specified file was not found.",
                           "Message: The specified path was not found.",
                           "Message: The operating system denied access to the specified file.",
                           "Message: There is no application associated with the given "
                           "filename extension.",
                           "Message: "}));
    EXPECT_EQ(list_.Count(), 3);
}

TEST_F(FileListTest, AddChoosesAFileAndKeepsTheCurrentFolderAlsoWhenCancelled) {
    const QString chosen = MakeFile("chosen.stl");
    const QString before = QDir::currentPath();
    // Each answer moves the current folder, as a file dialog may.
    script_
        .Then([&](QDialog& d) {
            QDir::setCurrent(folder_.path());
            static_cast<QFileDialog&>(d).selectFile(chosen);
            d.accept();
        })
        .Then([&](QDialog& d) {
            QDir::setCurrent(folder_.path());
            d.reject();
        });
    Click(list_.btn_add);
    EXPECT_EQ(QDir::currentPath(), before);
    Click(list_.btn_add);
    EXPECT_EQ(QDir::currentPath(), before);
    EXPECT_EQ(list_.SaveToText(), chosen + Crlf);
    const QString title = "Select a file to add to the list";
    EXPECT_EQ(script_.Shown, (QStringList{title, title}));
}

} // namespace
