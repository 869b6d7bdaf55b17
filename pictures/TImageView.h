#pragma once

#include <QImage>
#include <QWidget>

// A view of one bitmap. Auto-sized, it takes the bitmap's size whenever the
// bitmap or the setting changes; stretched, it draws the bitmap over its
// whole area, repeating or dropping pixels (no filtering); otherwise it draws
// it at its own size, in the top-left corner or centred. Smooth, a stretched
// view smaller than its bitmap filters it down instead, for viewing.
class TImageView : public QWidget {
    Q_OBJECT

public:
    explicit TImageView(QWidget* parent = nullptr);

    const QImage& Picture() const { return picture_; }
    void SetPicture(const QImage& picture);

    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool autoSize);
    bool Stretch() const { return stretch_; }
    void SetStretch(bool stretch);
    bool Center() const { return center_; }
    void SetCenter(bool center);
    bool Smooth() const { return smooth_; }
    void SetSmooth(bool smooth);

signals:
    // A click with the left button, and a double click.
    void Clicked();
    void DoubleClicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void FitToPicture();

    QImage picture_;
    bool autoSize_ = false;
    bool stretch_ = false;
    bool center_ = false;
    bool smooth_ = false;
    // The bitmap filtered down to the view's size, made when first drawn.
    QImage smoothed_;
};
