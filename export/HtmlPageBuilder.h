#pragma once

#include "HtmlRecord.h"
#include "TZunPigger.h"

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>

#include <string_view>

// A figure's web page: the built-in template read as a tree document,
// filled with a record, and written with the figure's picture and the genre
// map as files. No window is involved. File failures raise EFileError with a
// message naming the file; a file is written whole or not at all.
class HtmlPageBuilder {
public:
    // Pictures wider than this are shown at this width.
    static constexpr int ShownWidth = 350;

    // The template, one text a line.
    static const QStringList& PageTemplate();

    // The element or its first descendant (depth-first, in order) whose IID
    // attribute is id exactly; nullptr when none is, or for no element.
    static TZunPigger* FindByIid(TZunPigger* element, std::string_view id);
    // The first child of that name, or a new last child of that name;
    // nullptr for no element.
    static TZunPigger* FindOrAddChild(TZunPigger* element, std::string_view name);

    // The height a picture is shown at when its width is brought down to
    // ShownWidth, rounded to the nearest integer with halves to even.
    static int ShownHeight(int width, int height);
    // What is exported for a picture that cannot be read: 350 x 350, white,
    // "NO PICTURE" written at (10, 10) in the default font at size 14.
    static QImage PlaceholderPicture();

    // The file name in the folder: path and name with one "/" between them.
    static QString JoinPath(const QString& path, const QString& fileName);
    // The file as an image source of a page in pageFolder: its path relative
    // to that folder with "/", percent-encoded where a URL needs it.
    static QString SourceFrom(const QString& pageFolder, const QString& fileName);
    // Creates the file's folder (any missing level) and writes the bytes
    // through a temporary file that replaces the file only when complete.
    static void WriteFile(const QString& fileName, const QByteArray& bytes);

    // Of the files, those that exist with other bytes than the ones to be
    // written, in order.
    static QStringList Replaced(const QList<HtmlPageFile>& files);
    // Writes the files in order (WriteFile); the first failure stops.
    static void WriteFiles(const QList<HtmlPageFile>& files);

    // Reloads the template and fills it with the record. Writes nothing:
    // gives the files the page needs in the order they are to be written,
    // the genre map (when used and its bytes are given), the picture, and
    // the page last.
    QList<HtmlPageFile> Prepare(const HtmlRecord& record, const HtmlPageOptions& options);
    // Prepare, then writes the files. Returns the page's file name.
    QString Export(const HtmlRecord& record, const HtmlPageOptions& options);

    // The page tree (the HTML element) as last filled.
    TZunPigger& Page() { return page_; }
    // The page's text.
    std::string PageText() const;

private:
    void SetText(std::string_view id, const QString& text);
    void FillGenre(const HtmlRecord& record, const HtmlPageOptions& options,
                   const QString& pageFolder, QList<HtmlPageFile>& files);
    void FillPicture(const HtmlRecord& record, const HtmlPageOptions& options,
                     const QString& pageFolder, QList<HtmlPageFile>& files);

    TZunPigger page_;
};
