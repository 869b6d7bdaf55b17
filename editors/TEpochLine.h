#pragma once

#include <QString>

// The epoch time line of the genre editor without its window: the years and
// their positions, the epoch text, where the two handles and the bar lie,
// handle dragging and year stepping. Positions are the editor's client
// coordinates; one pixel is ten years and year 0 lies 120 pixels right of
// the time line picture's left edge.
class TEpochLine {
public:
    // The time line picture.
    static constexpr int LineLeft = 14;
    static constexpr int LineTop = 266;
    static constexpr int LineWidth = 350;
    static constexpr int LineHeight = 50;
    static constexpr int ZeroX = 120;
    // The years at the picture's edges.
    static constexpr int FirstYear = -ZeroX * 10;
    static constexpr int LastYear = (LineWidth - ZeroX) * 10;
    // The epoch bar and its handles share its top and height.
    static constexpr int BarTop = 280;
    static constexpr int BarHeight = 23;
    static constexpr int LeftHandleWidth = 3;
    static constexpr int RightHandleWidth = 4;

    // round(year / 10), halves to even, from the picture's year 0.
    static int YearToX(int year);
    static int XToYear(int x);
    // "ancient" below -960, "N B.C." up to -1, the year up to 2060, then
    // "future".
    static QString YearText(int year);
    static QString EpochText(int begin, int end);

    enum class Handle { None, Left, Right };

    // The working epoch.
    int YearBegin = 1100;
    int YearEnd = 1500;
    // Left edges of the handles, and the bar between them.
    int LeftX = 0;
    int RightX = 0;
    int BarLeft = 0;
    int BarWidth = 0;

    // Takes a record's years, ends any drag and lays the line out.
    void SetYears(int begin, int end);
    // Keeps the first year before the last, then places handles and bar:
    // the dragged handle held between the picture's edge and the other
    // handle, or, with no drag, both handles from the years.
    void Layout();
    // The epoch shown: during a drag, the years releasing would give.
    QString Text() const;

    // x is the mouse position within the handle, as it is now.
    void StartDrag(Handle handle, int x);
    void DragTo(int x);
    void EndDrag();
    Handle Dragged() const { return dragged_; }

    // One click of an up-down control: +1 or -1, then the layout from the
    // years, which refuses a first year up to the last and pushes the first
    // year down before a lowered last year.
    void StepBegin(int delta);
    void StepEnd(int delta);

private:
    int DraggedBegin() const;
    int DraggedEnd() const;

    Handle dragged_ = Handle::None;
    int grip_ = 0;
    int dragStartX_ = 0;
};
