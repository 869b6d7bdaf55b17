#include "ShellOpen.h"

#include "Msg.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

#include <array>
#include <utility>

namespace {

// The shell's failure codes and what the user is told about each.
constexpr std::array<std::pair<int, const char*>, 13> FailureTexts{{
    {0, "The operating system is out of memory or resources."},
    {2, "The specified file was not found."},
    {3, "The specified path was not found."},
    {5, "The operating system denied access to the specified file."},
    {8, "There was not enough memory to complete the operation."},
    {11, "The .EXE file is invalid (non-Win32 .EXE or error in .EXE image)."},
    {26, "A sharing violation occurred."},
    {27, "The filename association is incomplete or invalid."},
    {28, "The DDE transaction could not be completed because the request timed out."},
    {29, "The DDE transaction failed."},
    {30, "The DDE transaction could not be completed because other DDE transactions were being "
         "processed."},
    {31, "There is no application associated with the given filename extension."},
    {32, "The specified dynamic-link library was not found."},
}};

// How long the window waits for the opener's answer. Some openers run the
// program they chose until it ends: after this the file counts as opened.
constexpr int OpenerWaitMs = 2000;

// xdg-open's exit status: 0 handed over, 2 the file is missing, 3 no tool
// to open it with, 4 the tool failed (mostly: no program for the file).
constexpr int OpenerFileMissing = 2;

// Hands an existing file to the desktop's opener and waits a moment for its
// answer. An opener that cannot be started leaves it to the toolkit.
int RunOpener(const QString& file) {
    auto* opener = new QProcess;
    opener->setProgram(QStringLiteral("xdg-open"));
    opener->setArguments({file});
    opener->setProcessChannelMode(QProcess::ForwardedChannels);
    QObject::connect(opener, &QProcess::finished, opener, &QObject::deleteLater);
    opener->start();
    if (!opener->waitForStarted()) {
        delete opener;
        return QDesktopServices::openUrl(QUrl::fromLocalFile(file)) ? ShellOpen::Opened
                                                                    : ShellOpen::NoAssociation;
    }
    // Still running: it deletes itself when it ends.
    if (!opener->waitForFinished(OpenerWaitMs))
        return ShellOpen::Opened;
    if (opener->exitStatus() == QProcess::NormalExit && opener->exitCode() == 0)
        return ShellOpen::Opened;
    return opener->exitStatus() == QProcess::NormalExit && opener->exitCode() == OpenerFileMissing
               ? ShellOpen::FileNotFound
               : ShellOpen::NoAssociation;
}

QUrl UrlOf(const QString& target) {
    // A text with a scheme is an address even if a file of that name exists.
    if (!target.contains(QStringLiteral("://"))) {
        const QFileInfo file(target);
        if (file.exists())
            return QUrl::fromLocalFile(file.absoluteFilePath());
    }
    return QUrl::fromUserInput(target);
}

} // namespace

ShellOpen::Hook& ShellOpen::CurrentHook() {
    static Hook hook;
    return hook;
}

bool ShellOpen::Open(const QString& target) {
    if (target.trimmed().isEmpty())
        return false;
    // A copy, so that a hook may replace itself while it runs.
    const Hook hook = CurrentHook();
    if (hook) {
        hook(target);
        return true;
    }
    const QUrl url = UrlOf(target);
    return url.isValid() && QDesktopServices::openUrl(url);
}

int ShellOpen::OpenFile(const QString& path) {
    if (path.isEmpty())
        return FileNotFound;
    const QFileInfo file(path);
    if (!file.absoluteDir().exists())
        return PathNotFound;
    if (!file.exists())
        return FileNotFound;
    if (!file.isReadable())
        return AccessDenied;
    const Hook hook = CurrentHook();
    if (hook) {
        hook(path);
        return Opened;
    }
    return RunOpener(file.absoluteFilePath());
}

int ShellOpen::OpenFileOrTell(const QString& path) {
    const int result = OpenFile(path);
    if (result <= LastError)
        ShowMsg(FailureText(result));
    return result;
}

QString ShellOpen::FailureText(int result) {
    for (const auto& [known, text] : FailureTexts)
        if (known == result)
            return QString::fromLatin1(text);
    return {};
}

void ShellOpen::SetHook(Hook hook) {
    CurrentHook() = std::move(hook);
}

ShellOpen::ScopedHook::ScopedHook(Hook hook) : previous_(std::move(CurrentHook())) {
    CurrentHook() = std::move(hook);
}

ShellOpen::ScopedHook::~ScopedHook() {
    CurrentHook() = std::move(previous_);
}
