// Velmora: the program entry.

#include "CommandGuard.h"
#include "InstanceChannel.h"
#include "Msg.h"
#include "SingleInstanceLock.h"
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

int main(int argc, char** argv) {
    // Another copy running: it comes to the front, and this one ends at
    // once, without a window.
    SingleInstanceLock instance;
    if (!instance.Acquire()) {
        QCoreApplication application(argc, argv);
        InstanceChannel::AskToRaise();
        return 0;
    }

    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Velmora"));
    QApplication::setApplicationVersion(QStringLiteral(VELMORA_VERSION));

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
    mainWindow.E_producer = &producerEditor;
    mainWindow.E_figure = &figureEditor;
    mainWindow.E_genre = &genreEditor;
    mainWindow.F_picture_mgm = &pictureDialog;
    mainWindow.FBackUpRestore = &backUpRestore;
    mainWindow.Fabout = &about;
    mainWindow.F_big_view = &bigView;
    mainWindow.D_scale_image = &scaleView;

    InstanceChannel channel;
    QObject::connect(&channel, &InstanceChannel::RaiseRequested, &mainWindow,
                     CommandGuard::Slot([&mainWindow] { mainWindow.BringToFront(); }));
    channel.Listen();

    mainWindow.show();
    mainWindow.activateWindow();
    return application.exec();
}
