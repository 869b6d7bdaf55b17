// A figure's web page: file names, the exact page text, the picture and map
// files, and the export dialog on a real catalog.

#include "DialogRunner.h"
#include "EFileError.h"
#include "FileNameFromName.h"
#include "FolderKeeper.h"
#include "HtmlPageBuilder.h"
#include "JpegEncoder.h"
#include "ModalScript.h"
#include "QueryTestFixture.h"
#include "ShellOpen.h"
#include "TFhtml_record.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray Jpeg(int width, int height) {
    QImage picture(width, height, QImage::Format_RGB888);
    picture.fill(Qt::darkGreen);
    return PictureToJpegBytes(picture);
}

class HtmlPageTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder_.isValid());
        record_.figureName = QStringLiteral("Knight");
        record_.scale = QStringLiteral("54mm");
        record_.producerName = QStringLiteral("Kestrell");
        record_.description = QStringLiteral("Resin, 1:32 <kit> 100% & more\r\n\"boxed\"");
        record_.genreName = QStringLiteral("West Europe");
        record_.genreYears = QStringLiteral("1100 - 1500");
        record_.picture = Jpeg(700, 500);
        options_.pagePath = Path("reports/");
        options_.pageFile = QStringLiteral("knight.html");
        options_.picturePath = Path("reports/images/");
        options_.pictureFile = QStringLiteral("knight.jpg");
        options_.mapFile = QStringLiteral("west-europe.jpg");
        options_.mapBytes = [] { return QByteArray("map"); };
    }

    QString Path(const QString& name) const { return folder_.filePath(name); }

    std::string Export() {
        builder_.Export(record_, options_);
        return ReadFile(Path("reports/knight.html")).toStdString();
    }

    QTemporaryDir folder_;
    HtmlRecord record_;
    HtmlPageOptions options_;
    HtmlPageBuilder builder_;
};

TEST(FileNameFromNameTest, KeepsLowerCaseLettersAndDigitsOnly) {
    const std::pair<QString, QString> cases[] = {
        {"Knight, 1450 (Mounted)", "knight--1450--mounted-"},
        {" \t Épée \r\n", "epee"},
        {"Гусар", "gusar"},
        {"Казак, 1812", "kazak--1812"},
        {"", ""},
        {" \t ", ""},
    };
    for (const auto& [name, expected] : cases)
        EXPECT_EQ(FileNameFromName(name), expected) << name.toStdString();
    EXPECT_EQ(FileNameFromName(" ", "figure"), "figure");
}

TEST(ShownHeightTest, RoundsHalvesToEven) {
    const std::tuple<int, int, int> cases[] = {
        {700, 500, 250}, {700, 501, 250}, {700, 503, 252}, {351, 100, 100}};
    for (const auto& [width, height, shown] : cases)
        EXPECT_EQ(HtmlPageBuilder::ShownHeight(width, height), shown) << width << "x" << height;
}

