#pragma once

#include "TO_ci.h"

// The manufacturers list: a panel per manufacturer with an empty label
// strip, the name in bold and the web address underlined, all centred.
class TO_producers : public TO_ci {
    Q_OBJECT

public:
    static constexpr int LabelStripHeight = 14;

    explicit TO_producers(QWidget* parent = nullptr);

    // The empty strip at the top of every panel; the main window hides it.
    bool ShowLabelStrip = true;

    void InitNewRecord() override;
    void PaintPanelContent(QPainter& painter, const QRect& panel, int row) override;
    // "url" over the web address.
    QString PanelElementAt(int row, const QRect& panel, const QPoint& pos) const override;
    Qt::CursorShape PanelElementCursor(const QString& element) const override;

private:
    struct Layout {
        QRect name;
        QRect url;
    };
    Layout PanelLayout(const QRect& panel) const;
    QFont NameFont() const;
    QFont UrlFont() const;
    // The web address as it shows within width.
    QString ShownUrl(int row, int width) const;
    // Where the shown address is, within its line.
    QRect UrlTextRect(const QRect& line, const QString& shown) const;
};
