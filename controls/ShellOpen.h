#pragma once

#include <QString>

#include <functional>

// Hands a web address or a file to the desktop, which opens it with the
// user's browser or the program associated with the file. Tests set a hook
// that receives the text instead, so nothing is opened.
class ShellOpen {
public:
    using Hook = std::function<void(const QString&)>;

    // Results of OpenFile, as the system shell numbers them: above
    // LastError means the file was handed over.
    static constexpr int FileNotFound = 2;
    static constexpr int PathNotFound = 3;
    static constexpr int AccessDenied = 5;
    static constexpr int NoAssociation = 31;
    static constexpr int LastError = 32;
    static constexpr int Opened = 42;

    // Opens a web address, or a file when the text names one; false when
    // the desktop refused it. An existing file (also by a relative path)
    // opens as that file; any other text as the address it reads as.
    static bool Open(const QString& target);

    // Opens a file, with the result codes above: a missing file or folder,
    // an unreadable file and a file no program takes are told apart. The
    // desktop's opener is waited for a moment, so that its refusal is seen;
    // one still busy after that counts as opened and is left to finish.
    static int OpenFile(const QString& path);
    // OpenFile, telling the user in the message dialog when it fails.
    static int OpenFileOrTell(const QString& path);
    // What the user is told about a failed OpenFile; empty for a result the
    // shell gives no text for.
    static QString FailureText(int result);

    // An empty hook restores the desktop.
    static void SetHook(Hook hook);

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

private:
    static Hook& CurrentHook();
};
