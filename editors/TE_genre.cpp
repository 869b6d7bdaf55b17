#include "TE_genre.h"

#include "CommandGuard.h"
#include "DBactions.h"
#include "TDBEdit.h"
#include "TD_epoch.h"
#include "TField.h"
#include "TGenreReader.h"
#include "THatchShape.h"
#include "THorzUpDown.h"
#include "TQuery.h"
#include "TTimeLinePicture.h"
#include "TWorldMap.h"

#include <QAction>
#include <QEvent>
#include <QLabel>
#include <QMenu>

#include <exception>
#include <utility>

namespace {

using Handle = TEpochLine::Handle;

QLabel* BoldLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    return label;
}

// Whether the record asks for the rounded rectangle; anything else, a
// missing column included, is the ellipse.
bool IsRoundRect(TQuery& record) {
    try {
        return record.FieldByName(QStringLiteral("location_shape")).AsString() ==
               QLatin1String("RR");
    } catch (const std::exception&) {
        return false;
    }
}

Qt::CursorShape CursorOver(TLocationMarker::Mode zone) {
    switch (zone) {
    case TLocationMarker::Mode::ResizeHeight:
        return Qt::SizeVerCursor;
    case TLocationMarker::Mode::ResizeWidth:
        return Qt::SizeHorCursor;
    default:
        return Qt::PointingHandCursor;
    }
}

} // namespace

TE_genre::TE_genre(QWidget* parent) : TP_Edit(parent) {
    setWindowTitle(QStringLiteral("Genre"));
    SetClientSize(ClientWidth, ClientHeight);

    Label1 = new QLabel(QStringLiteral("Genre name:"), this);
    Label1->setGeometry(14, 17, 80, 16);
    DBEdit_name = new TDBEdit(&DS1, QStringLiteral("genre_name"), this);
    DBEdit_name->setGeometry(96, 14, 273, 21);
    Label1->setBuddy(DBEdit_name);

    CreateMap();
    CreateTimeLine();
    PrepareEditDefaults();
}

// Stacked from the bottom up: the map, its label, the marker.
void TE_genre::CreateMap() {
    Image_map = new QLabel(this);
    Image_map->setGeometry(TLocationMarker::MapLeft, TLocationMarker::MapTop, TWorldMap::Width,
                           TWorldMap::Height);
    Image_map->setPixmap(QPixmap::fromImage(TWorldMap::Picture()));
    Image_map->setContextMenuPolicy(Qt::CustomContextMenu);
    Label_location = BoldLabel(QStringLiteral("Location:"), this);
    Label_location->move(TLocationMarker::MapLeft + 2, TLocationMarker::MapTop + 1);
    Label_location->adjustSize();

    Shape_location = new THatchShape(THatchShape::Shape::Ellipse, this);
    Shape_location->setCursor(Qt::PointingHandCursor);
    Shape_location->setMouseTracking(true);

    PopupMenu_map = new QMenu(this);
    N_ellipse = PopupMenu_map->addAction(QStringLiteral("Shape: Ellipse"));
    N_roundrect = PopupMenu_map->addAction(QStringLiteral("Shape: Round Rect"));
    N_ellipse->setCheckable(true);
    N_roundrect->setCheckable(true);

    connect(Image_map, &QWidget::customContextMenuRequested, this,
            CommandGuard::Slot(
                [this](const QPoint& at) { PopupMenu_map->popup(Image_map->mapToGlobal(at)); }));
    connect(Shape_location, &THatchShape::MouseDown, this,
            CommandGuard::Slot(
                [this](Qt::MouseButton button, int x, int y) { MarkerMouseDown(button, x, y); }));
    connect(Shape_location, &THatchShape::MouseMove, this,
            CommandGuard::Slot([this](int x, int y) { MarkerMouseMove(x, y); }));
    connect(Shape_location, &THatchShape::MouseUp, this,
            CommandGuard::Slot([this] { marker_.MouseUp(); }));
    connect(N_ellipse, &QAction::triggered, this,
            CommandGuard::Slot([this] { ChooseShape(false); }));
    connect(N_roundrect, &QAction::triggered, this,
            CommandGuard::Slot([this] { ChooseShape(true); }));
}

