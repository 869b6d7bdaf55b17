#pragma once

class QWidget;
class TD_scale_image;
class TE_figure;
class TE_genre;
class TE_producer;
class TF_big_view;
class TF_picture_mgm;
class TFBackUpRestore;
class TFabout;
class TFhtml_record;
class TFmanual;

// The program's editors and dialogs that the pages and the toolbar open;
// each is made on first use, owned by the main window, when the program
// did not hand it over.
class TPageDialogs {
public:
    explicit TPageDialogs(QWidget* owner) : owner_(owner) {}

    TE_producer& ProducerEditor();
    // The figure's editor with its picture dialog.
    TE_figure& FigureEditor();
    TE_genre& GenreEditor();
    TD_scale_image& ScaleView();
    TFBackUpRestore& BackUpRestore();
    TF_big_view& BigView();
    TFmanual& Manual();
    TFhtml_record& HtmlExport();
    TFabout& About();

    TE_producer* E_producer = nullptr;
    TE_figure* E_figure = nullptr;
    TE_genre* E_genre = nullptr;
    TF_picture_mgm* F_picture_mgm = nullptr;
    TFBackUpRestore* FBackUpRestore = nullptr;
    TFabout* Fabout = nullptr;
    TF_big_view* F_big_view = nullptr;
    TD_scale_image* D_scale_image = nullptr;
    TFmanual* Fmanual = nullptr;
    TFhtml_record* Fhtml_record = nullptr;

private:
    QWidget* owner_;
};
