#pragma once

#include <concepts>
#include <functional>
#include <utility>

// Runs a command of the user interface (a button, menu or timer handler) so
// that no exception leaves it for the event loop: an escaping exception is
// shown in the standard message box instead.
class CommandGuard {
public:
    // True when the command completed; false after showing the message of
    // the exception that ended it (std::exception's what() as UTF-8,
    // "Unknown error" for anything else).
    static bool Run(const std::function<void()>& command);

    // A handler for connect() that runs f inside Run. The signal's
    // arguments are passed on when f takes them, so f may take fewer.
    template <class F> static auto Slot(F f) { return Guarded<F>{std::move(f)}; }

private:
    template <class F> struct Guarded {
        F f;

        template <class... A>
        requires std::invocable<const F&, A...>
        void operator()(A&&... args) const {
            Run([&] { std::invoke(f, std::forward<A>(args)...); });
        }
    };
};
