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

TE_producer& TPageDialogs::ProducerEditor() {
    if (!E_producer)
        E_producer = new TE_producer(owner_);
    return *E_producer;
}

TD_scale_image& TPageDialogs::ScaleView() {
    if (!D_scale_image)
        D_scale_image = new TD_scale_image(owner_);
    return *D_scale_image;
}

TE_figure& TPageDialogs::FigureEditor() {
    if (!E_figure)
        E_figure = new TE_figure(owner_);
    if (!F_picture_mgm) {
        F_picture_mgm = new TF_picture_mgm(owner_);
        F_picture_mgm->ScaleView = &ScaleView();
    }
    E_figure->SetPictureDialog(F_picture_mgm);
    return *E_figure;
}

TE_genre& TPageDialogs::GenreEditor() {
    if (!E_genre)
        E_genre = new TE_genre(owner_);
    return *E_genre;
}

TFBackUpRestore& TPageDialogs::BackUpRestore() {
    if (!FBackUpRestore)
        FBackUpRestore = new TFBackUpRestore(owner_);
    return *FBackUpRestore;
}

TF_big_view& TPageDialogs::BigView() {
    if (!F_big_view) {
        F_big_view = new TF_big_view(owner_);
        F_big_view->ScaleView = &ScaleView();
    }
    return *F_big_view;
}

TFmanual& TPageDialogs::Manual() {
    if (!Fmanual)
        Fmanual = new TFmanual(owner_);
    return *Fmanual;
}

TFhtml_record& TPageDialogs::HtmlExport() {
    if (!Fhtml_record)
        Fhtml_record = new TFhtml_record(owner_);
    return *Fhtml_record;
}

TFabout& TPageDialogs::About() {
    if (!Fabout)
        Fabout = new TFabout(owner_);
    return *Fabout;
}
