#include "HtmlPageBuilder.h"

#include "EFileError.h"
#include "EPictureError.h"
#include "HtmlPageWriter.h"
#include "JpegEncoder.h"
#include "TJpegPicture.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QGuiApplication>
#include <QPainter>
#include <QUrl>

#include <atomic>
#include <cstdio>

namespace {

constexpr int PlaceholderSide = 350;

std::string Utf8(const QString& text) {
    return text.toStdString();
}

// The template's spacer cell is written "&nbsp;&nbsp" as HTML source; the
// page writer escapes texts, so the spaces are held as the characters.
void DecodeSpaces(TZunPigger& element) {
    static const std::string Nbsp = "\xC2\xA0";
    for (const char* entity : {"&nbsp;", "&nbsp"}) {
        const std::string_view name(entity);
        for (std::size_t at = element.Text.find(name); at != std::string::npos;
             at = element.Text.find(name, at + Nbsp.size()))
            element.Text.replace(at, name.size(), Nbsp);
    }
    for (int i = 0; i < element.ChildCount(); ++i)
        DecodeSpaces(*element.Child(i));
}

} // namespace

const QStringList& HtmlPageBuilder::PageTemplate() {
    static const QStringList lines = {
        QStringLiteral("<html>"),
        QStringLiteral("<head>"),
        QStringLiteral("<meta http-equiv=\"Content-Type\" content=\"text/html\"/>"),
        QStringLiteral("<title>Figure Name</title>"),
        QStringLiteral("</head>"),
        QStringLiteral("<body>"),
        QStringLiteral("<h1 align=\"center\">Figure name</h1>"),
        QStringLiteral("<div align=\"center\">"),
        QStringLiteral("<table iid=\"_MAIN_TABLE\">"),
        QStringLiteral("<tr>"),
        QStringLiteral("\t<td valign=\"top\">"),
        QStringLiteral("\t<img src=\"figure.jpg\" iid=\"_PIC\"></img>"),
        QStringLiteral("\t</td>"),
        QString(),
        QStringLiteral("                <td>&nbsp;&nbsp</td>"),
        QString(),
        QStringLiteral("\t<td valign=\"top\">"),
        QString(),
        QStringLiteral("\t<h2 iid=\"_GENRE_NAME\">Genre:West Europe, 15 century.</h2>"),
        QStringLiteral("               <div iid=\"_GENRE_Y\">1400-1500<br></br></div>"),
        QStringLiteral("\t<img src=\"worldmap.jpeg\" border=\"1\" iid=\"_GENRE_MAP\"></img>"),
        QString(),
        QStringLiteral("\t<table>"),
        QStringLiteral("\t<tr><td>Scale:</td><td><b iid=\"_SCALE\">54mm</b></td></tr>"),
        QStringLiteral(
            "\t<tr><td>Producer:</td><td><b iid=\"_PRODUCER_NAME\">KESTRELL</b></td></tr>"),
        QStringLiteral("\t</table>"),
        QString(),
        QStringLiteral("\t<h2 iid=\"_DSC_HEADER\">Description:</h2>"),
        QStringLiteral("\t<div iid=\"_DSC\">Falcon hunting was a popular entertiment of medieval "
                       "noblemans.</div>"),
        QStringLiteral("\t</td>"),
        QStringLiteral("</tr>"),
        QStringLiteral("</table>"),
        QStringLiteral("</div>"),
        QStringLiteral("</body>"),
        QStringLiteral("</html>"),
    };
    return lines;
}

TZunPigger* HtmlPageBuilder::FindByIid(TZunPigger* element, std::string_view id) {
    if (!element)
        return nullptr;
    if (element->GetAttribute("IID") == id)
        return element;
    for (int i = 0; i < element->ChildCount(); ++i) {
        if (TZunPigger* found = FindByIid(element->Child(i), id))
            return found;
    }
    return nullptr;
}

TZunPigger* HtmlPageBuilder::FindOrAddChild(TZunPigger* element, std::string_view name) {
    if (!element)
        return nullptr;
    if (TZunPigger* child = element->FindChild(name))
        return child;
    TZunPigger* child = element->Create(element);
    child->SetName(name);
    return child;
}

