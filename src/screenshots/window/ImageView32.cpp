#include "screenshots/window/ImageView32.h"

#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <cmath>

TImageView32::TImageView32(QWidget *parent) : QAbstractScrollArea(parent) {
    setObjectName(QStringLiteral("ImageView32"));
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    horizontalScrollBar()->setSingleStep(20);
    verticalScrollBar()->setSingleStep(20);
}

void TImageView32::SetPicture(const QImage &picture) {
    // One format the painter scales fast without converting the whole picture.
    picture_ = picture.isNull() || picture.format() == QImage::Format_RGB32 ? picture
                                                                             : picture.convertToFormat(QImage::Format_RGB32);
    UpdateBars();
    viewport()->update();
}

QSize TImageView32::ScaledSize() const {
    if (picture_.isNull()) return {};
    // Bounded so that the scroll bars' integer ranges hold.
    auto side = [this](int n) { return int(std::clamp(std::ceil(n * scale_), 1.0, 1.0e9)); };
    return {side(picture_.width()), side(picture_.height())};
}

void TImageView32::SetScale(double scale) {
    if (!(scale > 0)) return;
    QScrollBar *h = horizontalScrollBar();
    QScrollBar *v = verticalScrollBar();
    const QSize view = viewport()->size();
    const double cx = (h->value() + view.width() / 2.0) / scale_;
    const double cy = (v->value() + view.height() / 2.0) / scale_;
    scale_ = scale;
    UpdateBars();
    h->setValue(int(std::lround(cx * scale_ - view.width() / 2.0)));
    v->setValue(int(std::lround(cy * scale_ - view.height() / 2.0)));
    viewport()->update();
}

void TImageView32::UpdateBars() {
    const QSize scaled = ScaledSize();
    const QSize view = viewport()->size();
    horizontalScrollBar()->setRange(0, std::max(0, scaled.width() - view.width()));
    verticalScrollBar()->setRange(0, std::max(0, scaled.height() - view.height()));
    horizontalScrollBar()->setPageStep(std::max(1, view.width()));
    verticalScrollBar()->setPageStep(std::max(1, view.height()));
}

void TImageView32::resizeEvent(QResizeEvent *event) {
    QAbstractScrollArea::resizeEvent(event);
    UpdateBars();
}

void TImageView32::paintEvent(QPaintEvent *event) {
    QPainter p(viewport());
    PaintVisible(p, event->rect());
}

void TImageView32::PaintVisible(QPainter &p, const QRect &viewRect) {
    p.fillRect(viewRect, palette().color(QPalette::Dark));
    lastSource_ = QRect();
    if (picture_.isNull()) return;
    const QSize scaled = ScaledSize();
    const QSize view = viewport()->size();
    // A picture smaller than the view sits in its middle.
    const double ox = scaled.width() < view.width() ? -(view.width() - scaled.width()) / 2.0 : horizontalScrollBar()->value();
    const double oy = scaled.height() < view.height() ? -(view.height() - scaled.height()) / 2.0 : verticalScrollBar()->value();
    // The picture pixels under the rectangle to paint, whole ones.
    const double x0 = (viewRect.left() + ox) / scale_, x1 = (viewRect.right() + 1 + ox) / scale_;
    const double y0 = (viewRect.top() + oy) / scale_, y1 = (viewRect.bottom() + 1 + oy) / scale_;
    const int sx0 = std::max(0, int(std::floor(x0))), sy0 = std::max(0, int(std::floor(y0)));
    const int sx1 = std::min(picture_.width(), int(std::ceil(x1))), sy1 = std::min(picture_.height(), int(std::ceil(y1)));
    if (sx1 <= sx0 || sy1 <= sy0) return;
    const QRect source(sx0, sy0, sx1 - sx0, sy1 - sy0);
    const QRectF target(sx0 * scale_ - ox, sy0 * scale_ - oy, source.width() * scale_, source.height() * scale_);
    p.setRenderHint(QPainter::SmoothPixmapTransform, false);
    p.setClipRect(viewRect);
    p.drawImage(target, picture_, QRectF(source));
    lastSource_ = source;
}