TEST_F(HtmlPageTest, WritesTheFilledTemplateEscapedForBrowsers) {
    ASSERT_EQ(HtmlPageBuilder::PageTemplate().size(), 35);
    const std::string expected =
        "\r\n<HTML>"
        "\r\n\t<HEAD>"
        "\r\n\t\t<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=utf-8\"/>"
        "\r\n\t\t<TITLE>Knight\r\n\t\t</TITLE>"
        "\r\n\t</HEAD>"
        "\r\n\t<BODY>"
        "\r\n\t\t<H1 ALIGN=\"center\">Knight\r\n\t\t</H1>"
        "\r\n\t\t<DIV ALIGN=\"center\">"
        "\r\n\t\t\t<TABLE IID=\"_MAIN_TABLE\" WIDTH=\"80%\">"
        "\r\n\t\t\t\t<TR>"
        "\r\n\t\t\t\t\t<TD VALIGN=\"top\">"
        "\r\n\t\t\t\t\t\t<IMG SRC=\"images/knight.jpg\" IID=\"_PIC\" HEIGHT=\"250\" WIDTH=\"350\"/>"
        "\r\n\t\t\t\t\t</TD>"
        "\r\n\t\t\t\t\t<TD>\xC2\xA0\xC2\xA0\r\n\t\t\t\t\t</TD>"
        "\r\n\t\t\t\t\t<TD VALIGN=\"top\">"
        "\r\n\t\t\t\t\t\t<H2 IID=\"_GENRE_NAME\">West Europe\r\n\t\t\t\t\t\t</H2>"
        "\r\n\t\t\t\t\t\t<DIV IID=\"_GENRE_Y\">1100 - 1500"
        "\r\n\t\t\t\t\t\t\t<BR/>\r\n\t\t\t\t\t\t</DIV>"
        "\r\n\t\t\t\t\t\t<IMG SRC=\"images/west-europe.jpg\" BORDER=\"1\" IID=\"_GENRE_MAP\"/>"
        "\r\n\t\t\t\t\t\t<TABLE>"
        "\r\n\t\t\t\t\t\t\t<TR>"
        "\r\n\t\t\t\t\t\t\t\t<TD>Scale:\r\n\t\t\t\t\t\t\t\t</TD>"
        "\r\n\t\t\t\t\t\t\t\t<TD>"
        "\r\n\t\t\t\t\t\t\t\t\t<B IID=\"_SCALE\">54mm\r\n\t\t\t\t\t\t\t\t\t</B>"
        "\r\n\t\t\t\t\t\t\t\t</TD>"
        "\r\n\t\t\t\t\t\t\t</TR>"
        "\r\n\t\t\t\t\t\t\t<TR>"
        "\r\n\t\t\t\t\t\t\t\t<TD>Producer:\r\n\t\t\t\t\t\t\t\t</TD>"
        "\r\n\t\t\t\t\t\t\t\t<TD>"
        "\r\n\t\t\t\t\t\t\t\t\t<B IID=\"_PRODUCER_NAME\">Kestrell\r\n\t\t\t\t\t\t\t\t\t</B>"
        "\r\n\t\t\t\t\t\t\t\t</TD>"
        "\r\n\t\t\t\t\t\t\t</TR>"
        "\r\n\t\t\t\t\t\t</TABLE>"
        "\r\n\t\t\t\t\t\t<H2 IID=\"_DSC_HEADER\">Description:\r\n\t\t\t\t\t\t</H2>"
        "\r\n\t\t\t\t\t\t<DIV IID=\"_DSC\" STYLE=\"white-space: pre-line; overflow-wrap: "
        "anywhere\">Resin, 1:32 &lt;kit&gt; 100% &amp; more\r\n"
        "&quot;boxed&quot;\r\n\t\t\t\t\t\t</DIV>"
        "\r\n\t\t\t\t\t</TD>"
        "\r\n\t\t\t\t</TR>"
        "\r\n\t\t\t</TABLE>"
        "\r\n\t\t</DIV>"
        "\r\n\t</BODY>"
        "\r\n</HTML>";
    EXPECT_EQ(Export(), expected);
    EXPECT_EQ(ReadFile(Path("reports/images/knight.jpg")), *record_.picture) << "byte for byte";
    EXPECT_EQ(ReadFile(Path("reports/images/west-europe.jpg")), "map");
}

TEST_F(HtmlPageTest, WithoutMapOrDescriptionOrWidePicture) {
    options_.useMap = false;
    record_.description.clear();
    record_.picture = Jpeg(350, 500);
    const std::string page = Export();
    EXPECT_EQ(page.find("_GENRE_MAP"), std::string::npos);
    EXPECT_FALSE(QFile::exists(Path("reports/images/west-europe.jpg")));
    EXPECT_NE(page.find("<H2 IID=\"_DSC_HEADER\"></H2>\r\n\t\t\t\t\t\t<DIV IID=\"_DSC\" "
                        "STYLE=\"white-space: pre-line; overflow-wrap: anywhere\"></DIV>"),
              std::string::npos);
    EXPECT_NE(page.find("<IMG SRC=\"images/knight.jpg\" IID=\"_PIC\"/>"), std::string::npos);
}

TEST_F(HtmlPageTest, UnreadablePictureGivesThePlaceholder) {
    record_.picture = QByteArray("not a picture");
    Export();
    QImage written;
    ASSERT_TRUE(written.loadFromData(ReadFile(Path("reports/images/knight.jpg")), "JPEG"));
    EXPECT_EQ(written.size(), QSize(350, 350));
    EXPECT_EQ(ReadFile(Path("reports/images/knight.jpg")),
              PictureToJpegBytes(HtmlPageBuilder::PlaceholderPicture()));
}

