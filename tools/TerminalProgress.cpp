#include "TerminalProgress.h"

#include <unistd.h>

namespace {

volatile std::sig_atomic_t Interrupted = 0;

void OnInterrupt(int) {
    Interrupted = 1;
}

} // namespace

TerminalProgress::TerminalProgress(std::FILE* to) : to_(to), terminal_(isatty(fileno(to)) != 0) {
    Interrupted = 0;
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, &previous_);
}

TerminalProgress::~TerminalProgress() {
    Finish();
    sigaction(SIGINT, &previous_, nullptr);
}

void TerminalProgress::Update(int percent, bool& stop) {
    if (Interrupted)
        stop = true;
    if (!terminal_ || percent == shown_)
        return;
    constexpr int Width = 40;
    char bar[Width + 1];
    for (int i = 0; i < Width; ++i)
        bar[i] = i < percent * Width / 100 ? '#' : '.';
    bar[Width] = '\0';
    std::fprintf(to_, "\r[%s] %3d%%", bar, percent);
    std::fflush(to_);
    shown_ = percent;
}

void TerminalProgress::Finish() {
    if (shown_ >= 0)
        std::fputc('\n', to_);
    shown_ = -1;
}
