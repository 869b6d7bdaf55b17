#pragma once

#include <QImage>
#include <QWidget>

// A view of one bitmap. Auto-sized, it takes the bitmap's size whenever the
// bitmap or the setting changes; stretched, it draws the bitmap over its
// whole area, repeating or dropping pixels (no filtering); otherwise it draws
// it at its own size, in the top-left corner or centred.
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
};
