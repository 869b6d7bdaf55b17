#include "ViewZoom.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

// The scales the zoom steps through, as in most picture viewers.
constexpr std::array<double, 17> Ladder{0.05, 0.1,  0.15, 0.2, 0.25, 1.0 / 3, 0.5, 2.0 / 3, 0.75,
                                        1.0,  1.25, 1.5,  2.0, 3.0,  4.0,     6.0, 8.0};
constexpr double Tolerance = 1e-6;

} // namespace

void ViewZoom::SetPicture(QSize picture) {
    picture_ = picture;
    if (fitted_)
        Fit();
}

void ViewZoom::SetArea(QSize area) {
    area_ = area;
    if (fitted_)
        Fit();
}

void ViewZoom::Fit() {
    fitted_ = true;
    factor_ = FitFactor(picture_, area_);
}

void ViewZoom::RealSize() {
    fitted_ = false;
    factor_ = 1.0;
}

void ViewZoom::ToggleFitAndRealSize() {
    if (fitted_)
        RealSize();
    else
        Fit();
}

void ViewZoom::ZoomIn() {
    const auto next = std::find_if(Ladder.begin(), Ladder.end(),
                                   [this](double step) { return step > factor_ + Tolerance; });
    StepTo(next == Ladder.end() ? MaxFactor : *next);
}

void ViewZoom::ZoomOut() {
    const auto next = std::find_if(Ladder.rbegin(), Ladder.rend(),
                                   [this](double step) { return step < factor_ - Tolerance; });
    StepTo(next == Ladder.rend() ? 0.0 : *next);
}

void ViewZoom::SetFactor(double factor) {
    fitted_ = false;
    factor_ = factor > 0 ? factor : 1.0;
}

void ViewZoom::StepTo(double factor) {
    // A very large picture fits below the smallest step; it may go back
    // down to its fitted scale.
    const double lowest = std::min(MinFactor, FitFactor(picture_, area_));
    fitted_ = false;
    factor_ = std::clamp(factor, lowest, MaxFactor);
}

int ViewZoom::Percent() const {
    return static_cast<int>(std::lround(factor_ * 100));
}

QSize ViewZoom::ScaledSize() const {
    const auto side = [this](int length) {
        return std::max(1, static_cast<int>(std::lround(length * factor_)));
    };
    return {side(picture_.width()), side(picture_.height())};
}

double ViewZoom::FitFactor(QSize picture, QSize area) {
    if (picture.isEmpty() || area.isEmpty())
        return 1.0;
    const double across = static_cast<double>(area.width()) / picture.width();
    const double down = static_cast<double>(area.height()) / picture.height();
    return std::min({1.0, across, down});
}
