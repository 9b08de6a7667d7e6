// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/artwork.h"

#include <QLinearGradient>
#include <QPainter>

namespace orv {

namespace {

const QColor kInk(0x1f, 0x3a, 0x5f);
const QColor kTrace(0xd9, 0x48, 0x2b);

// A stylised step response: the trace the tool draws, as a mark.
void drawTrace(QPainter& painter, const QRectF& box) {
    QPen pen(kTrace, box.height() / 10.0);
    pen.setCapStyle(Qt::RoundCap);
    painter.setPen(pen);
    const QPointF points[] = {
        {box.left(), box.bottom()},
        {box.left() + box.width() * 0.35, box.bottom()},
        {box.left() + box.width() * 0.45, box.top()},
        {box.left() + box.width() * 0.65, box.top() + box.height() * 0.3},
        {box.right(), box.top() + box.height() * 0.25},
    };
    painter.drawPolyline(points, 5);
}

}  // namespace

QIcon applicationIcon() {
    return QIcon(QPixmap::fromImage(applicationIconImage(64)));
}

QImage applicationIconImage(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    // Drawn on a grid of 64 units: a rounded square with the trace inside.
    const qreal unit = size / 64.0;
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(kInk);
    painter.setPen(Qt::NoPen);
    painter.drawRoundedRect(QRectF(2 * unit, 2 * unit, 60 * unit, 60 * unit), 12 * unit, 12 * unit);
    drawTrace(painter, QRectF(12 * unit, 18 * unit, 40 * unit, 28 * unit));
    return image;
}

QPixmap logoPixmap() {
    QPixmap pixmap(757, 54);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient fade(0, 0, 757, 0);
    fade.setColorAt(0.0, QColor(0xf4, 0xf6, 0xf9));
    fade.setColorAt(1.0, QColor(0xdc, 0xe4, 0xee));
    painter.fillRect(pixmap.rect(), fade);
    drawTrace(painter, QRectF(12, 12, 40, 30));
    QFont font(QStringLiteral("Sans Serif"), 20, QFont::Bold);
    painter.setFont(font);
    painter.setPen(kInk);
    painter.drawText(QRectF(64, 0, 300, 54), Qt::AlignVCenter | Qt::AlignLeft,
                     QStringLiteral("Orvellin"));
    return pixmap;
}

}  // namespace orv