// Stacked from the bottom up: the picture, the bar, the two handles.
void TE_genre::CreateTimeLine() {
    Label_epoch = BoldLabel(QString(), this);
    Label_epoch->setGeometry(TEpochLine::LineLeft, TEpochLine::LineTop - 20, TEpochLine::LineWidth,
                             17);
    // A double-click lets the years be typed.
    Label_epoch->setToolTip(QStringLiteral("Double-click to type the years"));
    Label_epoch->installEventFilter(this);
    Dialog_epoch = new TD_epoch(this);
    Image_timeline = new QLabel(this);
    Image_timeline->setGeometry(TEpochLine::LineLeft, TEpochLine::LineTop, TEpochLine::LineWidth,
                                TEpochLine::LineHeight);
    Image_timeline->setPixmap(QPixmap::fromImage(TTimeLinePicture::Picture()));

    Shape_epoch = new THatchShape(THatchShape::Shape::Rectangle, this);
    Shape_epoch->setAttribute(Qt::WA_TransparentForMouseEvents);
    Shape_left = new THatchShape(THatchShape::Shape::None, this);
    Shape_right = new THatchShape(THatchShape::Shape::None, this);
    for (const auto& pair :
         {std::pair{Handle::Left, Shape_left}, std::pair{Handle::Right, Shape_right}}) {
        const Handle handle = pair.first;
        THatchShape* shape = pair.second;
        shape->setCursor(Qt::SizeHorCursor);
        connect(shape, &THatchShape::MouseDown, this,
                CommandGuard::Slot([this, handle](Qt::MouseButton button, int x, int) {
                    HandleMouseDown(handle, button, x);
                }));
        connect(shape, &THatchShape::MouseMove, this,
                CommandGuard::Slot([this, handle](int x, int) { HandleMouseMove(handle, x); }));
        connect(shape, &THatchShape::MouseUp, this,
                CommandGuard::Slot([this] { HandleMouseUp(); }));
    }

    // Below the line: the first year's control at the left end, the last
    // year's at the right end.
    const int top = TEpochLine::LineTop + TEpochLine::LineHeight + 4;
    UpDown_b = new THorzUpDown(this);
    UpDown_b->move(TEpochLine::LineLeft, top);
    UpDown_e = new THorzUpDown(this);
    UpDown_e->move(TEpochLine::LineLeft + TEpochLine::LineWidth - UpDown_e->width(), top);
    connect(UpDown_b, &THorzUpDown::Stepped, this, CommandGuard::Slot([this](int delta) {
                epoch_.StepBegin(delta);
                ShowEpoch();
            }));
    connect(UpDown_e, &THorzUpDown::Stepped, this, CommandGuard::Slot([this](int delta) {
                epoch_.StepEnd(delta);
                ShowEpoch();
            }));
}

// The state of a new window, until the first record is prepared.
void TE_genre::PrepareEditDefaults() {
    epoch_.SetYears(epoch_.YearBegin, epoch_.YearEnd);
    ShowEpoch();
    ChooseShape(false);
}

// A value the record lacks takes the default, never what the previous
// genre left.
void TE_genre::PrepareEdit() {
    const TEpochLine defaultEpoch;
    const TLocationMarker defaultMarker;
    TQuery* record = DS1.DataSet();
    const auto read = [record](const char* column, int fallback) {
        return record ? TGenreReader::IntegerOr(*record, QString::fromLatin1(column), fallback)
                      : fallback;
    };
    epoch_.SetYears(read("TB", defaultEpoch.YearBegin), read("TE", defaultEpoch.YearEnd));
    ShowEpoch();

    marker_ = defaultMarker;
    ChooseShape(record && IsRoundRect(*record));
    marker_.Left = read("RX", defaultMarker.Left);
    marker_.Top = read("RY", defaultMarker.Top);
    marker_.Width = read("RW", defaultMarker.Width);
    marker_.Height = read("RH", defaultMarker.Height);
    marker_.KeepOnMap();
    ShowMarker();

    preparedBegin_ = epoch_.YearBegin;
    preparedEnd_ = epoch_.YearEnd;
    preparedPlace_ = MarkerPlace();
    preparedRoundRect_ = marker_.RoundRect;
}

