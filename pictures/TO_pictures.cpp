#include "TO_pictures.h"

#include "AutoThumbnail.h"
#include "CommandGuard.h"
#include "DBactions.h"
#include "Msg.h"
#include "PictureDrop.h"
#include "PictureFields.h"
#include "TF_picture_mgm.h"
#include "TField.h"
#include "TJpegPicture.h"
#include "TRecordGrid.h"

#include <QPainter>
#include <QPushButton>
#include <QResizeEvent>
#include <QScrollBar>

#include <optional>

namespace {

const QString ThumbnailElement = QStringLiteral("thumbnail");
constexpr int ButtonHeight = 25;
constexpr int Gap = 6;

} // namespace

TO_pictures::TO_pictures(QWidget* parent) : TO_ci(parent) {
    Q1.SQL = QStringList{"select ",
                         "add_picture_id,",
                         "add_picture_name,",
                         "figure_id,",
                         "picture_th,",
                         "picture",
                         "",
                         "from ",
                         "add_pictures",
                         "",
                         "where figure_id = :FID"};
    UpdateSQL1.ModifySQL = QStringList{"update add_pictures",
                                       "set",
                                       "  add_picture_id = :add_picture_id,",
                                       "  add_picture_name = :add_picture_name,",
                                       "  figure_id = :figure_id,",
                                       "  picture_th = :picture_th,",
                                       "  picture = :picture",
                                       "where",
                                       "  add_picture_id = :OLD_add_picture_id"};
    UpdateSQL1.InsertSQL = QStringList{
        "insert into add_pictures",
        "  (add_picture_id, add_picture_name, figure_id, picture_th, picture)", "values",
        "  (:add_picture_id, :add_picture_name, :figure_id, :picture_th, :picture)"};
    UpdateSQL1.DeleteSQL =
        QStringList{"delete from add_pictures", "where", "  add_picture_id = :OLD_add_picture_id"};

    Q1.AfterInsert = [this](TQuery&) { Q1AfterInsert(); };

    CGrid1->SetColCount(2);
    CGrid1->SelectedColor = QColor(0, 128, 255);

    btn_new = new QPushButton(QStringLiteral("New "), this);
    btn_edit = new QPushButton(QStringLiteral("Edit"), this);
    btn_delete = new QPushButton(QStringLiteral("Delete"), this);
    connect(btn_new, &QPushButton::clicked, this, CommandGuard::Slot([this] { btn_newClick(); }));
    connect(btn_edit, &QPushButton::clicked, this, CommandGuard::Slot([this] { btn_editClick(); }));
    connect(btn_delete, &QPushButton::clicked, this,
            CommandGuard::Slot([this] { btn_deleteClick(); }));
    connect(this, &TO_ci::PanelDoubleClicked, this, CommandGuard::Slot([this] {
                if (btn_edit->isEnabled())
                    btn_editClick();
            }));
    // Queued: a message about a file comes after the drop has ended.
    connect(new PictureDrop(CGrid1->viewport()), &PictureDrop::FilesDropped, this,
            CommandGuard::Slot([this](const QStringList& files) { AddPictureFiles(files); }),
            Qt::QueuedConnection);
    UpdateButtons();

    resize(2 * PanelWidth + CGrid1->verticalScrollBar()->sizeHint().width() + Gap +
               ButtonColumnWidth,
           2 * PanelHeight);
}

int TO_pictures::RowHeight() const {
    return 125;
}

void TO_pictures::OpenList() {
    TO_ci::OpenList();
    UpdateButtons();
}

void TO_pictures::UpdateButtons() {
    const bool any = Q1.Active() && !Q1.IsEmpty();
    btn_edit->setEnabled(any);
    btn_delete->setEnabled(any);
}

void TO_pictures::Q1AfterInsert() {
    Q1.FieldByName(QStringLiteral("figure_id")).SetValue(Q1.Param(QStringLiteral("FID")));
}

