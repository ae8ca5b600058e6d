#include "app/window/icons/ImageListMain.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <QRadialGradient>
#include <QTransform>

#include <QCoreApplication>
#include <array>
#include <cmath>

namespace {

// Shades of one colour: highlight, body, shadow side, outline.
struct Tone {
    QColor light, base, dark, line;
};

QColor Hex(unsigned rgb) { return QColor::fromRgb(int((rgb >> 16) & 0xFF), int((rgb >> 8) & 0xFF), int(rgb & 0xFF)); }

const Tone kBlue{Hex(0x8DB9EE), Hex(0x4A84CF), Hex(0x2B5C9F), Hex(0x1B3D6E)};
const Tone kTeal{Hex(0x8FD4C8), Hex(0x2A9D8F), Hex(0x1B6F65), Hex(0x114A43)};
const Tone kGrey{Hex(0xE3E6EA), Hex(0xAAB0B8), Hex(0x7A818B), Hex(0x4B5159)};
const Tone kGreen{Hex(0x9BE27A), Hex(0x55B332), Hex(0x35891B), Hex(0x22600F)};
const Tone kRed{Hex(0xF58A80), Hex(0xE0382B), Hex(0xB51F16), Hex(0x7E120C)};
const Tone kGold{Hex(0xFFE58A), Hex(0xF2B824), Hex(0xC98A0A), Hex(0x825605)};
const Tone kOrange{Hex(0xFFC07A), Hex(0xF28C1C), Hex(0xCC6A06), Hex(0x8A4503)};
const Tone kPaper{Hex(0xFFFFFF), Hex(0xF4F6F9), Hex(0xDCE2EA), Hex(0x66717F)};

QLinearGradient Vertical(qreal top, qreal bottom, const QColor &a, const QColor &b) {
    QLinearGradient g(0, top, 0, bottom);
    g.setColorAt(0, a);
    g.setColorAt(1, b);
    return g;
}

QLinearGradient Horizontal(qreal left, qreal right, const QColor &a, const QColor &b) {
    QLinearGradient g(left, 0, right, 0);
    g.setColorAt(0, a);
    g.setColorAt(1, b);
    return g;
}

QLinearGradient Diagonal(const QRectF &r, const QColor &a, const QColor &b) {
    QLinearGradient g(r.topLeft(), r.bottomRight());
    g.setColorAt(0, a);
    g.setColorAt(1, b);
    return g;
}

// Fills the path and outlines it. The outline is filled as a shape of its own
// rather than stroked: the stroker of the raster engine leaves the corners of
// a one-pixel frame partly transparent, which makes small frames look soft.
void Fill(QPainter &p, const QPainterPath &path, const QBrush &brush, const QColor &line, qreal width = 1.0,
          Qt::PenJoinStyle join = Qt::MiterJoin) {
    p.fillPath(path, brush);
    if (!line.isValid()) return;
    QPainterPathStroker stroker;
    stroker.setWidth(width);
    stroker.setJoinStyle(join);
    stroker.setCapStyle(Qt::FlatCap);
    p.fillPath(stroker.createStroke(path), line);
}

void Line(QPainter &p, QPointF a, QPointF b, const QColor &c, qreal width = 1.0, Qt::PenCapStyle cap = Qt::FlatCap) {
    p.setPen(QPen(c, width, Qt::SolidLine, cap, Qt::RoundJoin));
    p.drawLine(a, b);
}

QPainterPath PathThrough(std::initializer_list<QPointF> points) {
    QPainterPath path;
    bool first = true;
    for (const QPointF &pt : points) {
        if (first)
            path.moveTo(pt);
        else
            path.lineTo(pt);
        first = false;
    }
    return path;
}

void Polyline(QPainter &p, std::initializer_list<QPointF> points, const QColor &c, qreal width) {
    const QPainterPath path = PathThrough(points);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(c, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(path);
}

QPainterPath Rect(qreal x, qreal y, qreal w, qreal h) {
    QPainterPath path;
    path.addRect(x, y, w, h);
    return path;
}

QPainterPath Rounded(qreal x, qreal y, qreal w, qreal h, qreal r) {
    QPainterPath path;
    path.addRoundedRect(x, y, w, h, r, r);
    return path;
}

QPainterPath Circle(QPointF c, qreal r) {
    QPainterPath path;
    path.addEllipse(c, r, r);
    return path;
}

QPainterPath Polygon(std::initializer_list<QPointF> points) {
    QPainterPath path = PathThrough(points);
    path.closeSubpath();
    return path;
}

// Clears a rim around what follows, so that a badge or an arrow stands apart
// from the picture beneath it.
void Cut(QPainter &p, const QPainterPath &path, qreal rim) {
    p.save();
    p.setCompositionMode(QPainter::CompositionMode_Clear);
    p.setPen(QPen(Qt::black, 2 * rim, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::black);
    p.drawPath(path);
    p.restore();
}

// An arrow from `from` to `to`: shaft of width `shaft`, head of width `head`
// and length `headLength`.
QPainterPath Arrow(QPointF from, QPointF to, qreal shaft, qreal head, qreal headLength) {
    const qreal dx = to.x() - from.x(), dy = to.y() - from.y();
    const qreal length = std::hypot(dx, dy);
    const qreal s = shaft / 2, h = head / 2, base = length - headLength;
    QPainterPath local = Polygon({{0, -s}, {base, -s}, {base, -h}, {length, 0}, {base, h}, {base, s}, {0, s}});
    QTransform t;
    t.translate(from.x(), from.y());
    t.rotateRadians(std::atan2(dy, dx));
    return t.map(local);
}

// A round badge at the lower right, cut free from the picture beneath.
void Badge(QPainter &p, QPointF c, qreal r, const Tone &tone) {
    Cut(p, Circle(c, r), 1.0);
    const QRectF box(c.x() - r, c.y() - r, 2 * r, 2 * r);
    Fill(p, Circle(c, r), Vertical(box.top(), box.bottom(), tone.light, tone.dark), tone.line);
}

void Cylinder(QPainter &p, const QRectF &r, const Tone &t) {
    const qreal eh = std::round(r.width() * 0.36);
    QPainterPath body;
    body.moveTo(r.left(), r.top() + eh / 2);
    body.lineTo(r.left(), r.bottom() - eh / 2);
    body.arcTo(QRectF(r.left(), r.bottom() - eh, r.width(), eh), 180, 180);
    body.lineTo(r.right(), r.top() + eh / 2);
    body.closeSubpath();
    QLinearGradient side = Horizontal(r.left(), r.right(), t.base, t.dark);
    side.setColorAt(0.3, t.light);
    Fill(p, body, side, t.line);
    // A band half-way down, so that it reads as a stack of disks.
    QPainterPath band;
    const qreal mid = r.top() + (r.height() - eh) / 2;
    band.arcMoveTo(QRectF(r.left(), mid, r.width(), eh), 180);
    band.arcTo(QRectF(r.left(), mid, r.width(), eh), 180, 180);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(t.line, 0.8));
    p.drawPath(band);
    QPainterPath top;
    top.addEllipse(QRectF(r.left(), r.top(), r.width(), eh));
    Fill(p, top, Vertical(r.top(), r.top() + eh, t.light.lighter(110), t.base), t.line);
}

// A small landscape (sky, hills, sun) in the rectangle r; the frame is the
// caller's.
void Landscape(QPainter &p, const QRectF &r) {
    p.save();
    p.setClipRect(r);
    p.fillRect(r, Vertical(r.top(), r.bottom(), Hex(0x7FBFF5), Hex(0xDDF0FF)));
    p.setPen(Qt::NoPen);
    p.setBrush(Hex(0xFFC928));
    p.drawEllipse(QPointF(r.right() - r.width() * 0.27, r.top() + r.height() * 0.3), r.height() * 0.17, r.height() * 0.17);
    const qreal l = r.left(), b = r.bottom(), w = r.width(), h = r.height();
    QPainterPath back = Polygon({{l, b}, {l, b - h * 0.35}, {l + w * 0.3, b - h * 0.75}, {l + w * 0.62, b - h * 0.28}, {l + w, b - h * 0.5}, {l + w, b}});
    p.setBrush(Vertical(b - h * 0.75, b, Hex(0x6FCB4A), Hex(0x2F8A1E)));
    p.drawPath(back);
    QPainterPath front = Polygon({{l, b}, {l + w * 0.45, b - h * 0.42}, {l + w * 0.8, b - h * 0.18}, {l + w, b - h * 0.3}, {l + w, b}});
    p.setBrush(Vertical(b - h * 0.42, b, Hex(0x4DAE2E), Hex(0x22700F)));
    p.drawPath(front);
    p.restore();
}

void Picture(QPainter &p, const QRectF &frame) {
    Fill(p, Rect(frame.x(), frame.y(), frame.width(), frame.height()), Qt::white, Hex(0x505A66));
    Landscape(p, frame.adjusted(1.5, 1.5, -1.5, -1.5));
}

// The pencil from the tip at `tip`, pointing away from the upper right.
void Pencil(QPainter &p, QPointF tip, qreal length, qreal width) {
    p.save();
    p.translate(tip);
    p.rotate(-45);
    const qreal h = width / 2, cone = width * 0.85, lead = cone * 0.38;
    const qreal ferrule = length - width * 0.95, eraser = length - width * 0.45;
    QPainterPath outline = Polygon({{0, 0}, {cone, -h}, {length - 0.8, -h}, {length, -h + 0.8}, {length, h - 0.8}, {length - 0.8, h}, {cone, h}});
    p.setPen(Qt::NoPen);
    p.setBrush(Hex(0xF3D7A4));
    p.drawPath(Polygon({{0, 0}, {cone, -h}, {cone, h}}));
    p.setBrush(Hex(0x3A3A3A));
    p.drawPath(Polygon({{0, 0}, {lead, -h * lead / cone}, {lead, h * lead / cone}}));
    QLinearGradient wood = Vertical(-h, h, kGold.light, kGold.dark);
    wood.setColorAt(0.45, kGold.base);
    p.setBrush(wood);
    p.drawRect(QRectF(cone, -h, ferrule - cone, width));
    p.setBrush(Vertical(-h, h, Hex(0xE8ECF0), Hex(0x8E96A0)));
    p.drawRect(QRectF(ferrule, -h, eraser - ferrule, width));
    p.setBrush(Vertical(-h, h, Hex(0xFFB3BF), Hex(0xD9667A)));
    p.drawPath(Polygon({{eraser, -h}, {length - 0.8, -h}, {length, -h + 0.8}, {length, h - 0.8}, {length - 0.8, h}, {eraser, h}}));
    p.setPen(QPen(kGold.dark, 0.6));
    p.drawLine(QPointF(cone + 0.5, h / 3), QPointF(ferrule, h / 3));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Hex(0x5C4106), 1.0, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
    p.drawPath(outline);
    p.restore();
}

// ---------------------------------------------------------------- pictures

void DatabaseConnected(QPainter &p) {
    Cylinder(p, QRectF(1.5, 1.5, 11, 13), kBlue);
    Badge(p, {11.5, 11.5}, 4, kGreen);
    Polyline(p, {{9.6, 11.6}, {11.0, 13.0}, {13.5, 10.2}}, Qt::white, 1.5);
}

void DatabaseDisconnected(QPainter &p) {
    Cylinder(p, QRectF(1.5, 1.5, 11, 13), kGrey);
    Badge(p, {11.5, 11.5}, 4, kRed);
    Line(p, {10.0, 10.0}, {13.0, 13.0}, Qt::white, 1.5, Qt::RoundCap);
    Line(p, {13.0, 10.0}, {10.0, 13.0}, Qt::white, 1.5, Qt::RoundCap);
}

void Email(QPainter &p) {
    Fill(p, Rect(0.5, 2.5, 15, 11), Vertical(2.5, 13.5, kPaper.light, kPaper.dark), Hex(0x4D6480));
    Polyline(p, {{1.5, 12.5}, {6.2, 7.8}}, Hex(0xA9B7C8), 1.0);
    Polyline(p, {{14.5, 12.5}, {9.8, 7.8}}, Hex(0xA9B7C8), 1.0);
    QPainterPath flap = Polygon({{0.5, 2.5}, {8, 9.2}, {15.5, 2.5}});
    Fill(p, flap, Vertical(2.5, 9.2, Hex(0xFFFFFF), Hex(0xE4EAF2)), Hex(0x4D6480), 1.0, Qt::RoundJoin);
    // A red seal on the flap.
    Fill(p, Circle({8, 7.4}, 1.6), kRed.base, kRed.line, 0.7);
}

void Phone(QPainter &p) {
    // A desk telephone: the handset resting on a body with a round dial.
    const Tone t{Hex(0x8A94A3), Hex(0x4D5665), Hex(0x2B313B), Hex(0x171B21)};
    const QPainterPath body = Polygon({{4.5, 6.5}, {11.5, 6.5}, {14.5, 14.5}, {1.5, 14.5}});
    Fill(p, body, Vertical(6.5, 14.5, t.base, t.dark), t.line, 1.0, Qt::RoundJoin);
    Fill(p, Circle({8, 10.9}, 2.6), Vertical(8.3, 13.5, Hex(0xF4F6F8), Hex(0xB4BCC6)), t.line, 0.8);
    p.setPen(Qt::NoPen);
    p.setBrush(t.dark);
    p.drawEllipse(QPointF(8, 10.9), 0.9, 0.9);
    QPainterPath handset = Rounded(2.5, 1.5, 11, 3, 1.4).united(Rounded(0.5, 2.5, 4.5, 3.5, 1.2)).united(Rounded(11, 2.5, 4.5, 3.5, 1.2));
    Fill(p, handset.simplified(), Vertical(1.5, 6, t.light, t.base), t.line, 1.0, Qt::RoundJoin);
    Line(p, {4, 2.6}, {12, 2.6}, QColor(255, 255, 255, 120), 0.8);
}

void AccessData(QPainter &p) {
    const QPainterPath card = Rounded(0.5, 2.5, 15, 11, 1.5);
    Fill(p, card, Vertical(2.5, 13.5, kPaper.light, kPaper.dark), Hex(0x4F6580));
    p.save();
    p.setClipPath(card);
    p.fillRect(QRectF(0, 2, 16, 3.5), Vertical(2.5, 5.5, kBlue.light, kBlue.base));
    p.restore();
    Line(p, {1, 5.5}, {15, 5.5}, Hex(0x4F6580), 1.0);
    // Photo, user ID, and the hidden password as three dots.
    p.fillRect(QRectF(2, 7, 4, 5), Hex(0xD6E0EC));
    p.save();
    p.setClipRect(QRectF(2, 7, 4, 5));
    Fill(p, Circle({4, 8.9}, 1.3), Hex(0x5D7391), QColor());
    QPainterPath shoulders;
    shoulders.addEllipse(QRectF(1.6, 10.5, 4.8, 4.0));
    Fill(p, shoulders, Hex(0x5D7391), QColor());
    p.restore();
    Line(p, {7, 8.5}, {14, 8.5}, Hex(0x8894A3), 1.0);
    p.setPen(Qt::NoPen);
    p.setBrush(Hex(0x2B3440));
    for (const qreal x : {8.0, 11.0, 14.0}) p.drawEllipse(QPointF(x, 11.0), 1.0, 1.0);
}

void Appointments(QPainter &p) {
    Fill(p, Rect(1.5, 2.5, 13, 12), Vertical(2.5, 14.5, kPaper.light, kPaper.dark), Hex(0x5E6976));
    Fill(p, Rect(1.5, 2.5, 13, 3), Vertical(2.5, 5.5, kRed.light, kRed.base), kRed.line);
    p.setPen(Qt::NoPen);
    for (const int row : {0, 1, 2}) {
        for (const int col : {0, 1, 2, 3}) {
            const bool marked = row == 1 && col == 2;
            p.setBrush(marked ? kRed.base : Hex(0xA7B1BD));
            p.drawRect(QRectF(3 + col * 2.75, 7 + row * 2.5, 1.75, 1.5));
        }
    }
    for (const qreal x : {4.5, 11.5}) {
        Fill(p, Rounded(x - 1, 0.5, 2, 4, 0.8), Vertical(0.5, 4.5, Hex(0xE9EDF1), Hex(0x8B939D)), Hex(0x3F4650), 0.8);
    }
}

void RoundSign(QPainter &p, const Tone &t) {
    QRadialGradient g(QPointF(6.2, 4.8), 10.5);
    g.setColorAt(0, t.light);
    g.setColorAt(0.55, t.base);
    g.setColorAt(1, t.dark);
    Fill(p, Circle({8, 8}, 7), g, t.line);
}

void ProgramInfo(QPainter &p) {
    RoundSign(p, kBlue);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(8, 4.6), 1.3, 1.3);
    p.drawPath(Polygon({{6.2, 6.8}, {9.0, 6.8}, {9.0, 11.2}, {10.0, 11.2}, {10.0, 12.4}, {6.2, 12.4}, {6.2, 11.2}, {7.0, 11.2}, {7.0, 8.0}, {6.2, 8.0}}));
}

void Help(QPainter &p) {
    RoundSign(p, kTeal);
    QPainterPath hook;
    hook.moveTo(5.6, 6.0);
    hook.cubicTo(5.6, 2.6, 10.6, 2.6, 10.5, 5.8);
    hook.cubicTo(10.4, 7.6, 8.0, 7.6, 8.0, 9.8);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::white, 2.0, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
    p.drawPath(hook);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(8, 12.3), 1.25, 1.25);
}

