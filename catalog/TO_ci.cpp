#include "TO_ci.h"

#include "BusyCursor.h"
#include "CommandGuard.h"
#include "DBactions.h"
#include "ReportedSql.h"
#include "EDatabaseError.h"
#include "TChangeWriter.h"
#include "TField.h"
#include "TRecordGrid.h"
#include "TSearchColumns.h"

#include <QCoreApplication>
#include <QLocale>
#include <QPainter>
#include <QResizeEvent>
#include <QScrollBar>
#include <QTime>

#include <algorithm>
#include <exception>

namespace {

// The designed size of a panel, and the designed number of rows.
constexpr int DesignedPanelWidth = 378;
constexpr int DesignedPanelHeight = 95;
constexpr int DesignedRowCount = 3;
constexpr int ScrollInterval = 10; // ms

const QColor EvenPanelColor(51, 204, 255);
const QColor OddPanelColor(207, 207, 207);

QString TextOf(const QVariant& value) {
    if (value.isNull())
        return {};
    if (value.typeId() == QMetaType::QByteArray)
        return QString::fromUtf8(value.toByteArray());
    return value.toString();
}

int FieldOf(const TQuery& query, const QString& column) {
    const int field = query.FieldIndex(column);
    if (field < 0)
        throw EDatabaseError(QStringLiteral("Field '%1' not found").arg(column));
    return field;
}

// Keeps a dataset's controls from following it while it moves.
class ControlsSuspended {
public:
    explicit ControlsSuspended(TQuery& query) : query_(query) { query_.DisableControls(); }
    ~ControlsSuspended() { query_.EnableControls(); }
    ControlsSuspended(const ControlsSuspended&) = delete;
    ControlsSuspended& operator=(const ControlsSuspended&) = delete;

private:
    TQuery& query_;
};

} // namespace

TO_ci::TO_ci(QWidget* parent) : QFrame(parent) {
    Q1.UpdateObject = &UpdateSQL1;
    Q1.CachedUpdates = true;
    // A posted or cancelled row may show another thumbnail than the one kept.
    Q1.AfterPost = [this](TQuery&) {
        ForgetCurrentThumbnail();
        Q1AfterPost();
    };
    Q1.AfterCancel = [this](TQuery&) { ForgetCurrentThumbnail(); };
    Q1.AfterDelete = [this](TQuery&) { Q1AfterDelete(); };

    CGrid1 = new TRecordGrid(*this, this);
    CGrid1->SetRowCount(DesignedRowCount);

    Timer_scroll.setInterval(ScrollInterval);
    Timer_scroll.setTimerType(Qt::PreciseTimer);
    connect(&Timer_scroll, &QTimer::timeout, this,
            CommandGuard::Slot([this] { Timer_scrollTimer(); }));

    resize(DesignedPanelWidth + CGrid1->verticalScrollBar()->sizeHint().width(),
           DesignedPanelHeight * DesignedRowCount);
}

TO_ci::~TO_ci() {
    // The grid follows Q1: it goes first.
    delete CGrid1;
    CGrid1 = nullptr;
}

// --- opening and closing ------------------------------------------------------

int TO_ci::RowHeight() const {
    return 35;
}

void TO_ci::OpenList() {
    ScrollTicks = 0;
    // Blob columns are read by key when a panel or an editor needs them,
    // and the other columns with the rows around the panels shown.
    Q1.KeyField = KeyField;
    Q1.PagedRows = true;
    Thumbnails.Clear();
    Q1.Open();
}

void TO_ci::CloseList() {
    Q1.Close();
    Thumbnails.Clear();
}

bool TO_ci::LocateKey(const QString& key) {
    if (!Q1.Active())
        return false;
    return Q1.Locate(KeyField, key);
}

bool TO_ci::Reopen() {
    const QString key = Q1.Active() ? KeyValue() : QString();
    CloseList();
    OpenList();
    // No key: the list stays on its first record (also when a row holds
    // an empty key).
    return !key.isEmpty() && LocateKey(key);
}

