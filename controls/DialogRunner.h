#pragma once

#include <QString>

#include <functional>

class QDialog;

// Runs every modal dialog of the program. Tests set a hook to answer or
// record dialogs instead of waiting for a person; without a hook the dialog
// runs its own modal loop.
class DialogRunner {
public:
    // Receives the dialog instead of its modal run and returns its result.
    // A hook that wants the real run calls dialog.exec() itself.
    using Hook = std::function<int(QDialog&)>;
    // Receives the text of a standard message box instead of the box.
    using MessageHook = std::function<void(const QString&)>;

    // Shows the dialog modally (or hands it to the hook) and returns its
    // result code.
    static int Exec(QDialog& dialog);
    // An empty hook restores the real modal run.
    static void SetHook(Hook hook);

    // The toolkit's standard message box: a warning with one OK button,
    // titled with the application's display name. Runs through Exec.
    static void ShowStandardMessage(const QString& text);
    // An empty hook restores the message box.
    static void SetStandardMessageHook(MessageHook hook);

    // Sets a hook for its own lifetime and puts the previous one back.
    class ScopedHook {
    public:
        explicit ScopedHook(Hook hook);
        ~ScopedHook();
        ScopedHook(const ScopedHook&) = delete;
        ScopedHook& operator=(const ScopedHook&) = delete;

    private:
        Hook previous_;
    };

    // The same for the standard message hook.
    class ScopedMessageHook {
    public:
        explicit ScopedMessageHook(MessageHook hook);
        ~ScopedMessageHook();
        ScopedMessageHook(const ScopedMessageHook&) = delete;
        ScopedMessageHook& operator=(const ScopedMessageHook&) = delete;

    private:
        MessageHook previous_;
    };

private:
    static Hook& CurrentHook();
    static MessageHook& CurrentMessageHook();
};