void Add(QPainter &p) {
    const QPainterPath plus = Rect(1.5, 5.5, 13, 5).united(Rect(5.5, 1.5, 5, 13));
    Fill(p, plus, Vertical(1.5, 14.5, kGreen.light, kGreen.dark), kGreen.line);
    Line(p, {2.5, 6.5}, {6.0, 6.5}, QColor(255, 255, 255, 120));
    Line(p, {6.5, 2.5}, {6.5, 6.0}, QColor(255, 255, 255, 120));
}

void Save(QPainter &p) {
    const QPainterPath body = Polygon({{1.5, 1.5}, {12.5, 1.5}, {14.5, 3.5}, {14.5, 14.5}, {1.5, 14.5}});
    Fill(p, body, Vertical(1.5, 14.5, kBlue.light, kBlue.dark), kBlue.line);
    Fill(p, Rect(4.5, 1.5, 7, 5), Vertical(1.5, 6.5, Hex(0xF2F4F7), Hex(0xAEB5BF)), Hex(0x4E5864));
    p.fillRect(QRectF(8.5, 2.5, 2, 3), Hex(0x3C4550));
    Fill(p, Rect(3.5, 8.5, 9, 6), Vertical(8.5, 14.5, Hex(0xFFFFFF), Hex(0xE5EBF3)), kBlue.line);
    Line(p, {5, 10.5}, {11, 10.5}, Hex(0x9DB0C8));
    Line(p, {5, 12.5}, {11, 12.5}, Hex(0x9DB0C8));
}

