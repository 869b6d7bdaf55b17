// Velmora: the program entry.

#include "CatalogChoice.h"
#include "CommandGuard.h"
#include "InstanceChannel.h"
#include "Msg.h"
#include "SingleInstanceLock.h"
#include "StartOptions.h"
#include "TD_scale_image.h"
#include "TDmsg.h"
#include "TE_figure.h"
#include "TE_genre.h"
#include "TE_producer.h"
#include "TFBackUpRestore.h"
#include "TF_big_view.h"
#include "TF_picture_mgm.h"
#include "TFabout.h"
#include "TFmain.h"
#include "TFsure.h"

#include <QApplication>
#include <QCoreApplication>
#include <QIcon>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace {

// Moves into the working folder the command line chose, making the default
// one when it is missing. False, with the reason on standard error, when it
// cannot be used.
bool EnterWorkdir(const StartOptions& options) {
    if (options.createWorkdir) {
        std::error_code error;
        std::filesystem::create_directories(options.workdir, error);
        if (error) {
            std::fprintf(stderr, "velmora: cannot create %s: %s\n", options.workdir.c_str(),
                         error.message().c_str());
            return false;
        }
    }
    if (chdir(options.workdir.c_str()) != 0) {
        std::fprintf(stderr, "velmora: cannot work in %s: %s\n", options.workdir.c_str(),
                     std::strerror(errno));
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    // The command line first: --help and --version answer without a display.
    const StartOptions options =
        StartOptions::Parse(std::vector<std::string>(argv + 1, argv + argc), std::getenv("HOME"),
                            std::getenv("VELMORA_HOME"));
    switch (options.action) {
    case StartOptions::Action::Help:
        std::fputs(StartOptions::Usage, stdout);
        return 0;
    case StartOptions::Action::Version:
        std::printf("velmora %s\n", VELMORA_VERSION);
        return 0;
    case StartOptions::Action::Error:
        std::fprintf(stderr, "velmora: %s\n%s", options.error.c_str(), StartOptions::Usage);
        return 64;
    case StartOptions::Action::Run:
        break;
    }
    if (!EnterWorkdir(options))
        return 1;

    // Another copy running on the data folder (or velmora-tool working on
    // it), or this user's copy on the same server catalog: the copy comes
    // to the front, and this one ends at once, without a window.
    const std::string server =
        options.catalog.empty() ? CatalogChoice::Stored().toStdString() : options.catalog;
    SingleInstanceLock instance(server.empty() ? std::string()
                                               : SingleInstanceLock::ServerLockFolder(server));
    const QString channelName =
        server.empty() ? InstanceChannel::DefaultName() : InstanceChannel::NameForServer(server);
    if (!instance.Acquire()) {
        QCoreApplication application(argc, argv);
        InstanceChannel::AskToRaise(channelName);
        return 0;
    }

    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Velmora"));
    QApplication::setApplicationVersion(QStringLiteral(VELMORA_VERSION));
    // The installed desktop entry and icon: the window's icon when installed.
    QApplication::setDesktopFileName(QStringLiteral("velmora"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("velmora")));

    // Every window of the program, created once, the main window first.
    TFmain mainWindow;
    TFsure sure;
    TDmsg message;
    TE_producer producerEditor(&mainWindow);
    TE_figure figureEditor(&mainWindow);
    TE_genre genreEditor(&mainWindow);
    TF_picture_mgm pictureDialog(&mainWindow);
    TD_scale_image scaleView(&mainWindow);
    TFBackUpRestore backUpRestore(&mainWindow);
    TFabout about(&mainWindow);
    TF_big_view bigView(&mainWindow);
    pictureDialog.ScaleView = &scaleView;
    bigView.ScaleView = &scaleView;
    mainWindow.Dialogs.E_producer = &producerEditor;
    mainWindow.Dialogs.E_figure = &figureEditor;
    mainWindow.Dialogs.E_genre = &genreEditor;
    mainWindow.Dialogs.F_picture_mgm = &pictureDialog;
    mainWindow.Dialogs.FBackUpRestore = &backUpRestore;
    mainWindow.Dialogs.Fabout = &about;
    mainWindow.Dialogs.F_big_view = &bigView;
    mainWindow.Dialogs.D_scale_image = &scaleView;

    mainWindow.CommandLineCatalog = QString::fromStdString(options.catalog);
    InstanceChannel channel(channelName);
    QObject::connect(&channel, &InstanceChannel::RaiseRequested, &mainWindow,
                     CommandGuard::Slot([&mainWindow] { mainWindow.BringToFront(); }));
    channel.Listen();

    mainWindow.show();
    mainWindow.activateWindow();
    return application.exec();
}
