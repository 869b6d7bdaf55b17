#pragma once

#include "TO_ci.h"

#include <QFont>
#include <QImage>
#include <QRect>

// The figures list: a panel per figure with its thumbnail on the left and,
// on the right, its name, genre, scale, description and manufacturer, and
// a mark of its collection status in the thumbnail's corner.
// Deleting a figure first deletes its additional pictures.
class TO_Figures : public TO_ci {
    Q_OBJECT

public:
    // The panel as designed: a thumbnail block at (4, 4), 129 x 118 in a
    // panel 125 high, keeping its margins as the panel grows; the texts to
    // the right of x = 133 within a 5-pixel border.
    static constexpr int DesignedPanelHeight = 125;
    static constexpr int ThumbnailLeft = 4;
    static constexpr int ThumbnailTop = 4;
    static constexpr int ThumbnailWidth = 129;
    static constexpr int ThumbnailHeight = 118;
    static constexpr int TextLeft = 133;
    static constexpr int TextBorder = 5;
    // Below the designed width the thumbnail block narrows, keeping its
    // proportions, so that the texts keep PreferredTextChars average
    // characters of the bold font; narrower than MinThumbnailWidth it goes
    // and the texts take the whole panel. A text line is never narrower
    // than MinTextChars characters unless the whole panel is.
    static constexpr int PreferredTextChars = 14;
    static constexpr int MinTextChars = 8;
    static constexpr int MinThumbnailWidth = 48;
    // A figure's collection status shows as a round mark of this size in
    // the thumbnail's top right corner, StatusMarkInset inside it; without
    // a thumbnail at the right end of the scale line.
    static constexpr int StatusMarkSize = 12;
    static constexpr int StatusMarkInset = 3;

    // Where a panel's parts go, in the coordinates of panel; the
    // thumbnail is empty when it does not fit.
    struct PanelLayout {
        QRect thumbnail;
        QRect text;
        QRect name;
        QRect genre;
        QRect scale;
        QRect description;
        QRect producer;
        QRect statusMark;
    };

    explicit TO_Figures(QWidget* parent = nullptr);

    int RowHeight() const override;
    // Draws nothing: the grid's panel colour and selection colour show.
    void CGrid1PaintPanel(QPainter& painter, const QRect& panel, int index) override;
    void PaintPanelContent(QPainter& painter, const QRect& panel, int row) override;
    // "thumbnail" over the picture, "text" over the texts.
    QString PanelElementAt(int row, const QRect& panel, const QPoint& pos) const override;
    Qt::CursorShape PanelElementCursor(const QString& element) const override;
    // The whole text of the line under pos when the panel shows it cut;
    // over the status mark, the status.
    QString PanelToolTip(int row, const QRect& panel, const QPoint& pos) const override;

    // The input focus to the list's grid.
    void main_focus();
    // Deletes the additional pictures of the figure about to be deleted, in
    // the delete's transaction: all or nothing with the figure's row.
    void Q1BeforeDelete();

    // The list's own query, and the one the main window builds with its
    // filter's condition line (empty: every figure).
    static QStringList ListQuery();
    static QStringList FilteredQuery(const QString& filterLine);

    // The parts of a panel drawn in font (bold for the names, italic for
    // the description).
    static PanelLayout Layout(const QRect& panel, const QFont& font);
    // The same in the application's font.
    static QRect ThumbnailRect(const QRect& panel);
    static QRect TextRect(const QRect& panel);

    // The lines a description shows in a block of width x height pixels,
    // wrapped at words; when it needs more lines the last one shown ends
    // in an ellipsis and elided is set.
    struct WrappedText {
        QStringList lines;
        bool elided = false;
    };
    static WrappedText WrapDescription(const QString& text, const QFont& font, const QSize& block);
};