void Edit(QPainter &p) { Pencil(p, {1.6, 14.4}, 17.6, 4.4); }

void Delete(QPainter &p) {
    const QPainterPath bin = Polygon({{3.5, 5.5}, {12.5, 5.5}, {11.5, 14.5}, {4.5, 14.5}});
    QLinearGradient side = Horizontal(3.5, 12.5, kGrey.base, kGrey.dark);
    side.setColorAt(0.3, kGrey.light);
    Fill(p, bin, side, kGrey.line);
    for (const qreal x : {6.5, 8.0, 9.5}) Line(p, {x, 7.5}, {x, 12.5}, Hex(0x6B727C), 0.9);
    Fill(p, Rounded(6.0, 1.5, 4, 2.5, 0.8), Qt::NoBrush, kGrey.line, 1.0);
    Fill(p, Rect(1.5, 3.5, 13, 2), Vertical(3.5, 5.5, kGrey.light, kGrey.base), kGrey.line);
}

void ImportPicture(QPainter &p) {
    Picture(p, QRectF(0.5, 4.5, 12, 10));
    const QPainterPath arrow = Arrow({12.0, 0.0}, {12.0, 9.5}, 3.0, 7.0, 4.0);
    Cut(p, arrow, 1.0);
    Fill(p, arrow, Horizontal(8.5, 15.5, kGreen.light, kGreen.dark), kGreen.line, 1.0);
}

