#pragma once

#include "TO_ci.h"

// The genres list: a panel per genre with its name centred in bold.
class TO_genres : public TO_ci {
    Q_OBJECT

public:
    static constexpr int NamePixelSize = 16;

    explicit TO_genres(QWidget* parent = nullptr);

    // A new genre's place on the world map and its epoch.
    void InitNewRecord() override;
    void PaintPanelContent(QPainter& painter, const QRect& panel, int row) override;
};
