#include "DrawingChild.h"

#include "ChildProcessLimits.h"
#include "EPictureError.h"

#include <cerrno>
#include <cstdio>
#include <memory>
#include <optional>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Memory shared with the child process, later the picture's pixels.
struct SharedPixels {
    void* data;
    std::size_t size;
};

void Unmap(void* info) {
    const auto* pixels = static_cast<SharedPixels*>(info);
    if (pixels->data != nullptr)
        munmap(pixels->data, pixels->size);
    delete pixels;
}

// A file descriptor, closed at the end of its scope.
struct Descriptor {
    int number = -1;
    ~Descriptor() {
        if (number >= 0)
            close(number);
    }
};

// The child's side: everything here is system calls until draw.
[[noreturn]] void RunChild(pid_t parent, int output, const ChildProcessLimits& limits,
                           const std::function<bool(uchar*)>& draw, uchar* pixels) {
    if (!limits.ApplyInChild(parent))
        _exit(1);
    const int null = open("/dev/null", O_RDWR | O_CLOEXEC);
    if (null < 0)
        _exit(1);
    for (int fd = 0; fd <= 2; ++fd)
        dup2(null, fd);
    ChildProcessLimits::CloseDescriptorsFrom3(output);

    char status = 0;
    try {
        status = draw(pixels) ? 1 : 0;
    } catch (...) {
        status = 0;
    }
    [[maybe_unused]] const ssize_t written = write(output, &status, 1);
    _exit(0);
}

// Waits up to the time limit for the child's one-byte answer, kills the
// child if it has not answered, reaps it, and says how it ended.
DrawingChild::End AwaitChild(pid_t child, int input, std::chrono::milliseconds timeLimit) {
    const auto deadline = std::chrono::steady_clock::now() + timeLimit;
    std::optional<char> answer;
    bool timedOut = true;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            break;
        pollfd waiting{input, POLLIN, 0};
        const int ready = poll(&waiting, 1, static_cast<int>(left.count()));
        if (ready < 0 && errno == EINTR)
            continue;
        timedOut = ready == 0;
        char status = 0;
        if (ready > 0 && read(input, &status, 1) == 1)
            answer = status;
        break;
    }
    if (!answer)
        kill(child, SIGKILL);
    while (waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
    }
    if (answer)
        return *answer == 1 ? DrawingChild::End::Drawn : DrawingChild::End::Refused;
    return timedOut ? DrawingChild::End::TimedOut : DrawingChild::End::Crashed;
}

} // namespace

qsizetype DrawingChild::BytesPerLine(QSize size, QImage::Format format) {
    const qsizetype bits = qsizetype{size.width()} * QImage::toPixelFormat(format).bitsPerPixel();
    return (bits + 31) / 32 * 4;
}

QImage DrawingChild::Draw(QSize size, QImage::Format format,
                          const std::function<bool(uchar*)>& draw,
                          std::chrono::milliseconds timeLimit) {
    lastEnd_ = End::Crashed;
    const qsizetype stride = BytesPerLine(size, format);
    const std::size_t bytes =
        static_cast<std::size_t>(stride) * static_cast<std::size_t>(size.height());
    std::unique_ptr<SharedPixels, void (*)(void*)> mapping(new SharedPixels{nullptr, bytes}, Unmap);
    void* data = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    if (data == MAP_FAILED)
        throw EPictureError("Not enough memory for the picture");
    mapping->data = data;

    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0)
        throw EPictureError("Metafile cannot be drawn");
    const Descriptor input{ends[0]};
    Descriptor output{ends[1]};
    const ChildProcessLimits limits(timeLimit);
    const pid_t parent = getpid();
    const pid_t child = fork();
    if (child == 0)
        RunChild(parent, output.number, limits, draw, static_cast<uchar*>(data));
    // This end closes here, so that the child's death ends the wait.
    close(output.number);
    output.number = -1;
    if (child < 0)
        throw EPictureError("Metafile cannot be drawn");
    lastEnd_ = AwaitChild(child, input.number, timeLimit);
    switch (*lastEnd_) {
    case End::Drawn:
        break;
    case End::Refused:
        throw EPictureError("Metafile is corrupt");
    case End::Crashed:
        throw EPictureError("Metafile cannot be drawn");
    case End::TimedOut:
        throw EPictureError(TooLongMessage);
    }

    QImage image(static_cast<uchar*>(data), size.width(), size.height(), stride, format, Unmap,
                 mapping.get());
    if (image.isNull())
        throw EPictureError("Not enough memory for the picture");
    // The image unmaps the pixels when it goes.
    mapping.release();
    return image;
}
