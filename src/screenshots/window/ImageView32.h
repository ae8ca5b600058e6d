#pragma once
// The zoom window's picture view: the picture at a scale, enlarged by
// repeating pixels, with scroll bars. Only the part in sight is painted; the
// scaled picture is never built, so memory stays near the picture's own.

#include <QAbstractScrollArea>
#include <QImage>

class TImageView32 : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit TImageView32(QWidget *parent = nullptr);

    void SetPicture(const QImage &picture);  // an empty image clears the view
    const QImage &Picture() const { return picture_; }
    // Keeps the point in the middle of the view where it is.
    void SetScale(double scale);
    double Scale() const { return scale_; }
    // The picture's size at the scale, in pixels (at least 1 for a picture).
    QSize ScaledSize() const;
    // The part of the picture the last paint drew (picture pixels).
    QRect LastSourceRect() const { return lastSource_; }
    // Paints what is in sight into `device` as a paint event would.
    void PaintVisible(QPainter &p, const QRect &viewRect);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void UpdateBars();
    QImage picture_;
    double scale_ = 1.5;
    QRect lastSource_;
};