void ExportPicture(QPainter &p) {
    Picture(p, QRectF(0.5, 4.5, 12, 10));
    const QPainterPath arrow = Arrow({12.0, 10.0}, {12.0, 0.5}, 3.0, 7.0, 4.0);
    Cut(p, arrow, 1.0);
    Fill(p, arrow, Horizontal(8.5, 15.5, kOrange.light, kOrange.dark), kOrange.line, 1.0);
}

void MasterPassword(QPainter &p) {
    QPainterPath shackle;
    shackle.moveTo(4.5, 8);
    shackle.lineTo(4.5, 5.0);
    shackle.arcTo(QRectF(4.5, 1.5, 7, 7), 180, -180);
    shackle.lineTo(11.5, 8);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Hex(0x4B5159), 2.8, Qt::SolidLine, Qt::FlatCap));
    p.drawPath(shackle);
    p.setPen(QPen(Hex(0xC6CCD4), 1.2, Qt::SolidLine, Qt::FlatCap));
    p.drawPath(shackle);
    Fill(p, Rounded(2.5, 7.5, 11, 8, 1.5), Vertical(7.5, 15.5, kGold.light, kGold.dark), kGold.line);
    Line(p, {3.5, 8.5}, {12.5, 8.5}, QColor(255, 255, 255, 150));
    p.setPen(Qt::NoPen);
    p.setBrush(Hex(0x5A3B00));
    p.drawEllipse(QPointF(8, 10.8), 1.35, 1.35);
    p.drawRect(QRectF(7.35, 11.2, 1.3, 2.6));
}