TEST_F(HtmlPageTest, SourcesLeadFromThePageFolderToThePictures) {
    const std::tuple<QString, QString, std::string> cases[] = {
        {"site/pages", "site/img/", "../img/"},
        {"site/", "site", ""},
        {"site/a b/", "site/a b/p#1/", "p%231/"},
    };
    for (const auto& [pagePath, picturePath, source] : cases) {
        options_.pagePath = Path(pagePath);
        options_.picturePath = Path(picturePath);
        builder_.Export(record_, options_);
        const std::string page =
            ReadFile(HtmlPageBuilder::JoinPath(Path(pagePath), "knight.html")).toStdString();
        EXPECT_NE(page.find("SRC=\"" + source + "knight.jpg\""), std::string::npos) << page;
        EXPECT_NE(page.find("SRC=\"" + source + "west-europe.jpg\""), std::string::npos);
        EXPECT_TRUE(QFile::exists(HtmlPageBuilder::JoinPath(Path(picturePath), "knight.jpg")));
    }
}

TEST_F(HtmlPageTest, EmptyElementsAreClosedAndSourcesFollowThePage) {
    const std::tuple<QString, QString, QString, std::vector<std::string>> cases[] = {
        {"",
         "West Europe",
         "knight.html",
         {"<TITLE></TITLE>", "<H1 ALIGN=\"center\"></H1>", "SRC=\"images/knight.jpg\""}},
        {"Knight", "", "knight.html", {"<H2 IID=\"_GENRE_NAME\"></H2>"}},
        {"Knight",
         "West Europe",
         "sub/knight.html",
         {"SRC=\"../images/knight.jpg\"", "SRC=\"../images/west-europe.jpg\""}},
    };
    for (const auto& [name, genre, pageFile, parts] : cases) {
        record_.figureName = name;
        record_.genreName = genre;
        options_.pageFile = pageFile;
        const QString written = builder_.Export(record_, options_);
        EXPECT_EQ(written, HtmlPageBuilder::JoinPath(options_.pagePath, pageFile));
        const std::string page = ReadFile(written).toStdString();
        for (const std::string& part : parts)
            EXPECT_NE(page.find(part), std::string::npos) << part << " in " << page;
        const QRegularExpression selfClosed("<(?!IMG |BR/|META )[^<>]*/>");
        EXPECT_FALSE(selfClosed.match(QString::fromStdString(page)).hasMatch()) << page;
    }
}

TEST_F(HtmlPageTest, ExportingAgainOverwrites) {
    Export();
    record_.figureName = QStringLiteral("Second");
    record_.picture = Jpeg(100, 100);
    EXPECT_NE(Export().find("<TITLE>Second"), std::string::npos);
    EXPECT_EQ(ReadFile(Path("reports/images/knight.jpg")), *record_.picture);
}