// --- the current record -----------------------------------------------------

QString TO_ci::KeyValue() const {
    return FieldValue(KeyField);
}

QString TO_ci::NameValue() const {
    return FieldValue(NameField);
}

QString TO_ci::FieldValue(const QString& column) const {
    return TextOf(Q1.Value(FieldOf(Q1, column)));
}

QString TO_ci::RowText(int row, const QString& column) const {
    if (!Q1.Active() || row < 0 || row >= Q1.RecordCount())
        return {};
    const int field = Q1.FieldIndex(column);
    return field < 0 ? QString() : TextOf(Q1.ValueAt(row, field));
}

QImage TO_ci::Thumbnail(int row) {
    const QString key = RowText(row, KeyField);
    // The row being edited may hold a new picture not yet written.
    const bool edited = Q1.State() != TDataSetState::Browse && row == Q1.RecNo();
    const bool keep = !key.isEmpty() && !edited;
    if (keep) {
        if (const QImage* kept = Thumbnails.Find(key))
            return *kept;
    }
    const int field = Q1.FieldIndex(QStringLiteral("picture_th"));
    const QByteArray bytes = field < 0 ? QByteArray() : Q1.ValueAt(row, field).toByteArray();
    const QImage picture = bytes.isEmpty() ? QImage() : QImage::fromData(bytes);
    if (keep)
        Thumbnails.Insert(key, picture);
    return picture;
}

void TO_ci::ForgetCurrentThumbnail() {
    if (Q1.Active() && Q1.RecNo() >= 0)
        Thumbnails.Remove(RowText(Q1.RecNo(), KeyField));
}

// --- references -----------------------------------------------------------------

bool TO_ci::IsReferenced(const QString& table, const QString& column) {
    // The key of the record the caller means, before pending events run.
    const QString key = Q1.Active() ? KeyValue() : QString();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    const BusyCursor busy;
    if (!Q1.Active())
        return true;
    // The key goes into the statement as a quoted literal.
    return QueryValue({QStringLiteral("select 'Y' as ex"), QStringLiteral("from  %1").arg(table),
                       QStringLiteral("where %1='%2' ").arg(column, SqlLiteralText(key))}) ==
           QLatin1String("Y");
}

namespace {

QStringList ReferencingDelete(const QString& table, const QString& column, const QString& key) {
    return {QStringLiteral("delete from %1 where %2='%3'").arg(table, column, SqlLiteralText(key))};
}

} // namespace

bool TO_ci::DeleteReferencing(const QString& table, const QString& column) {
    const QString key = KeyValue();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    const BusyCursor busy;
    return ExecSql(ReferencingDelete(table, column, key));
}

void TO_ci::DeleteReferencingOrFail(const QString& table, const QString& column) {
    const QString key = KeyValue();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    const BusyCursor busy;
    TQuery statement(Q1.DatabaseName);
    statement.SQL = ReferencingDelete(table, column, key);
    statement.ExecSQL();
}

// --- changes ----------------------------------------------------------------------

void TO_ci::DeleteCurrent() {
    try {
        Q1.Delete();
    } catch (const EDatabaseError& error) {
        throw EDatabaseError(QStringLiteral("The record was not deleted:\n\n") + error.Message(),
                             error.EngineCode);
    }
}

bool TO_ci::DeleteRecord(const QString& key) {
    if (key.isEmpty() || !LocateKey(key))
        return false;
    DeleteCurrent();
    return true;
}

QString TO_ci::NewRecordName() const {
    // The system's long time format, without the time zone it may carry:
    // hours, minutes and seconds.
    const QLocale locale = QLocale::system();
    QString format = locale.timeFormat(QLocale::LongFormat);
    format.remove(QLatin1Char('t'));
    return QStringLiteral("New record;") + locale.toString(QTime::currentTime(), format.trimmed());
}

