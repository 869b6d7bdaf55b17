#include "EmfConverter.h"

#include "ChildProcessLimits.h"
#include "DrawingChild.h"
#include "EPictureError.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <chrono>
#include <optional>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr const char* ProgramName = "velmora-emf2svg";
// The converter's exit statuses that refuse the records.
constexpr int Refused = 1;
constexpr int CorruptRecord = 2;
// More SVG than any metafile the program takes should give.
constexpr qsizetype MostSvgBytes = qsizetype{512} << 20;
constexpr int ExecFailed = 127;

struct Descriptor {
    int number = -1;
    ~Descriptor() { Close(); }
    void Close() {
        if (number >= 0)
            close(number);
        number = -1;
    }
};

// The child's side: system calls only until exec.
[[noreturn]] void RunConverter(pid_t parent, const ChildProcessLimits& limits, int input,
                               int output, char* const argv[]) {
    if (!limits.ApplyInChild(parent))
        _exit(ExecFailed);
    const int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (null < 0 || dup2(input, STDIN_FILENO) < 0 || dup2(output, STDOUT_FILENO) < 0 ||
        dup2(null, STDERR_FILENO) < 0)
        _exit(ExecFailed);
    ChildProcessLimits::CloseDescriptorsFrom3();
    execv(argv[0], argv);
    _exit(ExecFailed);
}

// How the exchange with the converter ended.
enum class End { Exited, Crashed, TimedOut, TooMuch };

// Writes the records to the converter and reads its output until it closes
// it or the deadline passes.
End Exchange(int input, int output, const QByteArray& records, QByteArray& svg,
             std::chrono::steady_clock::time_point deadline) {
    Descriptor writing{input};
    qsizetype written = 0;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return End::TimedOut;
        if (writing.number >= 0 && written == records.size())
            writing.Close();
        pollfd waiting[2] = {{output, POLLIN, 0}, {writing.number, POLLOUT, 0}};
        const int ready =
            poll(waiting, writing.number >= 0 ? 2 : 1, static_cast<int>(left.count()));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready < 0)
            return End::Crashed;
        if (writing.number >= 0 && waiting[1].revents != 0) {
            const ssize_t put = send(writing.number, records.constData() + written,
                                     static_cast<std::size_t>(records.size() - written),
                                     MSG_NOSIGNAL | MSG_DONTWAIT);
            if (put > 0)
                written += put;
            else if (put < 0 && errno != EAGAIN && errno != EINTR)
                writing.Close(); // the converter stopped reading
        }
        if (waiting[0].revents != 0) {
            char buffer[65536];
            const ssize_t got = read(output, buffer, sizeof buffer);
            if (got == 0)
                return End::Exited;
            if (got < 0 && errno != EINTR && errno != EAGAIN)
                return End::Crashed;
            if (got > 0)
                svg.append(buffer, got);
            if (svg.size() > MostSvgBytes)
                return End::TooMuch;
        }
    }
}

// Reaps the child by the deadline, killing it if it is still running;
// its exit status, or nothing when it did not exit by itself.
std::optional<int> Reap(pid_t child, std::chrono::steady_clock::time_point deadline) {
    int status = 0;
    for (;;) {
        const pid_t reaped = waitpid(child, &status, WNOHANG);
        if (reaped == child)
            break;
        if ((reaped < 0 && errno != EINTR) || std::chrono::steady_clock::now() >= deadline) {
            kill(child, SIGKILL);
            while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
            }
            return std::nullopt;
        }
        poll(nullptr, 0, 2);
    }
    if (!WIFEXITED(status))
        return std::nullopt;
    return WEXITSTATUS(status);
}

// The folder of the running program's binary, with or without an
// application object (velmora-tool's picture command has none).
QString ProgramFolder() {
    if (QCoreApplication::instance() != nullptr)
        return QCoreApplication::applicationDirPath();
    return QFileInfo(QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget()).absolutePath();
}

} // namespace

QString EmfConverter::Path() {
    if (qEnvironmentVariableIsSet(PathVariable))
        return qEnvironmentVariable(PathVariable);
    const QDir folder(ProgramFolder());
    for (const QString& candidate :
         {folder.filePath(ProgramName),
          folder.filePath(QStringLiteral("../" VELMORA_LIBEXEC_DIR "/") + ProgramName)}) {
        const QFileInfo file(candidate);
        if (file.isFile() && file.isExecutable())
            return file.absoluteFilePath();
    }
    return {};
}

QByteArray EmfConverter::ToSvg(const QByteArray& records, QSize size,
                               std::chrono::milliseconds timeLimit) {
    const auto deadline = std::chrono::steady_clock::now() + timeLimit;
    const QString path = Path();
    if (path.isEmpty())
        throw EPictureError("Metafile cannot be drawn");
    QByteArray program = QFile::encodeName(path);
    QByteArray width = QByteArray::number(size.width());
    QByteArray height = QByteArray::number(size.height());
    char* const argv[] = {program.data(), width.data(), height.data(), nullptr};

    // A socket for the records, so that writing to a converter that has
    // stopped reading fails instead of raising SIGPIPE.
    int inputEnds[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, inputEnds) != 0)
        throw EPictureError("Metafile cannot be drawn");
    Descriptor input{inputEnds[0]};
    Descriptor childInput{inputEnds[1]};
    int outputEnds[2];
    if (pipe2(outputEnds, O_CLOEXEC) != 0)
        throw EPictureError("Metafile cannot be drawn");
    const Descriptor output{outputEnds[0]};
    Descriptor childOutput{outputEnds[1]};

    const ChildProcessLimits limits(timeLimit);
    const pid_t parent = getpid();
    const pid_t child = fork();
    if (child == 0)
        RunConverter(parent, limits, childInput.number, childOutput.number, argv);
    // The child's ends close here, so that its end ends the exchange.
    childInput.Close();
    childOutput.Close();
    if (child < 0)
        throw EPictureError("Metafile cannot be drawn");

    QByteArray svg;
    const int writing = input.number;
    input.number = -1;
    const End end = Exchange(writing, output.number, records, svg, deadline);
    const std::optional<int> status =
        Reap(child, end == End::Exited ? deadline : std::chrono::steady_clock::time_point::min());
    const bool late = !status && std::chrono::steady_clock::now() >= deadline;
    if (end == End::TimedOut || (end == End::Exited && late))
        throw EPictureError(DrawingChild::TooLongMessage);
    if (status == Refused)
        throw EPictureError("Metafile is corrupt");
    if (status == CorruptRecord)
        throw EPictureError("Metafile record is corrupt");
    if (end != End::Exited || status != 0)
        throw EPictureError("Metafile cannot be drawn");
    return svg;
}
