#pragma once

#include "TQuery.h"
#include "TThumbnailCache.h"
#include "TUpdateSQL.h"

#include <QFrame>
#include <QImage>
#include <QStringList>
#include <QTimer>

class QPainter;
class TRecordGrid;

// The frame every catalog table is shown in: one live query over the table
// with the statements that write a changed row back, and a grid of record
// panels bound to it. Every post and delete is written to the table at once;
// when that write fails the post or delete fails with its error, the row
// stays as the user had it (being edited, after a post) and nothing waits
// to be written later. Subclasses supply the query, the statements and what
// a panel shows.
class TO_ci : public QFrame {
    Q_OBJECT

public:
    explicit TO_ci(QWidget* parent = nullptr);
    ~TO_ci() override;

    TRecordGrid* CGrid1 = nullptr;
    TQuery Q1;
    TUpdateSQL UpdateSQL1;
    QTimer Timer_scroll;
    // The decoded thumbnails of the panels shown last.
    TThumbnailCache Thumbnails;

    // The listed table, which the list writes; set by the subclass.
    QString TableName;
    // Key column and name column of the listed table; set by the owner.
    QString KeyField;
    QString NameField;
    // Direction of the pending wheel step (true: towards the first record),
    // and ticks of Timer_scroll since it was started (0 when idle).
    bool ScrollUp = false;
    int ScrollTicks = 0;

    // Nominal height of one row of panels.
    virtual int RowHeight() const;
    // Fills a record just appended: a new key and a placeholder name.
    virtual void InitNewRecord();
    virtual void OpenList();
    virtual void CloseList();
    // Appends, fills and posts a new record (written at once); its key.
    // When the post fails the new record is dropped again and
    // EDatabaseError "The record was not added: ..." raised.
    virtual QString AppendRecord();

    QString KeyValue() const;
    QString NameValue() const;
    QString FieldValue(const QString& column) const;
    bool LocateKey(const QString& key);
    // Closes and opens the list, back on the record it was on.
    bool Reopen();
    bool IsReferenced(const QString& table, const QString& column);
    // Deletes the rows of table whose column holds the current key; false,
    // after showing the engine's error (ExecSql), when that fails.
    bool DeleteReferencing(const QString& table, const QString& column);
    // The same, raising the engine's error instead of showing it, so that
    // the operation it is part of fails with it.
    void DeleteReferencingOrFail(const QString& table, const QString& column);
    // Deletes the current record (written at once). A failure raises
    // EDatabaseError "The record was not deleted: ..."; the record stays.
    void DeleteCurrent();
    // Deletes the record whose key is key, wherever the list is; false,
    // deleting nothing, when the list holds no such record.
    bool DeleteRecord(const QString& key);
    // "New record;" and the current time.
    QString NewRecordName() const;
    // From the current record to the next one holding text (trimmed,
    // upper-case) in one of the columns; no wrap.
    bool Search(bool down, const QStringList& columns, const QString& text);
    // One wheel step, about 10 ms later.
    void StartScroll(bool up);

    // The row count of the grid from the frame's height.
    void FrameResize();
    // The panel's background: alternating colours, the current one framed
    // in white. index is the panel's place among the visible panels.
    virtual void CGrid1PaintPanel(QPainter& painter, const QRect& panel, int index);
    // What a panel shows of the record at row (0-based).
    virtual void PaintPanelContent(QPainter& painter, const QRect& panel, int row);
    // The name of the control of the panel under pos ("" for none), for
    // clicks; pos and panel in grid coordinates.
    virtual QString PanelElementAt(int row, const QRect& panel, const QPoint& pos) const;
    // The mouse cursor over a control of a panel (see PanelElementAt).
    virtual Qt::CursorShape PanelElementCursor(const QString& element) const;
    // The tool tip over pos on the panel of the record at row: the whole
    // text of a line the panel shows cut; "" for none.
    virtual QString PanelToolTip(int row, const QRect& panel, const QPoint& pos) const;
    // A column of the record at row (0-based) as text, for painting: empty
    // for NULL, a missing column or a row out of range; blobs as UTF-8.
    QString RowText(int row, const QString& column) const;
    // Write the posted or deleted row to the table at once; raise when it
    // is not written (which undoes the post or delete, see TQuery).
    virtual void Q1AfterPost();
    virtual void Q1AfterDelete();
    void Timer_scrollTimer();

signals:
    // A click or double click on a panel's control (see PanelElementAt);
    // the clicked record is current.
    void PanelClicked(const QString& element);
    void PanelDoubleClicked(const QString& element);

protected:
    // The thumbnail (the BMP bytes of "picture_th") of the record at row:
    // decoded when it is not kept; null when it has none.
    QImage Thumbnail(int row);
    // The current record's thumbnail may have changed.
    void ForgetCurrentThumbnail();
    // Writes Q1's cached changes; raises when they are not all written.
    void WriteChanges();

    void resizeEvent(QResizeEvent* event) override;
};
