#pragma once

#include <QSize>

// The scale a picture is viewed at in an area: fitted (the whole picture
// shows, never enlarged past real size), real size, or zoomed in steps.
// Fitted follows the area when it changes; the other scales stay.
class ViewZoom {
public:
    static constexpr double MinFactor = 0.05;
    static constexpr double MaxFactor = 8.0;

    void SetPicture(QSize picture);
    void SetArea(QSize area);

    void Fit();
    void RealSize();
    // Fitted goes to real size, anything else back to fitted.
    void ToggleFitAndRealSize();
    // One step up or down the zoom ladder, within the limits (the lower one
    // reaches down to the fitted scale of a very large picture).
    void ZoomIn();
    void ZoomOut();
    // Takes a scale set from elsewhere; it is no longer fitted.
    void SetFactor(double factor);

    double Factor() const { return factor_; }
    bool Fitted() const { return fitted_; }
    int Percent() const;
    // The picture's size at the scale, at least one pixel each way.
    QSize ScaledSize() const;

    // The largest scale, at most 1, at which the picture fits the area.
    static double FitFactor(QSize picture, QSize area);

private:
    void StepTo(double factor);

    QSize picture_;
    QSize area_;
    double factor_ = 1.0;
    bool fitted_ = true;
};
