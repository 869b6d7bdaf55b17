#pragma once

// The genre's location marker on the editor's world map without its window:
// its place and size in the editor's client coordinates, its shape, and
// what the mouse does to it. Mouse positions are within the marker.
class TLocationMarker {
public:
    // The world map picture.
    static constexpr int MapLeft = 14;
    static constexpr int MapTop = 56;
    static constexpr int MapWidth = 355;
    static constexpr int MapHeight = 184;

    enum class Mode { None, Move, ResizeWidth, ResizeHeight };

    // What a press at (x, y) in a marker of w × h starts: the height near
    // the bottom middle, the width near the right middle, else a move.
    static Mode HitZone(int x, int y, int w, int h);

    int Left = 168;
    int Top = 112;
    int Width = 29;
    int Height = 29;
    bool RoundRect = false;

    // Moves the marker back onto the map, one pixel inside an edge it
    // crossed.
    void KeepOnMap();

    void MouseDown(int x, int y);
    // Moves or resizes as the press started; true when the marker changed.
    bool MouseMove(int x, int y);
    void MouseUp() { mode_ = Mode::None; }
    Mode Dragging() const { return mode_; }
    // The zone under the mouse while no button is down.
    Mode HoverZone(int x, int y) const { return HitZone(x, y, Width, Height); }

private:
    static int ResizedTo(int size, int mouse);

    Mode mode_ = Mode::None;
    int rememberedX_ = 0;
    int rememberedY_ = 0;
};
