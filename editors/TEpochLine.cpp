#include "TEpochLine.h"

namespace {

constexpr int LineRight = TEpochLine::LineLeft + TEpochLine::LineWidth;

} // namespace

int TEpochLine::YearToX(int year) {
    int tens = year / 10;
    const int rest = year % 10;
    // Integer halves to even, the same on every platform.
    if (rest > 5 || (rest == 5 && tens % 2 != 0))
        ++tens;
    else if (rest < -5 || (rest == -5 && tens % 2 != 0))
        --tens;
    return tens + LineLeft + ZeroX;
}

int TEpochLine::XToYear(int x) {
    return (x - LineLeft - ZeroX) * 10;
}

QString TEpochLine::YearText(int year) {
    if (year < -960)
        return QStringLiteral("ancient");
    if (year < 0)
        return QString::number(-year) + QStringLiteral(" B.C.");
    if (year <= 2060)
        return QString::number(year);
    return QStringLiteral("future");
}

QString TEpochLine::EpochText(int begin, int end) {
    return QStringLiteral("Epoch:") + YearText(begin) + QStringLiteral(" ... ") + YearText(end);
}

void TEpochLine::SetYears(int begin, int end) {
    YearBegin = begin;
    YearEnd = end;
    dragged_ = Handle::None;
    Layout();
}

void TEpochLine::Layout() {
    if (YearBegin >= YearEnd)
        YearBegin = YearEnd - 1;
    if (dragged_ == Handle::Left) {
        if (LeftX < LineLeft)
            LeftX = LineLeft + 1;
        if (RightX < LeftX + LeftHandleWidth)
            LeftX = RightX - LeftHandleWidth - 1;
        BarLeft = LeftX;
    } else if (dragged_ == Handle::Right) {
        if (RightX > LineRight)
            RightX = LineRight - 1;
        if (RightX < LeftX + LeftHandleWidth)
            RightX = LeftX + LeftHandleWidth + 1;
    } else {
        // A year beyond the picture keeps its value; only its handle is
        // held at the edge.
        LeftX = YearToX(YearBegin);
        RightX = YearToX(YearEnd) - RightHandleWidth;
        if (RightX < LeftX + LeftHandleWidth)
            RightX = LeftX + LeftHandleWidth;
        if (RightX > LineRight || RightX < LineLeft)
            RightX = LineRight - 1;
        if (LeftX < LineLeft || LeftX > LineRight)
            LeftX = LineLeft + 1;
        BarLeft = LeftX;
    }
    BarWidth = RightX + RightHandleWidth - LeftX;
}

QString TEpochLine::Text() const {
    return EpochText(DraggedBegin(), DraggedEnd());
}

void TEpochLine::StartDrag(Handle handle, int x) {
    dragged_ = handle;
    grip_ = x;
    dragStartX_ = handle == Handle::Left ? LeftX : RightX;
}

void TEpochLine::DragTo(int x) {
    if (dragged_ == Handle::Left)
        LeftX += x - grip_;
    else if (dragged_ == Handle::Right)
        RightX += x - grip_;
    else
        return;
    Layout();
}

// Only a handle that moved takes the year of its position: a click without
// a move, or the other end, keeps its year, which need not be a multiple
// of ten nor lie on the picture.
void TEpochLine::EndDrag() {
    const int begin = DraggedBegin();
    const int end = DraggedEnd();
    dragged_ = Handle::None;
    YearBegin = begin;
    YearEnd = end;
    Layout();
}

int TEpochLine::DraggedBegin() const {
    return dragged_ == Handle::Left && LeftX != dragStartX_ ? XToYear(LeftX) : YearBegin;
}

int TEpochLine::DraggedEnd() const {
    return dragged_ == Handle::Right && RightX != dragStartX_ ? XToYear(RightX + RightHandleWidth)
                                                              : YearEnd;
}

void TEpochLine::StepBegin(int delta) {
    YearBegin += delta;
    Layout();
}

void TEpochLine::StepEnd(int delta) {
    YearEnd += delta;
    Layout();
}
