#include "SchemeCommand.h"

#include "BmpWriter.h"
#include "EFileError.h"
#include "EZunPiggerError.h"
#include "SchemeDocument.h"
#include "SchemePainter.h"
#include "TZunPigger.h"
#include "ToolApplication.h"
#include "ToolFiles.h"

#include <QByteArray>
#include <QFile>
#include <QFont>
#include <QGuiApplication>
#include <QImage>

#include <memory>

namespace {

constexpr int BadArguments = 64;

// The export's bitmap: WIDTH x HEIGHT, white, in the default font, nothing
// selected. Null when the scheme has no drawable size.
QImage ExportBitmap(SchemeDocument& scheme) {
    scheme.SetVersion();
    return SchemePainter::Bitmap(scheme.Root, {}, scheme.Width(), scheme.Height(),
                                 QGuiApplication::font());
}

} // namespace

int SchemeCommand::Run(const std::vector<std::string>& args, std::FILE* out, std::FILE* err) {
    std::string fileName;
    std::string bitmapName;
    bool bad = false;
    for (std::size_t i = 0; i < args.size() && !bad; ++i) {
        if (args[i] == "--bmp" && i + 1 < args.size() && bitmapName.empty() &&
            !args[i + 1].empty() && args[i + 1][0] != '-')
            bitmapName = args[++i];
        else if (fileName.empty() && !args[i].empty() && args[i][0] != '-')
            fileName = args[i];
        else
            bad = true;
    }
    if (bad || fileName.empty()) {
        std::fprintf(err, "usage: velmora-tool %s\n", Usage);
        return BadArguments;
    }
    if (!bitmapName.empty() && SameFile(bitmapName, fileName)) {
        std::fprintf(err, "velmora-tool: %s is the input file; it is not written over\n",
                     bitmapName.c_str());
        return BadArguments;
    }

    SchemeDocument scheme;
    try {
        TZunPigger scratch;
        scratch.LoadFromFile(fileName);
        const std::string refusal = SchemeDocument::ImportRefusal(scratch);
        if (!refusal.empty()) {
            std::fprintf(err, "%s\n", refusal.c_str());
            return 1;
        }
        scheme.LoadText(scratch.SaveToString());
    } catch (const EZunPiggerError& e) {
        std::fprintf(err, "%s at position %d\n", e.what(), static_cast<int>(e.Position));
        return 1;
    } catch (const EFileError& e) {
        std::fprintf(err, "%s\n", e.what());
        return 2;
    }

    // The bitmap is drawn before the check, which moves objects lying at
    // negative coordinates: the export draws the scheme as it was read.
    QImage bitmap;
    std::unique_ptr<QGuiApplication> application;
    if (!bitmapName.empty()) {
        application = MakeGuiApplication();
        bitmap = ExportBitmap(scheme);
    }
    const std::string found = scheme.CheckScheme();
    std::fprintf(out, "%s\n", found.empty() ? "No errors found" : found.c_str());
    if (std::fflush(out) != 0) {
        std::fprintf(err, "Cannot write to standard output\n");
        return 2;
    }
    if (bitmapName.empty())
        return 0;
    if (bitmap.isNull()) {
        std::fprintf(err, "Cannot draw a %d x %d bitmap for %s\n", scheme.Width(), scheme.Height(),
                     bitmapName.c_str());
        return 2;
    }
    if (!WriteBytes(bitmapName, BitmapToBmpBytes(bitmap))) {
        std::fprintf(err, "Cannot write file %s\n", bitmapName.c_str());
        return 2;
    }
    return 0;
}