void Backup(QPainter &p) {
    Cylinder(p, QRectF(1.5, 1.5, 11, 13), kBlue);
    const QPainterPath arrow = Arrow({12.0, 5.5}, {12.0, 15.5}, 3.0, 7.0, 4.0);
    Cut(p, arrow, 1.0);
    Fill(p, arrow, Horizontal(8.5, 15.5, kGreen.light, kGreen.dark), kGreen.line, 1.0);
}

void Restore(QPainter &p) {
    Cylinder(p, QRectF(1.5, 1.5, 11, 13), kBlue);
    const QPainterPath arrow = Arrow({12.0, 15.5}, {12.0, 5.5}, 3.0, 7.0, 4.0);
    Cut(p, arrow, 1.0);
    Fill(p, arrow, Horizontal(8.5, 15.5, kOrange.light, kOrange.dark), kOrange.line, 1.0);
}

void Globe(QPainter &p, QPointF c, qreal r) {
    QRadialGradient sea(QPointF(c.x() - r * 0.35, c.y() - r * 0.4), r * 1.6);
    sea.setColorAt(0, Hex(0xA8DDFB));
    sea.setColorAt(0.5, Hex(0x3E97D8));
    sea.setColorAt(1, Hex(0x1D5C97));
    Fill(p, Circle(c, r), sea, Hex(0x164A7B));
    p.save();
    p.setClipPath(Circle(c, r - 0.5));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 255, 255, 150), 0.8));
    p.drawEllipse(c, r * 0.45, r);
    p.drawLine(QPointF(c.x(), c.y() - r), QPointF(c.x(), c.y() + r));
    p.drawLine(QPointF(c.x() - r, c.y()), QPointF(c.x() + r, c.y()));
    p.drawLine(QPointF(c.x() - r, c.y() - r * 0.5), QPointF(c.x() + r, c.y() - r * 0.5));
    p.drawLine(QPointF(c.x() - r, c.y() + r * 0.5), QPointF(c.x() + r, c.y() + r * 0.5));
    p.restore();
}

