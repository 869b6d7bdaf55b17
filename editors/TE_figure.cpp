#include "TE_figure.h"

#include "AutoThumbnail.h"
#include "CommandGuard.h"
#include "DBactions.h"
#include "EDatabaseError.h"
#include "Msg.h"
#include "PictureDrop.h"
#include "PictureFields.h"
#include "TChangeWriter.h"
#include "TDBComboBox.h"
#include "TDBEdit.h"
#include "TDBImage.h"
#include "TDBLookupComboBox.h"
#include "TDBMemo.h"
#include "TD_scale_image.h"
#include "TDataSource.h"
#include "TDatabase.h"
#include "TF_picture_mgm.h"
#include "TField.h"
#include "TFigureCollection.h"
#include "TO_collection.h"
#include "TO_filelist.h"
#include "TO_pictures.h"
#include "TSqlStatement.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include <exception>
#include <optional>
#include <vector>

namespace {

constexpr int ThumbnailSize = 148;

const QString FigureKey = QStringLiteral("figure_id");
// The list's joined column of the figure's collection status.
const QString StatusColumn = QStringLiteral("collection_status");

// The caught exception's message, for a line of a report.
QString Reason(const std::exception& error) {
    return QString::fromUtf8(error.what());
}

} // namespace

QStringList TE_figure::FigureTypes() {
    return {"cavalry", "infantry", "mini diorama", "other type"};
}

QStringList TE_figure::Scales() {
    return {"15-mm", "20-mm", "54-mm", "70-mm", "90-mm", "120-mm", "other scale"};
}

TE_figure::TE_figure(QWidget* parent)
    : TP_Edit(parent), pictureUpdate_{{},
                                      {"update figures", "set", "  picture = :picture", "where",
                                       "  figure_id = :OLD_figure_id"},
                                      {}} {
    setWindowTitle(QStringLiteral("Figure"));
    SetClientSize(ClientWidth, ClientHeight);

    QFproducers.SQL = {"select producer_id, producer_name ", "from producers",
                       "order by producer_name"};
    QFgenres.SQL = {"select genre_id, genre_name ", "from genres", "order by genre_name"};
    // The key comes along so the picture can be written back under it.
    Qpicture.SQL = {"select figure_id, picture from figures ", "where figure_id=:_id"};
    Qpicture.UpdateObject = &pictureUpdate_;

    PageControl1 = new QTabWidget(this);
    PageControl1->setGeometry(4, 4, ClientWidth - 8, ClientHeight - ButtonStripHeight - 4);

    Tab_sheetGeneral = new QWidget;
    PageControl1->addTab(Tab_sheetGeneral, QStringLiteral("Main"));
    BuildMainPage();

    TabSheet_pictures = new QWidget;
    PageControl1->addTab(TabSheet_pictures, QStringLiteral("Additional images"));
    O_pictures1 = new TO_pictures;
    (new QVBoxLayout(TabSheet_pictures))->addWidget(O_pictures1);

    TabSheet_dsc = new QWidget;
    PageControl1->addTab(TabSheet_dsc, QStringLiteral("Description"));
    DBMemo_dsc = new TDBMemo(&DS1, QStringLiteral("figure_dsc"));
    (new QVBoxLayout(TabSheet_dsc))->addWidget(DBMemo_dsc);

    TabSheet_files = new QWidget;
    PageControl1->addTab(TabSheet_files, QStringLiteral("Related files"));
    O_filelist1 = new TO_filelist;
    (new QVBoxLayout(TabSheet_files))->addWidget(O_filelist1);

    TabSheet_collection = new QWidget;
    PageControl1->addTab(TabSheet_collection, QStringLiteral("Collection"));
    O_collection1 = new TO_collection;
    (new QVBoxLayout(TabSheet_collection))->addWidget(O_collection1);
}

TE_figure::~TE_figure() = default;

