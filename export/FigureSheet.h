#pragma once

#include <QByteArray>
#include <QString>

class QPagedPaintDevice;
class QPainter;
class QRectF;

// One figure on one page: its name as the title, its main picture large,
// every field of the figure, and its assembling/painting manual drawn
// across the rest of the page as large as it fits. Read from "ADB" and
// drawn on any paged device, without a window.
class FigureSheet {
public:
    // Reads the figure with that key; false when there is none. Raises
    // EDatabaseError.
    bool Read(const QString& figureId);

    QString Name() const { return name_; }

    // Draws the page. Raises EFileError when the device cannot be drawn on.
    void Print(QPagedPaintDevice& device) const;

private:
    // One line for each field, as many as area holds.
    void DrawFields(QPainter& painter, const QRectF& area) const;
    void DrawManual(QPainter& painter, const QRectF& area) const;

    QString name_;
    QString genre_;
    QString genreYears_;
    QString manufacturer_;
    QString type_;
    QString scale_;
    QString sculptor_;
    QString painter_;
    QString description_;
    QString files_;
    QByteArray picture_;
    QByteArray thumbnail_;
    QByteArray manual_;
};