// A year the user did not move keeps what the record holds, which the time
// line may show otherwise (a first year not before the last).
void TE_genre::BeforeSave() {
    TQuery* record = DS1.DataSet();
    if (!record)
        return;
    DataSetEdit(*record);
    if (epoch_.YearBegin != preparedBegin_)
        record->FieldByName(QStringLiteral("TB")).SetAsInteger(epoch_.YearBegin);
    if (epoch_.YearEnd != preparedEnd_)
        record->FieldByName(QStringLiteral("TE")).SetAsInteger(epoch_.YearEnd);
    record->FieldByName(QStringLiteral("RX")).SetAsInteger(marker_.Left);
    record->FieldByName(QStringLiteral("RY")).SetAsInteger(marker_.Top);
    record->FieldByName(QStringLiteral("RW")).SetAsInteger(marker_.Width);
    record->FieldByName(QStringLiteral("RH")).SetAsInteger(marker_.Height);
    TField shape = record->FieldByName(QStringLiteral("location_shape"));
    if (N_roundrect->isChecked())
        shape.SetAsString(QStringLiteral("RR"));
    else
        shape.Clear();
}

bool TE_genre::HasChanges() const {
    return TP_Edit::HasChanges() || epoch_.YearBegin != preparedBegin_ ||
           epoch_.YearEnd != preparedEnd_ || MarkerPlace() != preparedPlace_ ||
           marker_.RoundRect != preparedRoundRect_;
}

QRect TE_genre::MarkerPlace() const {
    return {marker_.Left, marker_.Top, marker_.Width, marker_.Height};
}

void TE_genre::TypeYears() {
    int begin = epoch_.YearBegin;
    int end = epoch_.YearEnd;
    if (!Dialog_epoch->Execute(begin, end))
        return;
    epoch_.SetYears(begin, end);
    ShowEpoch();
}

bool TE_genre::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Label_epoch && event->type() == QEvent::MouseButtonDblClick) {
        CommandGuard::Run([this] { TypeYears(); });
        return true;
    }
    return TP_Edit::eventFilter(watched, event);
}

void TE_genre::HandleMouseDown(Handle handle, Qt::MouseButton button, int x) {
    if (button == Qt::LeftButton)
        epoch_.StartDrag(handle, x);
}

void TE_genre::HandleMouseMove(Handle handle, int x) {
    if (epoch_.Dragged() != handle)
        return;
    epoch_.DragTo(x);
    ShowEpoch();
}

void TE_genre::HandleMouseUp() {
    epoch_.EndDrag();
    ShowEpoch();
}

void TE_genre::ShowEpoch() {
    const int top = TEpochLine::BarTop;
    const int height = TEpochLine::BarHeight;
    Shape_epoch->setGeometry(epoch_.BarLeft, top, epoch_.BarWidth, height);
    Shape_left->setGeometry(epoch_.LeftX, top, TEpochLine::LeftHandleWidth, height);
    Shape_right->setGeometry(epoch_.RightX, top, TEpochLine::RightHandleWidth, height);
    Label_epoch->setText(epoch_.Text());
}

void TE_genre::MarkerMouseDown(Qt::MouseButton button, int x, int y) {
    if (button == Qt::RightButton) {
        PopupMenu_map->popup(Shape_location->mapToGlobal(QPoint(x, y)));
        return;
    }
    marker_.MouseDown(x, y);
}

void TE_genre::MarkerMouseMove(int x, int y) {
    if (marker_.Dragging() == TLocationMarker::Mode::None)
        Shape_location->setCursor(CursorOver(marker_.HoverZone(x, y)));
    else if (marker_.MouseMove(x, y))
        ShowMarker();
}

void TE_genre::ShowMarker() {
    Shape_location->setGeometry(marker_.Left, marker_.Top, marker_.Width, marker_.Height);
    Shape_location->SetShape(marker_.RoundRect ? THatchShape::Shape::RoundRect
                                               : THatchShape::Shape::Ellipse);
}

void TE_genre::ChooseShape(bool roundRect) {
    N_ellipse->setChecked(!roundRect);
    N_roundrect->setChecked(roundRect);
    marker_.RoundRect = roundRect;
    ShowMarker();
}
