#pragma once

#include <QByteArray>
#include <QImage>

#include <cstddef>
#include <cstdint>

namespace picturefuzz {

// Gives the fuzzer's bytes to a picture reader. The reader may refuse them
// with EPictureError; it must never crash or read outside its input, and a
// picture it returns must have pixels and stay within MaxPicturePixels.
// Anything else aborts with a message.
int ReadAndCheck(const std::uint8_t* data, std::size_t size,
                 QImage (*read)(const QByteArray& bytes));

// ReadAndCheck for a reader that draws in a child process (DrawingChild):
// the child crashing, or still drawing at the time limit, is a fault of the
// library or of the checks before it, and aborts as well.
int ReadDrawingAndCheck(const std::uint8_t* data, std::size_t size,
                        QImage (*read)(const QByteArray& bytes));

// Reports a wrong picture (what is wrong, and its size) and aborts.
[[noreturn]] void Fail(const char* what, const QImage& picture);

} // namespace picturefuzz