void UpdateCheck(QPainter &p) {
    Globe(p, {7.0, 7.0}, 6.5);
    const QPainterPath arrow = Arrow({12.0, 6.5}, {12.0, 15.5}, 3.0, 7.0, 4.0);
    Cut(p, arrow, 1.0);
    Fill(p, arrow, Horizontal(8.5, 15.5, kGreen.light, kGreen.dark), kGreen.line, 1.0);
}

void Log(QPainter &p) {
    const QPainterPath page = Polygon({{2.5, 0.5}, {10.5, 0.5}, {13.5, 3.5}, {13.5, 15.5}, {2.5, 15.5}});
    Fill(p, page, Vertical(0.5, 15.5, kPaper.light, kPaper.dark), kPaper.line);
    Fill(p, Polygon({{10.5, 0.5}, {10.5, 3.5}, {13.5, 3.5}}), Hex(0xDDE3EA), kPaper.line, 1.0, Qt::RoundJoin);
    // A time stamp, then the message, on each line.
    const std::array<qreal, 5> ends{9.0, 12.0, 11.0, 12.0, 10.0};
    for (int i = 0; i < 5; ++i) {
        const qreal y = 5.5 + 2 * i;
        Line(p, {4, y}, {6, y}, kBlue.base);
        Line(p, {7, y}, {ends[size_t(i)], y}, Hex(0x8C96A3));
    }
}

void ToDo(QPainter &p) {
    Fill(p, Rounded(2.5, 1.5, 11, 14, 1.2), Vertical(1.5, 15.5, Hex(0xD9A56B), Hex(0x99642E)), Hex(0x6B4118));
    Fill(p, Rect(4.5, 3.5, 7, 11), Vertical(3.5, 14.5, Hex(0xFFFFFF), Hex(0xECEFF3)), Hex(0xA08A70));
    Fill(p, Rounded(5.5, 0.5, 5, 3, 0.8), Vertical(0.5, 3.5, Hex(0xF0F2F5), Hex(0x8D96A1)), Hex(0x454C55));
    for (const qreal y : {6.5, 9.5}) {
        Polyline(p, {{5.3, y - 0.1}, {6.2, y + 0.9}, {7.6, y - 1.0}}, kGreen.dark, 1.2);
        Line(p, {8.5, y}, {10.5, y}, Hex(0x8C96A3));
    }
    Fill(p, Rect(5.5, 11.5, 2, 2), Qt::NoBrush, Hex(0x8C96A3), 0.8);
    Line(p, {8.5, 12.5}, {10.5, 12.5}, Hex(0x8C96A3));
}

