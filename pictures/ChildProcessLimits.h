#pragma once

#include <chrono>
#include <optional>

#include <sys/resource.h>
#include <sys/types.h>

// What a child process that runs a library on an untrusted file is held to:
// it dies with this process, may not write a core file, has a CPU time
// backstop a little beyond the time limit, and a memory limit (not in builds
// with AddressSanitizer, whose shadow memory no such limit leaves room for).
class ChildProcessLimits {
public:
    // Measured in this process before it forks (it reads /proc).
    explicit ChildProcessLimits(std::chrono::milliseconds timeLimit);

    // In the child, right after fork: system calls only. False when the
    // parent is already gone.
    bool ApplyInChild(pid_t parent) const;

    // Closes every descriptor from 3 on but kept (none when kept is below 3).
    static void CloseDescriptorsFrom3(int kept = -1);

private:
    std::optional<rlim_t> memory_;
    rlim_t cpuSeconds_;
};
