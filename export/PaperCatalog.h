#pragma once

#include <QRectF>
#include <QString>

class QPagedPaintDevice;
class QPainter;
class PaperFigureReader;
struct PaperFigure;

// The catalog on paper: the figures of a reader in its order, a block of
// the same height for each (thumbnail, name, genre, manufacturer, scale
// and as much of the description as the block holds), as many blocks on a
// page as fit and none split over two pages; every page carries the title
// and its number. Draws on any paged device (a printer, a PDF writer) in
// its page size and resolution, without a window.
class PaperCatalog {
public:
    static constexpr double HeaderMm = 12;
    static constexpr double FooterMm = 8;
    static constexpr double BlockMm = 38;

    explicit PaperCatalog(QString title);

    // How many figure blocks a page of the device holds (at least one).
    static int BlocksPerPage(const QPagedPaintDevice& device);

    // Draws the pages firstPage to lastPage (counted from 1; 0 for the last
    // page) of the figures the reader gives from its start, and returns how
    // many pages were drawn. Without figures, one page tells so. Raises
    // EFileError when the device cannot be drawn on, EDatabaseError when
    // the figures cannot be read.
    int Print(QPagedPaintDevice& device, PaperFigureReader& figures, int firstPage = 1,
              int lastPage = 0) const;

private:
    void DrawPage(QPainter& painter, int page, int pages) const;
    void DrawBlock(QPainter& painter, const QRectF& block, const PaperFigure& figure) const;

    QString title_;
};