void HintPanel(QPainter &p) {
    QPainterPath glass = Circle({8, 6.2}, 5.0).united(Polygon({{5.1, 9.4}, {10.9, 9.4}, {10.1, 11.5}, {5.9, 11.5}}));
    QRadialGradient light(QPointF(7.0, 5.0), 6.5);
    light.setColorAt(0, Hex(0xFFFBD6));
    light.setColorAt(0.45, Hex(0xFFE866));
    light.setColorAt(1, Hex(0xF0B400));
    Fill(p, glass.simplified(), light, Hex(0x9A7000), 1.0, Qt::RoundJoin);
    Polyline(p, {{6.6, 9.8}, {6.9, 7.0}, {7.6, 8.0}, {8.4, 7.0}, {9.1, 8.0}, {9.4, 9.8}}, Hex(0xC77700), 0.7);
    Fill(p, Rect(5.5, 11.5, 5, 3), Horizontal(5.5, 10.5, Hex(0xDADFE5), Hex(0x7D858F)), Hex(0x474D55));
    Line(p, {6, 13}, {10, 13}, Hex(0x5C636C), 0.7);
    p.setPen(Qt::NoPen);
    p.setBrush(Hex(0x474D55));
    p.drawRoundedRect(QRectF(6.8, 14.3, 2.4, 1.4), 0.6, 0.6);
}

void Spare(QPainter &p) {
    QPainterPath key = Circle({0, 0}, 3.8);
    key.addEllipse(QPointF(-1.0, 0), 1.25, 1.25);
    key.setFillRule(Qt::OddEvenFill);
    QPainterPath blade = Rect(3.2, -1.1, 9.0, 2.2).united(Rect(8.2, 0.8, 1.6, 2.4)).united(Rect(10.6, 0.8, 1.6, 3.2));
    key = key.united(blade);
    QTransform t;
    t.translate(4.6, 4.6);
    t.rotate(45);
    Fill(p, t.map(key).simplified(), Diagonal(QRectF(1, 1, 14, 14), kGold.light, kGold.dark), kGold.line, 0.9, Qt::RoundJoin);
}

void CancelEditing(QPainter &p) {
    RoundSign(p, kRed);
    Line(p, {5.4, 5.4}, {10.6, 10.6}, Qt::white, 2.0, Qt::RoundCap);
    Line(p, {10.6, 5.4}, {5.4, 10.6}, Qt::white, 2.0, Qt::RoundCap);
}

// The two legend pictures repeat what the calendar draws on a marked day.
void LegendAppointment(QPainter &p) { Fill(p, Rect(2.5, 2.5, 11, 11), Vertical(2.5, 13.5, Hex(0xF0473A), Hex(0xC8190F)), kRed.line); }

void LegendToDo(QPainter &p) {
    Fill(p, Circle({8, 8}, 5.5), Vertical(2.5, 13.5, Hex(0xF0473A), Hex(0xC8190F)), kRed.line, 1.0, Qt::RoundJoin);
}

void ZoomWholePicture(QPainter &p) {
    Line(p, {10.2, 10.2}, {14.2, 14.2}, Hex(0x2F2F33), 3.2, Qt::RoundCap);
    Line(p, {10.6, 10.6}, {13.6, 13.6}, Hex(0x6B6B73), 1.2, Qt::RoundCap);
    const QPointF c(6.5, 6.5);
    p.save();
    p.setClipPath(Circle(c, 4.6));
    Landscape(p, QRectF(1.5, 1.5, 10, 10));
    p.restore();
    QRadialGradient glare(QPointF(5.0, 4.6), 3.5);
    glare.setColorAt(0, QColor(255, 255, 255, 140));
    glare.setColorAt(1, QColor(255, 255, 255, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(glare);
    p.drawEllipse(c, 4.6, 4.6);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Hex(0x3A3F47), 1.4));
    p.drawEllipse(c, 5.0, 5.0);
}

using Painter = void (*)(QPainter &);
constexpr std::array<Painter, ImageListMain::Count> kPainters{
    DatabaseConnected, Email,  Phone,          AccessData,    Appointments,      ProgramInfo, Add,
    Save,              Edit,   Delete,         ImportPicture, Help,              MasterPassword,
    DatabaseDisconnected,      Backup,         Restore,       UpdateCheck,       Log,         ToDo,
    HintPanel,         Spare,  ExportPicture,  CancelEditing, LegendAppointment, LegendToDo,  ZoomWholePicture,
};

// ---------------------------------------------------------------- the safe