int HtmlPageBuilder::ShownHeight(int width, int height) {
    // height / (width / ShownWidth), in integers so that halves are exact.
    const long long numerator = static_cast<long long>(height) * ShownWidth;
    long long quotient = numerator / width;
    const long long twice = 2 * (numerator % width);
    if (twice > width || (twice == width && quotient % 2 != 0))
        ++quotient;
    return static_cast<int>(quotient);
}

QImage HtmlPageBuilder::PlaceholderPicture() {
    QImage picture(PlaceholderSide, PlaceholderSide, QImage::Format_RGB888);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    QFont font = QGuiApplication::font();
    font.setPointSize(14);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(QRect(10, 10, PlaceholderSide - 10, PlaceholderSide - 10),
                     Qt::AlignLeft | Qt::AlignTop, QStringLiteral("NO PICTURE"));
    return picture;
}

QString HtmlPageBuilder::JoinPath(const QString& path, const QString& fileName) {
    if (path.isEmpty() || path.endsWith(QLatin1Char('/')))
        return path + fileName;
    return path + QLatin1Char('/') + fileName;
}

QString HtmlPageBuilder::SourceFrom(const QString& pageFolder, const QString& fileName) {
    const QDir folder(
        QFileInfo(pageFolder.isEmpty() ? QStringLiteral(".") : pageFolder).absoluteFilePath());
    const QString relative = folder.relativeFilePath(QFileInfo(fileName).absoluteFilePath());
    return QString::fromLatin1(QUrl::toPercentEncoding(relative, "/"));
}

void HtmlPageBuilder::WriteFile(const QString& fileName, const QByteArray& bytes) {
    const std::string name = QDir::toNativeSeparators(fileName).toStdString();
    const QString folder = QFileInfo(fileName).absolutePath();
    if (!QDir().mkpath(folder))
        throw EFileError::CannotCreate(name);
    // A new file is written in place and removed again when writing fails;
    // an existing one is written beside and renamed over, so it is there
    // whole, old or new. An export can be made again, so there is no disk
    // sync per file, which would cost more than the writing when a catalog
    // of thousands of figures is published.
    static std::atomic<unsigned> serial{0};
    QFile file(fileName);
    const bool replacing = !file.open(QIODevice::WriteOnly | QIODevice::NewOnly);
    if (replacing) {
        file.setFileName(QStringLiteral("%1/.velmora-%2-%3.part")
                             .arg(folder)
                             .arg(QCoreApplication::applicationPid())
                             .arg(serial++));
        if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            throw EFileError::CannotCreate(name);
    }
    const bool written = file.write(bytes) == bytes.size() && file.flush();
    file.close();
    if (!written) {
        file.remove();
        throw EFileError("Cannot write file " + name);
    }
    if (replacing && std::rename(QFile::encodeName(file.fileName()).constData(),
                                 QFile::encodeName(fileName).constData()) != 0) {
        file.remove();
        throw EFileError::CannotCreate(name);
    }
}

void HtmlPageBuilder::SetText(std::string_view id, const QString& text) {
    if (TZunPigger* element = FindByIid(&page_, id))
        element->Text = Utf8(text);
}

QStringList HtmlPageBuilder::Replaced(const QList<HtmlPageFile>& files) {
    QStringList replaced;
    for (const HtmlPageFile& file : files) {
        const QFileInfo info(file.fileName);
        if (!info.isFile())
            continue;
        QFile existing(file.fileName);
        if (info.size() != file.bytes.size() || !existing.open(QIODevice::ReadOnly) ||
            existing.readAll() != file.bytes)
            replaced << file.fileName;
    }
    return replaced;
}

void HtmlPageBuilder::WriteFiles(const QList<HtmlPageFile>& files) {
    for (const HtmlPageFile& file : files)
        WriteFile(file.fileName, file.bytes);
}

