#pragma once

#include "TEpochLine.h"
#include "TLocationMarker.h"
#include "TP_Edit.h"

#include <QRect>

class QAction;
class QLabel;
class QMenu;
class TD_epoch;
class TDBEdit;
class THatchShape;
class THorzUpDown;

// The genre editor: the name, the epoch set by dragging the ends of a bar
// along a time line or stepping them year by year, and the location as a
// hatched marker moved and resized on the world map. All positions are
// client coordinates; the marker's place is stored as such.
class TE_genre : public TP_Edit {
    Q_OBJECT

public:
    static constexpr int ClientWidth = 383;
    static constexpr int ClientHeight = 385;

    explicit TE_genre(QWidget* parent = nullptr);

    // Years and marker from the record.
    void PrepareEdit() override;
    // Moved years, marker and shape into the record.
    void BeforeSave() override;
    // The name, or years, marker or shape changed since PrepareEdit.
    bool HasChanges() const override;

    QLabel* Label1;
    TDBEdit* DBEdit_name;
    QLabel* Image_map;
    QLabel* Label_location;
    QLabel* Image_timeline;
    QLabel* Label_epoch;
    THatchShape* Shape_epoch;
    THatchShape* Shape_left;
    THatchShape* Shape_right;
    THatchShape* Shape_location;
    THorzUpDown* UpDown_b;
    THorzUpDown* UpDown_e;
    QMenu* PopupMenu_map;
    QAction* N_ellipse;
    QAction* N_roundrect;
    // Typing the years: a double-click on Label_epoch.
    TD_epoch* Dialog_epoch;

    // The working state, read by the controls.
    const TEpochLine& Epoch() const { return epoch_; }
    const TLocationMarker& Marker() const { return marker_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateTimeLine();
    void CreateMap();
    void PrepareEditDefaults();

    void HandleMouseDown(TEpochLine::Handle handle, Qt::MouseButton button, int x);
    void HandleMouseMove(TEpochLine::Handle handle, int x);
    void HandleMouseUp();
    void ShowEpoch();
    void TypeYears();

    void MarkerMouseDown(Qt::MouseButton button, int x, int y);
    void MarkerMouseMove(int x, int y);
    void ShowMarker();
    void ChooseShape(bool roundRect);
    QRect MarkerPlace() const;

    TEpochLine epoch_;
    TLocationMarker marker_;
    // As PrepareEdit showed them.
    int preparedBegin_ = 0;
    int preparedEnd_ = 0;
    QRect preparedPlace_;
    bool preparedRoundRect_ = false;
};
