#include "TLocationMarker.h"

#include <cstdlib>

TLocationMarker::Mode TLocationMarker::HitZone(int x, int y, int w, int h) {
    if (std::abs(y - h) < 5 && std::abs(x - w / 2) < 5)
        return Mode::ResizeHeight;
    if (std::abs(x - w) < 5 && std::abs(y - h / 2) < 5)
        return Mode::ResizeWidth;
    return Mode::Move;
}

void TLocationMarker::KeepOnMap() {
    if (Left < MapLeft)
        Left = MapLeft + 1;
    if (Top < MapTop)
        Top = MapTop + 1;
    if (Top + Height > MapTop + MapHeight)
        Top = MapTop + MapHeight - Height - 1;
    if (Left + Width > MapLeft + MapWidth)
        Left = MapLeft + MapWidth - Width - 1;
}

void TLocationMarker::MouseDown(int x, int y) {
    rememberedX_ = x;
    rememberedY_ = y;
    mode_ = HitZone(x, y, Width, Height);
}

bool TLocationMarker::MouseMove(int x, int y) {
    switch (mode_) {
    case Mode::Move:
        Left += x - rememberedX_;
        Top += y - rememberedY_;
        KeepOnMap();
        return true;
    case Mode::ResizeWidth:
        Width = ResizedTo(Width, x);
        return true;
    case Mode::ResizeHeight:
        Height = ResizedTo(Height, y);
        return true;
    case Mode::None:
        break;
    }
    return false;
}

// A size above 5 follows the mouse, a size of 5 or less becomes 6. The
// mouse never makes it 5 or less itself: a marker of no or negative size
// would vanish from the map and could not be taken hold of again.
int TLocationMarker::ResizedTo(int size, int mouse) {
    return size > 5 && mouse > 5 ? mouse : 6;
}
