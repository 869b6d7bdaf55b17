#include "ChildProcessLimits.h"

#include <cstdio>

#include <signal.h>
#include <sys/prctl.h>
#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__)
#define VELMORA_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VELMORA_ADDRESS_SANITIZER 1
#endif
#endif

namespace {

// The memory limit of the child: the data and stack this process has now,
// plus the budget; none where it cannot be had or must not be set.
std::optional<rlim_t> ChildMemoryLimit() {
#ifdef VELMORA_ADDRESS_SANITIZER
    return std::nullopt;
#else
    // What the child may allocate beyond what this process had when it
    // forked (memory shared with this process is not counted).
    constexpr rlim_t ChildMemoryBudget = rlim_t{2} << 30;
    std::FILE* statm = std::fopen("/proc/self/statm", "r");
    if (statm == nullptr)
        return std::nullopt;
    unsigned long fields[6] = {};
    const int read = std::fscanf(statm, "%lu %lu %lu %lu %lu %lu", &fields[0], &fields[1],
                                 &fields[2], &fields[3], &fields[4], &fields[5]);
    std::fclose(statm);
    const long page = sysconf(_SC_PAGESIZE);
    if (read != 6 || page <= 0)
        return std::nullopt;
    return rlim_t{fields[5]} * static_cast<rlim_t>(page) + ChildMemoryBudget;
#endif
}

void CloseRange(unsigned first, unsigned last) {
    if (close_range(first, last, 0) == 0)
        return;
    const long most = sysconf(_SC_OPEN_MAX);
    const unsigned end = most > 0 ? static_cast<unsigned>(most) : 65536U;
    for (unsigned fd = first; fd <= last && fd < end; ++fd)
        close(static_cast<int>(fd));
}

} // namespace

ChildProcessLimits::ChildProcessLimits(std::chrono::milliseconds timeLimit)
    : memory_(ChildMemoryLimit()), cpuSeconds_(static_cast<rlim_t>(timeLimit.count() / 1000 + 2)) {}

bool ChildProcessLimits::ApplyInChild(pid_t parent) const {
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != parent)
        return false;
    const rlimit noCore{0, 0};
    setrlimit(RLIMIT_CORE, &noCore);
    // A backstop should the parent fail to kill the child in time.
    const rlimit cpu{cpuSeconds_, cpuSeconds_};
    setrlimit(RLIMIT_CPU, &cpu);
    if (memory_) {
        const rlimit data{*memory_, *memory_};
        setrlimit(RLIMIT_DATA, &data);
    }
    return true;
}

void ChildProcessLimits::CloseDescriptorsFrom3(int kept) {
    if (kept < 3) {
        CloseRange(3, ~0U);
        return;
    }
    if (kept > 3)
        CloseRange(3, static_cast<unsigned>(kept) - 1);
    CloseRange(static_cast<unsigned>(kept) + 1, ~0U);
}