void TO_ci::InitNewRecord() {
    Q1.FieldByName(KeyField).SetAsString(NewRecordKey());
    Q1.FieldByName(NameField).SetAsString(NewRecordName());
}

QString TO_ci::AppendRecord() {
    Q1.Append();
    try {
        InitNewRecord();
    } catch (...) {
        DataSetCancel(Q1);
        throw;
    }
    // Posting writes the row (Q1AfterPost), so that an editor opened on it
    // next finds it in the table. A row the table refuses is not kept.
    QString error;
    if (!DataSetPost(Q1, &error)) {
        DataSetCancel(Q1);
        if (error.isEmpty())
            error = TChangeWriter::AbortedMessage();
        throw EDatabaseError(QStringLiteral("The record was not added:\n\n") + error);
    }
    return KeyValue();
}

void TO_ci::WriteChanges() {
    Q1.ApplyUpdates();
    // An update the engine aborted writes nothing and keeps the cache: the
    // post or delete has not happened.
    if (Q1.UpdatesPending())
        throw EDatabaseError(TChangeWriter::AbortedMessage());
}

void TO_ci::Q1AfterPost() {
    WriteChanges();
}

void TO_ci::Q1AfterDelete() {
    WriteChanges();
}

// --- search ---------------------------------------------------------------------

bool TO_ci::Search(bool down, const QStringList& columns, const QString& text) {
    if (!Q1.Active())
        return false;
    TSearchColumns record(Q1, columns, text);
    const ControlsSuspended suspended(Q1);
    const TQuery::TBookmark start = Q1.GetBookmark();
    // One record on; false when that runs past the end of the list.
    const auto step = [&] {
        if (down) {
            Q1.Next();
            return !Q1.Eof();
        }
        Q1.Prior();
        return !Q1.Bof();
    };

    bool found = false;
    if (!Q1.IsEmpty()) {
        // A hit on the current record is the one found last time.
        bool going = record.CurrentMatches() ? step() : true;
        while (going) {
            if (record.CurrentMatches()) {
                found = true;
                break;
            }
            going = step();
        }
    }
    if (!found && Q1.BookmarkValid(start))
        Q1.GotoBookmark(start);
    return found;
}

// --- wheel steps ------------------------------------------------------------------

void TO_ci::StartScroll(bool up) {
    ScrollUp = up;
    if (!Timer_scroll.isActive())
        Timer_scroll.start();
}

void TO_ci::Timer_scrollTimer() {
    ++ScrollTicks;
    if (ScrollTicks == 1) {
        try {
            if (ScrollUp)
                Q1.Prior();
            else
                Q1.Next();
        } catch (const std::exception&) {
            // A step that cannot be taken is not taken.
        }
        return;
    }
    Timer_scroll.stop();
    ScrollTicks = 0;
}

// --- grid -------------------------------------------------------------------------

void TO_ci::FrameResize() {
    CGrid1->SetRowCount(
        std::clamp(CGrid1->height() / std::max(1, RowHeight()), 1, TRecordGrid::MaxRowCount));
}

void TO_ci::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    CGrid1->setGeometry(contentsRect());
    FrameResize();
}

void TO_ci::CGrid1PaintPanel(QPainter& painter, const QRect& panel, int index) {
    painter.fillRect(panel, index % 2 == 0 ? EvenPanelColor : OddPanelColor);
    if (index != CGrid1->PanelIndex())
        return;
    // Two white frames: the panel's edge and one 2 pixels inside it.
    painter.setPen(Qt::white);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(panel.adjusted(0, 0, -1, -1));
    painter.drawRect(panel.adjusted(2, 2, -3, -3));
}

void TO_ci::PaintPanelContent(QPainter&, const QRect&, int) {}

QString TO_ci::PanelElementAt(int, const QRect&, const QPoint&) const {
    return {};
}

Qt::CursorShape TO_ci::PanelElementCursor(const QString&) const {
    return Qt::ArrowCursor;
}

QString TO_ci::PanelToolTip(int, const QRect&, const QPoint&) const {
    return {};
}
