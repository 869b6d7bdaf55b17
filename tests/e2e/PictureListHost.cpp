// A plain window around the additional pictures of one figure, as the
// figure's editor holds them: for driving the list and the image dialog
// by hand or from the end-to-end script.
//
//   velmora_picture_list_host DATAFOLDER FIGURE_ID
//
// Closing the window stores the list's changes, as saving the figure does.

#include "CommandGuard.h"
#include "TD_scale_image.h"
#include "TDatabase.h"
#include "TF_picture_mgm.h"
#include "TO_pictures.h"

#include <QApplication>
#include <QCloseEvent>
#include <QVBoxLayout>

#include <cstdio>

namespace {

class HostWindow : public QWidget {
public:
    explicit HostWindow(TO_pictures& list) : list_(list) {}

protected:
    void closeEvent(QCloseEvent* event) override {
        CommandGuard::Run([this] {
            list_.Q1.ApplyUpdates();
            list_.CloseList();
        });
        event->accept();
    }

private:
    TO_pictures& list_;
};

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s DATAFOLDER FIGURE_ID\n", argv[0]);
        return 64;
    }
    TDatabase database(QStringLiteral("ADB"));
    database.DriverName = QStringLiteral("STANDARD");
    database.Params = {QStringLiteral("PATH=") + QString::fromLocal8Bit(argv[1])};

    TF_picture_mgm pictureDialog;
    TD_scale_image scaleView;
    pictureDialog.ScaleView = &scaleView;
    TO_pictures* list = new TO_pictures;
    list->PictureDialog = &pictureDialog;
    HostWindow window(*list);
    window.setWindowTitle(QStringLiteral("Additional pictures"));
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(list);
    window.resize(520, 320);

    const bool opened = CommandGuard::Run([&] {
        list->KeyField = QStringLiteral("add_picture_id");
        list->NameField = QStringLiteral("add_picture_name");
        list->Q1.SetParam(QStringLiteral("FID"), QString::fromLocal8Bit(argv[2]));
        list->OpenList();
    });
    if (!opened)
        return 1;
    window.show();
    return application.exec();
}
