#include "TPageDialogs.h"

#include "TD_scale_image.h"
#include "TE_figure.h"
#include "TE_genre.h"
#include "TE_producer.h"
#include "TFBackUpRestore.h"
#include "TF_big_view.h"
#include "TF_picture_mgm.h"
#include "TFabout.h"
#include "TFhtml_record.h"
#include "TFmanual.h"

namespace {

// The dialog held by pointer, made with owner when there is none yet.
template <class Dialog> Dialog& Made(Dialog*& pointer, QWidget* owner) {
    if (!pointer)
        pointer = new Dialog(owner);
    return *pointer;
}

} // namespace

TE_producer& TPageDialogs::ProducerEditor() {
    return Made(E_producer, owner_);
}

TD_scale_image& TPageDialogs::ScaleView() {
    return Made(D_scale_image, owner_);
}

TE_figure& TPageDialogs::FigureEditor() {
    Made(E_figure, owner_);
    if (!F_picture_mgm) {
        F_picture_mgm = new TF_picture_mgm(owner_);
        F_picture_mgm->ScaleView = &ScaleView();
    }
    E_figure->SetPictureDialog(F_picture_mgm);
    return *E_figure;
}

TE_genre& TPageDialogs::GenreEditor() {
    return Made(E_genre, owner_);
}

TFBackUpRestore& TPageDialogs::BackUpRestore() {
    return Made(FBackUpRestore, owner_);
}

TF_big_view& TPageDialogs::BigView() {
    if (!F_big_view) {
        F_big_view = new TF_big_view(owner_);
        F_big_view->ScaleView = &ScaleView();
    }
    return *F_big_view;
}

TFmanual& TPageDialogs::Manual() {
    return Made(Fmanual, owner_);
}

TFhtml_record& TPageDialogs::HtmlExport() {
    return Made(Fhtml_record, owner_);
}

TFabout& TPageDialogs::About() {
    return Made(Fabout, owner_);
}