void TE_figure::BuildMainPage() {
    auto* page = new QHBoxLayout(Tab_sheetGeneral);

    auto* left = new QVBoxLayout;
    DBImage_th = new TDBImage(&DS1, QStringLiteral("picture_th"));
    DBImage_th->setFixedSize(ThumbnailSize, ThumbnailSize);
    left->addWidget(DBImage_th);
    Btn_picture = new QPushButton(QStringLiteral("Edit main image"));
    Btn_add_pictures = new QPushButton(QStringLiteral("Additional images"));
    left->addWidget(Btn_picture);
    left->addWidget(Btn_add_pictures);
    left->addStretch();
    page->addLayout(left);
    connect(Btn_picture, &QPushButton::clicked, this,
            CommandGuard::Slot([this] { Btn_pictureClick(); }));
    connect(Btn_add_pictures, &QPushButton::clicked, this,
            CommandGuard::Slot([this] { Btn_add_picturesClick(); }));
    // Queued: a message about the file comes after the drop has ended.
    connect(new PictureDrop(DBImage_th), &PictureDrop::FilesDropped, this,
            CommandGuard::Slot([this](const QStringList& files) { DropMainPicture(files); }),
            Qt::QueuedConnection);

    auto* right = new QGridLayout;
    DBEdit_name = new TDBEdit(&DS1, QStringLiteral("figure_name"));
    QFont bold = DBEdit_name->font();
    bold.setBold(true);
    DBEdit_name->setFont(bold);
    right->addWidget(DBEdit_name, 0, 0, 1, 2);

    DBL_genre = new TDBLookupComboBox(&DS1, QStringLiteral("genre_id"));
    DBL_genre->SetListSource(&QFgenres, QStringLiteral("genre_id"), QStringLiteral("genre_name"));
    DBCmB_scale = new TDBComboBox(&DS1, QStringLiteral("scale"), Scales());
    DBL_producer = new TDBLookupComboBox(&DS1, QStringLiteral("producer_id"));
    DBL_producer->SetListSource(&QFproducers, QStringLiteral("producer_id"),
                                QStringLiteral("producer_name"));
    DBCmB_type = new TDBComboBox(&DS1, QStringLiteral("type_ci"), FigureTypes());
    DBEdit_sculpter = new TDBEdit(&DS1, QStringLiteral("sculpter_name"));
    DBEdit_painter = new TDBEdit(&DS1, QStringLiteral("painter_name"));
    const std::pair<const char*, QWidget*> rows[] = {
        {"Genre:", DBL_genre},
        {"Scale:", DBCmB_scale},
        {"Manufacturer:", DBL_producer},
        {"Figure type:", DBCmB_type},
        {"Sculpter name:", DBEdit_sculpter},
        {"Painter name:", DBEdit_painter},
    };
    int row = 1;
    for (const auto& [caption, control] : rows) {
        auto* label = new QLabel(QString::fromUtf8(caption));
        label->setBuddy(control);
        right->addWidget(label, row, 0);
        right->addWidget(control, row, 1);
        ++row;
    }
    right->setRowStretch(row, 1);
    right->setColumnStretch(1, 1);
    page->addLayout(right, 1);
}

void TE_figure::showEvent(QShowEvent* event) {
    TP_Edit::showEvent(event);
    // The page tabs come first in the focus chain; typing starts in the name.
    if (PageControl1->currentWidget() == Tab_sheetGeneral)
        DBEdit_name->setFocus();
}

void TE_figure::SetPictureDialog(TF_picture_mgm* dialog) {
    pictureDialog_ = dialog;
    O_pictures1->PictureDialog = dialog;
}

TF_picture_mgm& TE_figure::PictureDialog() {
    if (!pictureDialog_) {
        auto* dialog = new TF_picture_mgm(this);
        dialog->ScaleView = new TD_scale_image(this);
        SetPictureDialog(dialog);
    }
    return *pictureDialog_;
}

void TE_figure::PrepareEdit() {
    MainPictureChanged = false;
    PageControl1->setCurrentWidget(Tab_sheetGeneral);
    TQuery& record = *DS1.DataSet();
    const QString key = record.FieldByName(FigureKey).AsString();

    QFproducers.Close();
    QFproducers.Open();
    DBL_producer->ReloadList();
    QFgenres.Close();
    QFgenres.Open();
    DBL_genre->ReloadList();

    // Only the stored bytes and their header are read here: the picture is
    // decoded when "Edit main image" asks for it.
    Qpicture.Close();
    Qpicture.SetParam(QStringLiteral("_id"), key);
    Qpicture.Open();
    try {
        ReadStoredPicture(Qpicture, FullPicture);
    } catch (const std::exception&) {
        // Bytes that are no picture stay in the table untouched until a new
        // picture replaces them; the editor starts with none.
        FullPicture.Assign(QImage());
    }

    O_filelist1->LoadFromText(record.FieldByName(QStringLiteral("figure_files")).AsString());
    O_collection1->Load(
        TFigureCollection::Read(record.DatabaseName, key).value_or(TFigureCollection::Values{}),
        TFigureCollection::Places(record.DatabaseName));

    PictureDialog();
    O_pictures1->KeyField = QStringLiteral("add_picture_id");
    O_pictures1->NameField = QStringLiteral("add_picture_name");
    O_pictures1->CloseList();
    O_pictures1->Q1.SetParam(QStringLiteral("FID"), key);
    O_pictures1->OpenList();
}

void TE_figure::Btn_pictureClick() {
    TQuery* record = DS1.DataSet();
    if (!record || !record->Active())
        return;
    QImage thumbnail = DBImage_th->Picture().copy();
    // A second run that changes nothing keeps the first run's change: the
    // thumbnail in the record and the picture to be saved stay a pair.
    if (PictureDialog().EditPicture(&FullPicture, &thumbnail)) {
        MainPictureChanged = true;
        WriteStoredThumbnail(*record, thumbnail);
    }
}

void TE_figure::DropMainPicture(const QStringList& files) {
    TQuery* record = DS1.DataSet();
    if (files.isEmpty() || !record || !record->Active())
        return;
    const std::optional<QImage> picture = PictureDrop::Load(files.constFirst());
    if (!picture)
        return;
    FullPicture.Assign(*picture);
    MainPictureChanged = true;
    WriteStoredThumbnail(*record, AutoThumbnail(*picture));
}