// Painted on a 32-unit grid; below 32 pixels the fine detail is left out.
void Safe(QPainter &p, bool fine) {
    const QColor dark = Hex(0x1A222D);
    p.setPen(Qt::NoPen);
    p.setBrush(dark);
    p.drawRoundedRect(QRectF(5, 26, 5, 4.5), 1, 1);
    p.drawRoundedRect(QRectF(22, 26, 5, 4.5), 1, 1);
    Fill(p, Rounded(1.5, 1.5, 29, 26, 3.5), Vertical(1.5, 27.5, Hex(0x7B8EA8), Hex(0x2C3A4C)), dark, fine ? 1.0 : 2.0);
    Fill(p, Rounded(5.5, 4.5, 21, 20, 2), Vertical(4.5, 24.5, Hex(0x9AAAC0), Hex(0x4C5D75)), dark, fine ? 1.0 : 2.0);
    if (fine) Line(p, {7, 5.7}, {25, 5.7}, QColor(255, 255, 255, 110));
    p.setPen(Qt::NoPen);
    p.setBrush(Vertical(7, 22, Hex(0x3B4654), dark));
    p.drawRoundedRect(QRectF(2.8, 8, 3.6, 4), 1, 1);
    p.drawRoundedRect(QRectF(2.8, 17, 3.6, 4), 1, 1);
    // The combination dial.
    const QPointF c(15, 14.5);
    QRadialGradient metal(QPointF(13.2, 12.4), 8);
    metal.setColorAt(0, Hex(0xFFFFFF));
    metal.setColorAt(0.6, Hex(0xC4CCD6));
    metal.setColorAt(1, Hex(0x7E8A99));
    Fill(p, Circle(c, 6.5), metal, dark, fine ? 1.0 : 1.6);
    if (fine) {
        p.setPen(QPen(Hex(0x39434F), 0.9, Qt::SolidLine, Qt::RoundCap));
        for (int i = 0; i < 12; ++i) {
            const qreal a = qDegreesToRadians(30.0 * i);
            p.drawLine(c + QPointF(std::cos(a), std::sin(a)) * 4.7, c + QPointF(std::cos(a), std::sin(a)) * 5.7);
        }
        Fill(p, Circle(c, 3.4), Vertical(c.y() - 3.4, c.y() + 3.4, Hex(0xDDE3EA), Hex(0x8794A4)), Hex(0x39434F), 0.8);
    }
    Fill(p, Circle(c, fine ? 1.5 : 2.2), Hex(0x2A323D), QColor());
    // The bolt handle, in brass.
    Fill(p, Rounded(23, 10.5, 2.6, 8, 1.3), Horizontal(23, 25.6, Hex(0xFFE27A), Hex(0xB07A06)), Hex(0x6E4A02), fine ? 0.8 : 1.4,
         Qt::RoundJoin);
}

QImage Canvas(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

}  // namespace

namespace {
// The painted icons of the run; let go with the application, while pixmaps
// can still be freed.
struct TPainted {
    std::array<QIcon, ImageListMain::Count> icons;
    QIcon application;
};
TPainted *&PaintedSlot() {
    static TPainted *painted = nullptr;
    return painted;
}
void ForgetPainted() {
    delete PaintedSlot();
    PaintedSlot() = nullptr;
}
TPainted &Painted() {
    if (!PaintedSlot()) {
        PaintedSlot() = new TPainted;
        qAddPostRoutine(ForgetPainted);
    }
    return *PaintedSlot();
}
}  // namespace

QImage ImageListMain::Image(Index index, int size) {
    if (index < 0 || index >= Count || size < 1) return QImage();
    QImage image = Canvas(size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 16.0, size / 16.0);
    kPainters[size_t(index)](p);
    p.end();
    return image;
}

QPixmap ImageListMain::Pixmap(Index index) { return Pixmap(index, Size); }

QPixmap ImageListMain::Pixmap(Index index, int size) {
    const QImage image = Image(index, size);
    return image.isNull() ? QPixmap() : QPixmap::fromImage(image);
}

QIcon ImageListMain::Icon(Index index) {
    if (index < 0 || index >= Count) return QIcon();
    // Painted once per run: the windows ask for the same icons many times
    // while they are built, before the main window can show.
    QIcon &icon = Painted().icons[size_t(index)];
    if (icon.isNull())
        for (const int size : {16, 24, 32, 48}) icon.addPixmap(Pixmap(index, size));
    return icon;
}

QImage ImageListMain::ApplicationImage(int size) {
    if (size < 1 || size > 1024) return QImage();
    QImage image = Canvas(size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);
    Safe(p, size >= 32);
    p.end();
    return image;
}

QIcon ImageListMain::ApplicationIcon() {
    QIcon &icon = Painted().application;
    if (icon.isNull())
        for (const int size : {16, 24, 32, 48, 64, 128, 256}) icon.addPixmap(QPixmap::fromImage(ApplicationImage(size)));
    return icon;
}

bool ImageListMain::WriteApplicationIconPng(const QString &path, int size) {
    const QImage image = ApplicationImage(size);
    return !image.isNull() && image.save(path, "PNG");
}