TEST_F(HtmlPageTest, AFileThatCannotBeWrittenIsNamedAndNoPageIsLeft) {
    ASSERT_TRUE(QDir().mkpath(Path("reports/knight.html")));
    QFile blocker(Path("blocker"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const std::pair<QString, QString> cases[] = {
        {Path("reports/images/"), Path("reports/knight.html")},
        {Path("blocker/images/"), Path("blocker/images/west-europe.jpg")},
    };
    for (const auto& [picturePath, named] : cases) {
        options_.picturePath = picturePath;
        try {
            builder_.Export(record_, options_);
            ADD_FAILURE() << "no error for " << named.toStdString();
        } catch (const EFileError& error) {
            EXPECT_EQ(std::string(error.what()), "Cannot create file " + named.toStdString());
        }
    }
    EXPECT_TRUE(QFileInfo(Path("reports/knight.html")).isDir());
    EXPECT_TRUE(QDir(Path("reports")).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

class HtmlDialogTest : public QueryTestFixture {};

TEST_F(HtmlDialogTest, ProposesFilesWritesThePageAndOpensIt) {
    Exec("insert into genres values ('G', 'West Europe', 170, 90, 50, 50, 1100, 1500, null)");
    Exec("insert into producers (producer_id, producer_name) values ('P', 'Kestrell')");
    Exec("insert into figures (figure_id, figure_name, producer_id, genre_id, scale, picture) "
         "values ('F', 'Knight, 1450 (Mounted)', 'P', 'G', '54mm', ?), ('E', '', '', '', '', "
         "null)",
         {Jpeg(20, 10)});
    TQuery figures;
    UseFiguresList(figures);
    figures.Open();
    figures.Last();

    FolderKeeper keeper;
    ASSERT_TRUE(QDir().mkpath(folder_.filePath("work")));
    QDir::setCurrent(folder_.filePath("work"));
    QStringList opened;
    ShellOpen::ScopedHook shell([&opened](const QString& path) { opened << path; });
    QStringList proposed;
    bool keepMap = true;
    DialogRunner::ScopedHook runner([&](QDialog& dialog) {
        auto& html = static_cast<TFhtml_record&>(dialog);
        proposed = QStringList{html.windowTitle(),
                               html.Edit_html_path->text(),
                               html.Edit_html_filename->text(),
                               html.Edit_picture_path->text(),
                               html.Edit_picture_filename->text(),
                               html.Edit_genre_map->text()};
        EXPECT_EQ(html.CB_genre_map->isChecked(), keepMap) << "the last choice is kept";
        html.CB_genre_map->setChecked(false);
        keepMap = false;
        return int(QDialog::Accepted);
    });
    TFhtml_record dialog;
    dialog.ExportFigure(figures);
    EXPECT_EQ(proposed.join('|'), "HTML export|../reports/|knight--1450--mounted-.html|"
                                  "../reports/images/|knight--1450--mounted-.jpg|west-europe.jpg");
    EXPECT_EQ(opened, QStringList{"../reports/knight--1450--mounted-.html"});
    EXPECT_EQ(ReadFile(folder_.filePath("reports/images/knight--1450--mounted-.jpg")),
              Jpeg(20, 10));
    EXPECT_NE(ReadFile(folder_.filePath("reports/knight--1450--mounted-.html"))
                  .indexOf("<B IID=\"_PRODUCER_NAME\">Kestrell"),
              -1);

    figures.First();
    dialog.ExportFigure(figures);
    EXPECT_EQ(proposed.mid(2).join('|'), "figure.html|../reports/images/|figure.jpg|genre.jpg");
    EXPECT_EQ(opened.size(), 2);
    EXPECT_EQ(QImage(folder_.filePath("reports/images/figure.jpg")).size(), QSize(350, 350))
        << "a figure without a picture shows the placeholder";
}

TEST_F(HtmlDialogTest, AsksBeforeReplacingAnotherFile) {
    Exec("insert into figures (figure_id, figure_name, scale) values ('F', 'Knight', '54mm')");
    TQuery figures;
    UseFiguresList(figures);
    figures.Open();
    FolderKeeper keeper;
    ASSERT_TRUE(QDir().mkpath(folder_.filePath("work")));
    ASSERT_TRUE(QDir().mkpath(folder_.filePath("reports")));
    QDir::setCurrent(folder_.filePath("work"));
    const QString page = folder_.filePath("reports/knight.html");
    QFile other(page);
    ASSERT_TRUE(other.open(QIODevice::WriteOnly) && other.write("another page") > 0);
    other.close();
    QStringList opened;
    ShellOpen::ScopedHook shell([&opened](const QString& path) { opened << path; });
    TFhtml_record dialog;
    auto ok = [&dialog](QDialog&) { QTest::mouseClick(dialog.btn_ok, Qt::LeftButton); };
    ModalScript script;
    script.Then(ok).Then(ModalScript::No).Then([&dialog](QDialog&) {
        EXPECT_EQ(dialog.btn_ok->text() + "/" + dialog.btn_cancel->text(), "Ok/Cancel");
        QTest::mouseClick(dialog.btn_cancel, Qt::LeftButton);
    });
    dialog.ExportFigure(figures);
    EXPECT_TRUE(script.Done());
    EXPECT_EQ(script.Shown.value(1),
              "Confirmation: The file \"../reports/knight.html\" already exists. Replace it?");
    EXPECT_EQ(ReadFile(page), "another page");
    EXPECT_FALSE(QFile::exists(folder_.filePath("reports/images/knight.jpg")));
    EXPECT_TRUE(opened.isEmpty());

    script.Then(ok).Then(ModalScript::Yes);
    dialog.ExportFigure(figures);
    EXPECT_NE(ReadFile(page).indexOf("<TITLE>Knight"), -1);
    // Writing the same files again replaces nothing: no question.
    script.Then(ok);
    dialog.ExportFigure(figures);
    EXPECT_TRUE(script.Done());
    EXPECT_EQ(script.Shown.size(), 6);
    EXPECT_EQ(opened.size(), 2);
}

} // namespace