void TE_figure::Btn_add_picturesClick() {
    PageControl1->setCurrentWidget(TabSheet_pictures);
}

void TE_figure::BeforeSave() {
    TQuery& record = *DS1.DataSet();
    DataSetEdit(record);
    // The joined names, so the list shows the new ones at once.
    record.FieldByName(QStringLiteral("producer_name")).SetAsString(DBL_producer->currentText());
    record.FieldByName(QStringLiteral("genre_name")).SetAsString(DBL_genre->currentText());
    // An unchanged list leaves the stored text as it is, paths of files
    // out of reach now included.
    if (O_filelist1->Modified())
        record.FieldByName(QStringLiteral("figure_files")).SetAsString(O_filelist1->SaveToText());
    // The list shows the status it joins to every figure.
    if (O_collection1->Modified() && record.FieldIndex(StatusColumn) >= 0) {
        const QString status = O_collection1->Entered().status;
        record.FieldByName(StatusColumn).SetValue(status.isEmpty() ? QVariant() : QVariant(status));
    }
}

void TE_figure::accept() {
    QString reason;
    if (!SaveFigure(reason)) {
        ShowMsg(QStringLiteral("The record was not saved:\n\n") + reason);
        return;
    }
    Saved = true;
    QDialog::accept();
}

bool TE_figure::HasChanges() const {
    return TP_Edit::HasChanges() || O_filelist1->Modified() || MainPictureChanged ||
           O_pictures1->Q1.UpdatesPending() || O_collection1->Modified();
}

bool TE_figure::SaveFigure(QString& reason) {
    TQuery* dataSet = DS1.DataSet();
    if (!dataSet)
        return true;
    TQuery& record = *dataSet;
    std::vector<QVariant> entered;
    TQuery::THeldRow asRead;
    bool posted = false;
    try {
        BeforeSave();
        // What the record holds now, to be put back should the transaction
        // be undone after its post.
        entered.reserve(record.FieldCount());
        for (int field = 0; field < record.FieldCount(); ++field)
            entered.push_back(record.Value(field));

        TSqlTransaction transaction(TDatabase::Connected(record.DatabaseName).Handle(),
                                    TSqlTransaction::Lock::Immediate);
        // The row first: a figure's pictures are written to a row that is
        // there.
        if (record.State() == TDataSetState::Edit || record.State() == TDataSetState::Insert) {
            asRead = record.HeldRow();
            record.Post();
            if (record.State() != TDataSetState::Browse)
                throw EDatabaseError(TChangeWriter::AbortedMessage());
            posted = true;
        }
        SavePictures();
        SaveCollection(record);
        transaction.Commit();
    } catch (const std::exception& error) {
        // Rolled back (the transaction is gone): nothing of the figure is
        // written, and the editor holds again what the user gave it.
        reason = Reason(error);
        DataSetCancel(Qpicture);
        if (posted) {
            // The list holds the row as the table does again (a new one is
            // being inserted again), so that the next save writes it whole.
            if (record.State() == TDataSetState::Browse)
                record.PutBack(asRead);
            Reenter(record, entered);
        }
        return false;
    }
    O_pictures1->Q1.UpdatesWritten();
    return true;
}

void TE_figure::Reenter(TQuery& record, const std::vector<QVariant>& values) {
    // Every value given again, blobs included: a post writes only the blobs
    // given a value while editing.
    try {
        record.Edit();
        for (int field = 0; field < record.FieldCount(); ++field) {
            if (values[field].isValid())
                record.SetValue(field, values[field]);
        }
    } catch (const std::exception&) {
        // A record that cannot be edited again shows what the table holds.
    }
}

bool TE_figure::EditRecord(TQuery& dataSet) {
    const bool saved = TP_Edit::EditRecord(dataSet);
    if (saved)
        CloseQueries();
    return saved;
}

void TE_figure::CloseQueries() {
    QFproducers.Close();
    QFgenres.Close();
    Qpicture.Close();
    O_pictures1->CloseList();
}

void TE_figure::SavePictures() {
    if (MainPictureChanged) {
        try {
            WriteStoredPicture(Qpicture, FullPicture);
            Qpicture.Post();
            if (Qpicture.State() != TDataSetState::Browse)
                throw EDatabaseError(TChangeWriter::AbortedMessage());
        } catch (const std::exception& error) {
            throw EDatabaseError(QStringLiteral("The main image was not saved: ") + Reason(error));
        }
    }
    try {
        if (!O_pictures1->Q1.WriteUpdates())
            throw EDatabaseError(TChangeWriter::AbortedMessage());
    } catch (const std::exception& error) {
        throw EDatabaseError(QStringLiteral("The additional images were not saved: ") +
                             Reason(error));
    }
}

void TE_figure::SaveCollection(TQuery& record) {
    if (!O_collection1->Modified())
        return;
    try {
        TFigureCollection::Write(record.DatabaseName, record.FieldByName(FigureKey).AsString(),
                                 O_collection1->Entered());
    } catch (const std::exception& error) {
        throw EDatabaseError(QStringLiteral("The collection data were not saved: ") +
                             Reason(error));
    }
}