QList<HtmlPageFile> HtmlPageBuilder::Prepare(const HtmlRecord& record,
                                             const HtmlPageOptions& options) {
    page_.LoadFromString(PageTemplate().join(QStringLiteral("\r\n")).toStdString() + "\r\n");
    DecodeSpaces(page_);
    TZunPigger* root = &page_;
    // The texts are UTF-8.
    FindOrAddChild(FindOrAddChild(root, "HEAD"), "META")
        ->SetAttribute("CONTENT", "text/html; charset=utf-8");

    FindOrAddChild(FindOrAddChild(root, "HEAD"), "TITLE")->Text = Utf8(record.figureName);
    FindOrAddChild(FindOrAddChild(root, "BODY"), "H1")->Text = Utf8(record.figureName);
    SetText("_SCALE", record.scale);
    SetText("_PRODUCER_NAME", record.producerName);
    const bool described = !record.description.isEmpty();
    SetText("_DSC_HEADER", described ? QStringLiteral("Description:") : QString());
    SetText("_DSC", record.description);
    // The description's line breaks show as such, and a long word is broken
    // rather than widening the page.
    if (TZunPigger* description = FindByIid(root, "_DSC"))
        description->SetAttribute("STYLE", "white-space: pre-line; overflow-wrap: anywhere");

    // Image sources lead from where the page really goes, which the page's
    // file name may move into a folder of its own.
    const QString pageFile = JoinPath(options.pagePath, options.pageFile);
    const QString pageFolder = QFileInfo(pageFile).path();
    QList<HtmlPageFile> files;
    FillGenre(record, options, pageFolder, files);
    FillPicture(record, options, pageFolder, files);
    if (TZunPigger* table = FindByIid(root, "_MAIN_TABLE"))
        table->SetAttribute("WIDTH", "80%");
    files.append({pageFile, QByteArray::fromStdString(PageText())});
    return files;
}

void HtmlPageBuilder::FillGenre(const HtmlRecord& record, const HtmlPageOptions& options,
                                const QString& pageFolder, QList<HtmlPageFile>& files) {
    SetText("_GENRE_NAME", record.genreName);
    SetText("_GENRE_Y", record.genreYears);
    TZunPigger* map = FindByIid(&page_, "_GENRE_MAP");
    if (!options.useMap) {
        delete map;
        return;
    }
    const QString mapFile = JoinPath(options.picturePath, options.mapFile);
    if (map)
        map->SetAttribute("SRC", Utf8(SourceFrom(pageFolder, mapFile)));
    if (options.mapBytes)
        files.append({mapFile, options.mapBytes()});
}

void HtmlPageBuilder::FillPicture(const HtmlRecord& record, const HtmlPageOptions& options,
                                  const QString& pageFolder, QList<HtmlPageFile>& files) {
    QByteArray bytes;
    int width = 0;
    int height = 0;
    // A figure without a picture shows the placeholder, as one whose
    // picture cannot be read does: an empty picture file shows as broken.
    bool stored = record.picture.has_value() && !record.picture->isEmpty();
    if (stored) {
        try {
            TJpegPicture picture;
            picture.LoadFromBytes(*record.picture);
            bytes = *record.picture;
            width = picture.Width();
            height = picture.Height();
        } catch (const EPictureError&) {
            stored = false;
        }
    }
    if (!stored) {
        bytes = PictureToJpegBytes(PlaceholderPicture());
        width = PlaceholderSide;
        height = PlaceholderSide;
    }
    const QString pictureFile = JoinPath(options.picturePath, options.pictureFile);
    files.append({pictureFile, bytes});
    TZunPigger* image = FindByIid(&page_, "_PIC");
    if (!image)
        return;
    image->SetAttribute("SRC", Utf8(SourceFrom(pageFolder, pictureFile)));
    if (width > ShownWidth) {
        image->SetAttribute("HEIGHT", std::to_string(ShownHeight(width, height)));
        image->SetAttribute("WIDTH", std::to_string(ShownWidth));
    }
}

std::string HtmlPageBuilder::PageText() const {
    return HtmlPageWriter::PageText(page_);
}

QString HtmlPageBuilder::Export(const HtmlRecord& record, const HtmlPageOptions& options) {
    const QList<HtmlPageFile> files = Prepare(record, options);
    WriteFiles(files);
    return files.last().fileName;
}
