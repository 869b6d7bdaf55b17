// velmora-emf2svg WIDTH HEIGHT: reads the records of an enhanced metafile
// on standard input and writes them as SVG of WIDTH × HEIGHT units on
// standard output (see EmfToSvg.h for the records it takes). Exits with 0,
// or with 1 or 2 and nothing written when it refuses them (3: wrong
// arguments or input, 4: the output could not be written).
// SPDX-License-Identifier: GPL-2.0-only (see EmfToSvg.h)

#include "EmfToSvg.h"

#include <cerrno>
#include <cstdlib>
#include <string>

#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int BadUse = 3;
constexpr int NotWritten = 4;

bool ReadSize(const char* text, int& value) {
    char* end = nullptr;
    errno = 0;
    const long read = std::strtol(text, &end, 10);
    if (errno != 0 || end == text || *end != '\0' || read < 1 || read > (1L << 30))
        return false;
    value = static_cast<int>(read);
    return true;
}

bool ReadAll(int fd, std::string& bytes) {
    char buffer[65536];
    for (;;) {
        const ssize_t got = read(fd, buffer, sizeof buffer);
        if (got == 0)
            return true;
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return false;
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
}

bool WriteAll(int fd, const std::string& bytes) {
    std::size_t at = 0;
    while (at < bytes.size()) {
        const ssize_t put = write(fd, bytes.data() + at, bytes.size() - at);
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            return false;
        at += static_cast<std::size_t>(put);
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    int width = 0;
    int height = 0;
    if (argc != 3 || !ReadSize(argv[1], width) || !ReadSize(argv[2], height))
        return BadUse;
    std::string emf;
    if (!ReadAll(STDIN_FILENO, emf))
        return BadUse;
    // The libraries' messages go to standard error, never into the SVG.
    const int output = dup(STDOUT_FILENO);
    if (output < 0 || dup2(STDERR_FILENO, STDOUT_FILENO) < 0)
        return NotWritten;
    std::string svg;
    const emfconvert::Result result = emfconvert::ToSvg(std::move(emf), width, height, svg);
    if (result != emfconvert::Converted)
        _exit(result);
    // Ends at once: nothing is buffered, and whatever the library left
    // allocated goes with the process without a leak report changing the
    // exit status.
    _exit(WriteAll(output, svg) && close(output) == 0 ? 0 : NotWritten);
}
