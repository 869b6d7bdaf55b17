#include "TO_genres.h"

#include "TField.h"

#include <QPainter>

TO_genres::TO_genres(QWidget* parent) : TO_ci(parent) {
    Q1.SQL = QStringList{"select * from genres", "order by genre_name"};
    UpdateSQL1.ModifySQL = QStringList{"update genres",
                                       "set",
                                       "  genre_id = :genre_id,",
                                       "  genre_name = :genre_name,",
                                       "  RX = :RX,",
                                       "  RY = :RY,",
                                       "  RH = :RH,",
                                       "  RW = :RW,",
                                       "  TB = :TB,",
                                       "  TE = :TE,",
                                       "  location_shape = :location_shape",
                                       "where",
                                       "  genre_id = :OLD_genre_id"};
    UpdateSQL1.InsertSQL = QStringList{
        "insert into genres", "  (genre_id, genre_name, RX, RY, RH, RW, TB, TE, location_shape)",
        "values", "  (:genre_id, :genre_name, :RX, :RY, :RH, :RW, :TB, :TE, :location_shape)"};
    TableName = QStringLiteral("genres");
    UpdateSQL1.DeleteSQL = QStringList{"delete from genres", "where", "  genre_id = :OLD_genre_id"};
}

void TO_genres::InitNewRecord() {
    TO_ci::InitNewRecord();
    Q1.FieldByName(QStringLiteral("RX")).SetAsInteger(170);
    Q1.FieldByName(QStringLiteral("RY")).SetAsInteger(90);
    Q1.FieldByName(QStringLiteral("RH")).SetAsInteger(50);
    Q1.FieldByName(QStringLiteral("RW")).SetAsInteger(50);
    Q1.FieldByName(QStringLiteral("TB")).SetAsInteger(150);
    Q1.FieldByName(QStringLiteral("TE")).SetAsInteger(200);
}

void TO_genres::PaintPanelContent(QPainter& painter, const QRect& panel, int row) {
    QFont bold = font();
    bold.setBold(true);
    bold.setPixelSize(NamePixelSize);
    painter.setFont(bold);
    painter.setPen(palette().color(QPalette::WindowText));
    const QRect line = panel.adjusted(4, 0, -4, 0);
    painter.drawText(line, Qt::AlignCenter,
                     painter.fontMetrics().elidedText(RowText(row, QStringLiteral("genre_name")),
                                                      Qt::ElideRight, line.width()));
}
