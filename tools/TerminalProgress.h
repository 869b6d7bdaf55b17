#pragma once

#include <csignal>
#include <cstdio>

// The progress of a long command: a bar redrawn in place on the given
// stream when it is a terminal, nothing otherwise. While it exists, an
// interrupt (Ctrl+C) asks the operation to stop instead of ending the
// program, so the operation can clean up after itself.
class TerminalProgress {
public:
    explicit TerminalProgress(std::FILE* to);
    ~TerminalProgress();
    TerminalProgress(const TerminalProgress&) = delete;
    TerminalProgress& operator=(const TerminalProgress&) = delete;

    // The archive procedures' progress callback.
    void Update(int percent, bool& stop);
    // Ends the bar's line, if one was drawn.
    void Finish();

private:
    std::FILE* to_;
    bool terminal_;
    int shown_ = -1;
    struct sigaction previous_ {};
};
