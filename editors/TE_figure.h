#pragma once

#include "TJpegPicture.h"
#include "TP_Edit.h"
#include "TQuery.h"
#include "TUpdateSQL.h"

#include <QStringList>
#include <QVariant>

#include <vector>

class QLabel;
class QPushButton;
class QTabWidget;
class TDBComboBox;
class TDBEdit;
class TDBImage;
class TDBLookupComboBox;
class TDBMemo;
class TF_picture_mgm;
class TO_collection;
class TO_filelist;
class TO_pictures;

// The figure editor: the figure's columns on the page "Main" with its
// thumbnail, the additional pictures, the description, the related files
// and the figure's collection data. The full-size picture is read and written through a query of
// its own; it is decoded only when "Edit main image" needs it, and written only when that changed
// it. The additional pictures stay in their list's cache until the figure is saved.
//
// "Ok" writes the figure's row, its picture, its thumbnail, its additional
// pictures and its collection data in one transaction: all of them or none.
// A figure without collection data gets its row only when the user changed
// something on the page "Collection". When any of
// them cannot be written the editor says why and stays open with
// everything the user did, to be saved again or cancelled.
class TE_figure : public TP_Edit {
    Q_OBJECT

public:
    static constexpr int ClientWidth = 541;
    static constexpr int ClientHeight = 425;

    // The figure types and scales offered; the figure filter offers them too.
    static QStringList FigureTypes();
    static QStringList Scales();

    explicit TE_figure(QWidget* parent = nullptr);
    ~TE_figure() override;

    // The image dialog "Edit main image" and the additional pictures open;
    // made by the editor when the owner sets none.
    void SetPictureDialog(TF_picture_mgm* dialog);
    TF_picture_mgm& PictureDialog();

    QTabWidget* PageControl1 = nullptr;
    QWidget* Tab_sheetGeneral = nullptr;
    QWidget* TabSheet_pictures = nullptr;
    QWidget* TabSheet_dsc = nullptr;
    QWidget* TabSheet_files = nullptr;
    QWidget* TabSheet_collection = nullptr;

    TDBImage* DBImage_th = nullptr;
    QPushButton* Btn_picture = nullptr;
    QPushButton* Btn_add_pictures = nullptr;
    TDBEdit* DBEdit_name = nullptr;
    TDBLookupComboBox* DBL_genre = nullptr;
    TDBComboBox* DBCmB_scale = nullptr;
    TDBLookupComboBox* DBL_producer = nullptr;
    TDBComboBox* DBCmB_type = nullptr;
    TDBEdit* DBEdit_sculpter = nullptr;
    TDBEdit* DBEdit_painter = nullptr;
    TDBMemo* DBMemo_dsc = nullptr;
    TO_pictures* O_pictures1 = nullptr;
    TO_filelist* O_filelist1 = nullptr;
    TO_collection* O_collection1 = nullptr;

    TQuery QFproducers;
    TQuery QFgenres;
    TQuery Qpicture;
    TJpegPicture FullPicture;
    bool MainPictureChanged = false;

    // Every run starts on "Main", with the cursor in the name.
    void PrepareEdit() override;
    // Puts what is not a bound column into the record: the joined names
    // and status, and the related files when their list was changed.
    void BeforeSave() override;
    // The base's run; after a saved run the editor's own queries close.
    bool EditRecord(TQuery& dataSet) override;
    // "Ok": the whole figure saved, or the reason shown and the editor
    // left open.
    void accept() override;
    // The record, the related files, the main picture, the additional
    // pictures or the collection data changed in this run.
    bool HasChanges() const override;

    // "Edit main image" and "Additional images".
    void Btn_pictureClick();
    void Btn_add_picturesClick();
    // Picture files dropped on the thumbnail: the first becomes the main
    // picture with its automatic thumbnail, in the record being edited, as
    // if loaded through "Edit main image". A file that cannot be read is
    // said so and changes nothing.
    void DropMainPicture(const QStringList& files);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void BuildMainPage();
    // BeforeSave, then the record, the full picture and the additional
    // pictures in one transaction; false, with the reason, when it was
    // rolled back.
    bool SaveFigure(QString& reason);
    // Writes the full picture when it changed and the additional pictures,
    // keeping the latter pending until the transaction commits; raises
    // when either is not written.
    void SavePictures();
    // Writes the collection data when they changed; raises when they are
    // not written.
    void SaveCollection(TQuery& record);
    // After a rolled-back transaction: the record being edited again with
    // the values it was posted with.
    static void Reenter(TQuery& record, const std::vector<QVariant>& values);
    // Closes the lookups, the full picture and the additional pictures.
    void CloseQueries();

    TUpdateSQL pictureUpdate_;
    TF_picture_mgm* pictureDialog_ = nullptr;
};
