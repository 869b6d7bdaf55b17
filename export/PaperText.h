#pragma once

#include <QFont>
#include <QRectF>
#include <QString>

class QImage;
class QPaintDevice;
class QPainter;

// Text and pictures placed on printed pages: lengths in millimetres on the
// painter's device, lines cut with an ellipsis where they do not fit.
class PaperText {
public:
    // So many millimetres in the device's units, across and down.
    static double MmX(const QPaintDevice& device, double mm);
    static double MmY(const QPaintDevice& device, double mm);

    // A font of the given size in points, bold or not.
    static QFont Font(double points, bool bold = false);
    // The height of one line of the font on the painter's device.
    static double LineHeight(QPainter& painter, const QFont& font);

    // One line at the top left of rect, cut with an ellipsis to its width.
    static void DrawLine(QPainter& painter, const QRectF& rect, const QString& text,
                         const QFont& font, Qt::Alignment alignment = Qt::AlignLeft);
    // label in bold and value after it, on one line cut to the width.
    static void DrawField(QPainter& painter, const QRectF& rect, const QString& label,
                          const QString& value, const QFont& font);
    // The text wrapped into rect, its line breaks kept; the last line that
    // fits ends with an ellipsis when more text follows. Returns the height
    // used.
    static double DrawWrapped(QPainter& painter, const QRectF& rect, const QString& text,
                              const QFont& font);

    // The picture as large as fits in box, its proportions kept, centred
    // across and at the top; no more pixels than 300 per inch are kept.
    static void DrawPicture(QPainter& painter, const QRectF& box, const QImage& picture);
    // A thin gray frame with text in its middle, where a picture is missing.
    static void DrawMissing(QPainter& painter, const QRectF& box, const QString& text);
};
