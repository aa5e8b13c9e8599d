// SPDX-License-Identifier: GPL-3.0-or-later
// Draws the program's artwork into resources/: the icon in every installed size, the About
// window's quill portrait and the link cursor. Run once after changing a drawing:
//   g++ -std=c++20 -fPIC draw-artwork.cpp $(pkg-config --cflags --libs Qt6Gui) -o /tmp/draw-artwork
//   QT_QPA_PLATFORM=offscreen /tmp/draw-artwork <path of resources/>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <cmath>

namespace {

// A manila folder holding a written list: each line a name in blue and a short size mark.
QImage drawIcon(int size)
{
    QImage img(size, size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const double s = size / 256.0;
    p.scale(s, s);
    const bool small = size <= 32;
    const double outline = std::max(1.0 / s, 6.0);
    const QColor ink(0x6b, 0x4a, 0x12);

    // Back of the folder with its tab.
    QPainterPath back;
    back.addRoundedRect(QRectF(18, 58, 220, 170), 14, 14);
    back.addRoundedRect(QRectF(24, 38, 92, 44), 12, 12);
    back.setFillRule(Qt::WindingFill);
    back = back.simplified();
    p.setPen(QPen(ink, outline));
    p.setBrush(QColor(0xd4, 0x9a, 0x34));
    p.drawPath(back);

    // The list sheet standing in the folder.
    const QRectF sheet(50, 22, 156, 170);
    p.setPen(QPen(QColor(0x70, 0x70, 0x78), outline * 0.8));
    p.setBrush(Qt::white);
    p.drawRect(sheet);
    const int lines = small ? 3 : 4;
    const double gap = small ? 36 : 26;
    const double thick = small ? std::max(16.0, 1.0 / s) : 11;
    const double ends[] = {150, 126, 160, 116};
    for (int i = 0; i < lines; ++i) {
        const double y = 52 + i * gap;
        p.setPen(QPen(QColor(0x1f, 0x4f, 0xb4), thick, Qt::SolidLine, small ? Qt::FlatCap : Qt::RoundCap));
        p.drawLine(QPointF(70, y), QPointF(small ? ends[i] + 10 : ends[i], y));
        p.setPen(QPen(QColor(0x2e, 0x8b, 0x57), thick, Qt::SolidLine, small ? Qt::FlatCap : Qt::RoundCap));
        p.drawLine(QPointF(small ? 176 : 172, y), QPointF(188, y));
    }

    // Front of the folder, a little lighter, over the lower part of the sheet.
    QPainterPath front;
    front.moveTo(10, 140);
    front.lineTo(246, 140);
    front.lineTo(232, 228);
    front.lineTo(24, 228);
    front.closeSubpath();
    QLinearGradient face(0, 140, 0, 228);
    face.setColorAt(0, QColor(0xf6, 0xcb, 0x6a));
    face.setColorAt(1, QColor(0xe3, 0xa8, 0x40));
    p.setPen(QPen(ink, outline, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(face);
    p.drawPath(front);
    return img;
}

QPointF along(const QPointF &a, const QPointF &c, const QPointF &b, double t)
{
    return (1 - t) * (1 - t) * a + 2 * (1 - t) * t * c + t * t * b;
}

// The author's portrait: a quill pen on parchment, with the flourish it has just written.
QImage drawQuill()
{
    constexpr int k = 4; // drawn four times larger, then scaled down smoothly
    QImage big(61 * k, 100 * k, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&big);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(k, k);
    QLinearGradient paper(0, 0, 20, 100);
    paper.setColorAt(0, QColor(0xf5, 0xe8, 0xc8));
    paper.setColorAt(1, QColor(0xd9, 0xbf, 0x8c));
    p.fillRect(QRectF(0, 0, 61, 100), paper);

    // The ink flourish under the nib.
    QPainterPath flourish;
    flourish.moveTo(13, 91);
    flourish.cubicTo(22, 98, 30, 86, 38, 93);
    flourish.cubicTo(43, 97, 48, 92, 54, 94);
    p.setPen(QPen(QColor(0x1b, 0x2a, 0x5a), 1.3, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(flourish);

    // The shaft runs from the top right down to the nib at the bottom left.
    const QPointF top(54, 3), bend(40, 42), nib(13, 90);
    const double vaneEnd = 0.68;
    auto normal = [&](double t) {
        const QPointF d = 2 * (1 - t) * (bend - top) + 2 * t * (nib - bend);
        const double len = std::hypot(d.x(), d.y());
        return QPointF(-d.y() / len, d.x() / len);
    };
    auto width = [&](double t) { return std::pow(std::sin(M_PI * std::min(t / vaneEnd, 1.0)), 0.7); };
    QPainterPath vane;
    const int steps = 60;
    for (int i = 0; i <= steps; ++i) {
        const double t = vaneEnd * i / steps;
        const QPointF q = along(top, bend, nib, t) + normal(t) * 10.5 * width(t);
        i == 0 ? vane.moveTo(q) : vane.lineTo(q);
    }
    for (int i = steps; i >= 0; --i) {
        const double t = vaneEnd * i / steps;
        // A notch in the outer vane, where the barbs have parted.
        const double notch = std::abs(t - 0.42) < 0.03 ? 0.55 : 1.0;
        vane.lineTo(along(top, bend, nib, t) - normal(t) * 7.5 * width(t) * notch);
    }
    vane.closeSubpath();
    QLinearGradient feather(60, 0, 20, 70);
    feather.setColorAt(0, QColor(0xff, 0xff, 0xff));
    feather.setColorAt(1, QColor(0xb9, 0xc6, 0xd9));
    p.setPen(QPen(QColor(0x55, 0x5f, 0x70), 0.6));
    p.setBrush(feather);
    p.drawPath(vane);

    // Barbs, slanting towards the tip.
    p.setClipPath(vane);
    p.setPen(QPen(QColor(0x7d, 0x8a, 0x9e, 150), 0.45));
    for (int i = 1; i < 28; ++i) {
        const double t = vaneEnd * i / 28;
        const QPointF on = along(top, bend, nib, t);
        const QPointF up = along(top, bend, nib, std::max(0.0, t - 0.12));
        p.drawLine(on, up + normal(t) * 12);
        p.drawLine(on, up - normal(t) * 9);
    }
    p.setClipping(false);

    // Shaft, barrel and the dark cut nib.
    QPainterPath shaft;
    shaft.moveTo(top);
    shaft.quadTo(bend, nib);
    QPainterPathStroker stroker;
    stroker.setWidth(1.6);
    stroker.setCapStyle(Qt::RoundCap);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xe8, 0xd6, 0xa0));
    p.drawPath(stroker.createStroke(shaft));
    p.setPen(QPen(QColor(0x8c, 0x7a, 0x50), 0.5));
    p.setBrush(Qt::NoBrush);
    p.drawPath(stroker.createStroke(shaft));
    QPainterPath point;
    const QPointF n1 = along(top, bend, nib, 0.9);
    const QPointF nn = normal(0.9);
    point.moveTo(n1 + nn * 1.6);
    point.lineTo(nib);
    point.lineTo(n1 - nn * 1.6);
    point.closeSubpath();
    p.setPen(QPen(QColor(0x20, 0x20, 0x24), 0.5));
    p.setBrush(QColor(0x2b, 0x2b, 0x30));
    p.drawPath(point);
    p.end();
    return big.scaled(61, 100, Qt::IgnoreAspectRatio, Qt::SmoothTransformation).convertToFormat(QImage::Format_RGB32);
}

// A pointing hand; its hot spot is the tip of the index finger (10, 1).
QImage drawLinkCursor()
{
    QImage img(32, 32, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath hand;
    hand.addRoundedRect(QRectF(8, 0.5, 5, 18), 2.5, 2.5);    // index finger
    hand.addRoundedRect(QRectF(13, 8.5, 4.5, 11), 2.2, 2.2); // middle finger
    hand.addRoundedRect(QRectF(17.5, 10, 4.5, 10), 2.2, 2.2); // ring finger
    hand.addRoundedRect(QRectF(22, 12, 4, 9), 2, 2);          // little finger
    hand.addRoundedRect(QRectF(7, 15, 19, 15), 5, 5);         // palm
    QPainterPath thumb;
    thumb.moveTo(3.5, 15.5);
    thumb.lineTo(9, 23);
    QPainterPathStroker stroker;
    stroker.setWidth(5);
    stroker.setCapStyle(Qt::RoundCap);
    hand.addPath(stroker.createStroke(thumb));
    hand.setFillRule(Qt::WindingFill);
    hand = hand.simplified();
    p.setPen(QPen(Qt::black, 1.2));
    p.setBrush(Qt::white);
    p.drawPath(hand);
    p.setPen(QPen(Qt::black, 1));
    p.drawLine(QPointF(13, 10), QPointF(13, 15));
    p.drawLine(QPointF(17.5, 11.5), QPointF(17.5, 16));
    p.drawLine(QPointF(22, 13.5), QPointF(22, 17));
    return img;
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("resources");
    for (int size : {16, 32, 48, 64, 128, 256})
        drawIcon(size).save(out + QStringLiteral("/icons/listwright-%1.png").arg(size));
    drawIcon(256).save(out + QStringLiteral("/icons/listwright.png"));
    drawQuill().save(out + QStringLiteral("/about/quill.png"));
    drawLinkCursor().save(out + QStringLiteral("/about/link-cursor.png"));
    return 0;
}
