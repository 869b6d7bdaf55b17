// The child process libraries draw metafiles in: what it may hold and use,
// and how each way it can end reaches the caller.

#include "DrawingChild.h"
#include "EPictureError.h"

#include <QElapsedTimer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstring>
#include <string>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace std::chrono_literals;

namespace {

constexpr QSize Size(4, 2);

std::string Thrown(const std::function<bool(uchar*)>& draw,
                   std::chrono::milliseconds limit = 500ms) {
    try {
        DrawingChild::Draw(Size, QImage::Format_ARGB32, draw, limit);
    } catch (const EPictureError& error) {
        return error.what();
    }
    return "";
}

std::string DescriptorTarget(int fd) {
    char target[256] = {};
    const std::string link = "/proc/self/fd/" + std::to_string(fd);
    const ssize_t length = readlink(link.c_str(), target, sizeof target - 1);
    return length > 0 ? std::string(target, static_cast<std::size_t>(length)) : std::string();
}

} // namespace

TEST(DrawingChildTest, DrawsIntoThePictureItReturns) {
    const QImage picture = DrawingChild::Draw(Size, QImage::Format_ARGB32, [](uchar* pixels) {
        std::memset(pixels, 0xFF, 4 * 4 * 2);
        return true;
    });
    ASSERT_EQ(Size, picture.size());
    EXPECT_EQ(0xFFFFFFFFu, picture.pixel(3, 1));
    EXPECT_EQ(DrawingChild::End::Drawn, DrawingChild::LastEnd());
}

TEST(DrawingChildTest, RefusalCrashAndTimeOutThrowWhatHappened) {
    EXPECT_EQ("Metafile is corrupt", Thrown([](uchar*) { return false; }));
    EXPECT_EQ(DrawingChild::End::Refused, DrawingChild::LastEnd());
    EXPECT_EQ("Metafile is corrupt", Thrown([](uchar*) -> bool { throw EPictureError("no"); }));

    EXPECT_EQ("Metafile cannot be drawn", Thrown([](uchar*) -> bool {
                  std::raise(SIGSEGV);
                  return true;
              }));
    EXPECT_EQ(DrawingChild::End::Crashed, DrawingChild::LastEnd());

    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ("Metafile takes too long to draw", Thrown([](uchar*) {
                  for (;;)
                      pause();
                  return true;
              }));
    EXPECT_EQ(DrawingChild::End::TimedOut, DrawingChild::LastEnd());
    EXPECT_LT(timer.elapsed(), 3000);
}

TEST(DrawingChildTest, ChildHoldsNoDescriptorNoCoreAndDiesWithItsParent) {
    // A lock like the program's single-instance lock: the child must not
    // keep its descriptor, or the lock outlives the program.
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const std::string path = folder.filePath("instance.lock").toStdString();
    const int lock = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    ASSERT_GE(lock, 0);
    ASSERT_EQ(0, flock(lock, LOCK_EX | LOCK_NB));

    const QImage picture = DrawingChild::Draw(Size, QImage::Format_ARGB32, [lock](uchar* pixels) {
        rlimit core{};
        getrlimit(RLIMIT_CORE, &core);
        int signal = 0;
        prctl(PR_GET_PDEATHSIG, &signal);
        pixels[0] = fcntl(lock, F_GETFD) == -1 ? 1 : 0;
        pixels[1] = core.rlim_cur == 0 && core.rlim_max == 0 ? 1 : 0;
        pixels[2] = signal == SIGKILL ? 1 : 0;
        pixels[3] = DescriptorTarget(2) == "/dev/null" && DescriptorTarget(1) == "/dev/null";
        return true;
    });
    close(lock);
    const uchar* result = picture.constBits();
    EXPECT_EQ(1, result[0]) << "the lock's descriptor is closed in the child";
    EXPECT_EQ(1, result[1]) << "no core file";
    EXPECT_EQ(1, result[2]) << "killed when the parent dies";
    EXPECT_EQ(1, result[3]) << "the library's messages go to /dev/null";
}

TEST(DrawingChildTest, ChildIsKilledWhenTheProgramDies) {
    // A stand-in program draws with a child that never ends, and is killed;
    // the child is handed to this process, which must see it die. The child
    // tells its process id through shared memory: it holds no pipe but its
    // own.
    auto* shared = static_cast<pid_t*>(
        mmap(nullptr, sizeof(pid_t), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0));
    ASSERT_NE(MAP_FAILED, static_cast<void*>(shared));
    *shared = 0;
    ASSERT_EQ(0, prctl(PR_SET_CHILD_SUBREAPER, 1));
    const pid_t program = fork();
    ASSERT_GE(program, 0);
    if (program == 0) {
        try {
            DrawingChild::Draw(
                Size, QImage::Format_ARGB32,
                [shared](uchar*) {
                    __atomic_store_n(shared, getpid(), __ATOMIC_SEQ_CST);
                    for (;;)
                        pause();
                    return true;
                },
                60s);
        } catch (...) {
        }
        _exit(0);
    }
    QElapsedTimer timer;
    timer.start();
    pid_t child = 0;
    while ((child = __atomic_load_n(shared, __ATOMIC_SEQ_CST)) == 0 && timer.elapsed() < 5000)
        usleep(10000);
    kill(program, SIGKILL);
    ASSERT_EQ(program, waitpid(program, nullptr, 0));
    munmap(shared, sizeof(pid_t));
    ASSERT_GT(child, 0);

    timer.restart();
    int status = 0;
    pid_t ended = 0;
    while ((ended = waitpid(child, &status, WNOHANG)) == 0 && timer.elapsed() < 5000)
        usleep(10000);
    prctl(PR_SET_CHILD_SUBREAPER, 0);
    if (ended == 0)
        kill(child, SIGKILL);
    ASSERT_EQ(child, ended) << "the drawing child outlived the program";
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
}
