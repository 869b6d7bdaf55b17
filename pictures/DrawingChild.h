#pragma once

#include <QImage>
#include <QSize>

#include <chrono>
#include <functional>
#include <optional>

// Draws a picture with a library that cannot be trusted with hostile files
// (it may crash, loop or take all memory) in a child process, into memory
// shared with this one, within a time limit. The child dies with this
// process, holds none of its descriptors (standard input and output go to
// /dev/null, so the library's messages go nowhere), may not write a core
// file, and has a memory limit besides the shared pixels (not in builds with
// AddressSanitizer, whose shadow memory no such limit leaves room for).
class DrawingChild {
public:
    // How the last drawing of this process ended.
    enum class End {
        Drawn,    // the drawing function returned true
        Refused,  // it returned false or threw
        Crashed,  // the child died before it answered
        TimedOut, // the child was still drawing at the time limit and was killed
    };

    // What a metafile may cost a user before it is given up.
    static constexpr std::chrono::milliseconds MetafileTimeLimit{3000};
    // Why a metafile was given up at the time limit, or before drawing it
    // when it would clearly reach the limit.
    static constexpr const char* TooLongMessage = "Metafile takes too long to draw";

    // Runs draw in the child on the pixels of a picture of the size and
    // format (rows of BytesPerLine bytes, all zero to begin with) and returns
    // the picture. draw must keep to what is safe after fork in a process
    // with threads, as far as the library allows. Throws EPictureError: "Not
    // enough memory for the picture", "Metafile is corrupt" (refused),
    // "Metafile cannot be drawn" (crashed or could not start), "Metafile
    // takes too long to draw" (timed out).
    static QImage Draw(QSize size, QImage::Format format, const std::function<bool(uchar*)>& draw,
                       std::chrono::milliseconds timeLimit = MetafileTimeLimit);

    // The length of a row of the pixels draw gets: the row's pixels in the
    // format, padded to whole 32-bit words as QImage lays rows out.
    static qsizetype BytesPerLine(QSize size, QImage::Format format);

    // How the last Draw ended, none before any or after ForgetLastEnd.
    static std::optional<End> LastEnd() { return lastEnd_; }
    static void ForgetLastEnd() { lastEnd_.reset(); }

private:
    static inline std::optional<End> lastEnd_;
};