void TO_pictures::Q1AfterPost() {}

void TO_pictures::Q1AfterDelete() {}

void TO_pictures::btn_newClick() {
    AppendRecord();
    UpdateButtons();
    // A picture loaded from a file goes by the file's name.
    if (EditCurrent() && !PictureDialog->PictureFileName().isEmpty())
        SetName(PictureDrop::PictureName(PictureDialog->PictureFileName()));
}

void TO_pictures::btn_editClick() {
    EditCurrent();
}

bool TO_pictures::EditCurrent() {
    if (!Q1.Active() || Q1.IsEmpty() || PictureDialog == nullptr)
        return false;
    QImage thumbnail = ReadStoredThumbnail(Q1);
    // Corrupt picture bytes end the command here, with the error shown.
    TJpegPicture picture;
    ReadStoredPicture(Q1, picture);
    if (!PictureDialog->EditPicture(&picture, &thumbnail))
        return false;
    WriteStoredThumbnail(Q1, thumbnail);
    WriteStoredPicture(Q1, picture);
    CGrid1->viewport()->update();
    return true;
}

void TO_pictures::SetName(const QString& name) {
    DataSetEdit(Q1);
    TField field = Q1.FieldByName(NameField);
    // No longer than the column, as the name box keeps it.
    field.SetAsString(field.Size() > 0 ? name.left(field.Size()) : name);
}

void TO_pictures::AddPictureFiles(const QStringList& files) {
    if (!Q1.Active())
        return;
    for (const QString& file : files) {
        const std::optional<QImage> loaded = PictureDrop::Load(file);
        if (!loaded)
            continue;
        TJpegPicture picture;
        picture.Assign(*loaded);
        AppendRecord();
        SetName(PictureDrop::PictureName(file));
        WriteStoredThumbnail(Q1, AutoThumbnail(*loaded));
        WriteStoredPicture(Q1, picture);
        DataSetPost(Q1);
    }
    UpdateButtons();
    CGrid1->viewport()->update();
}

void TO_pictures::btn_deleteClick() {
    if (KeyValue().isEmpty())
        return;
    if (!Ask(QStringLiteral("Delete current?")))
        return;
    DeleteCurrent();
    UpdateButtons();
}

// --- the panels -------------------------------------------------------------------

void TO_pictures::CGrid1PaintPanel(QPainter&, const QRect&, int) {}

void TO_pictures::PaintPanelContent(QPainter& painter, const QRect& panel, int row) {
    const QImage picture = Thumbnail(row);
    if (picture.isNull())
        return;
    // At its own size in the middle of the panel; a larger one is shrunk to
    // fit, keeping its proportions.
    QSize size = picture.size();
    if (size.width() > panel.width() || size.height() > panel.height())
        size.scale(panel.size(), Qt::KeepAspectRatio);
    QRect target(QPoint(0, 0), size);
    target.moveCenter(panel.center());
    painter.drawImage(target, picture);
}

QString TO_pictures::PanelElementAt(int, const QRect& panel, const QPoint& pos) const {
    return panel.contains(pos) ? ThumbnailElement : QString();
}

Qt::CursorShape TO_pictures::PanelElementCursor(const QString& element) const {
    return element == ThumbnailElement ? Qt::PointingHandCursor : Qt::ArrowCursor;
}

void TO_pictures::resizeEvent(QResizeEvent* event) {
    TO_ci::resizeEvent(event);
    const QRect area = contentsRect();
    const int buttonsLeft = area.right() + 1 - ButtonColumnWidth;
    CGrid1->setGeometry(area.left(), area.top(), std::max(0, buttonsLeft - Gap - area.left()),
                        area.height());
    FrameResize();
    int top = area.top();
    for (QPushButton* button : {btn_new, btn_edit, btn_delete}) {
        button->setGeometry(buttonsLeft, top, ButtonColumnWidth, ButtonHeight);
        top += ButtonHeight + Gap;
    }
}
