// SPDX-License-Identifier: GPL-3.0-or-later
#include "acquire/chart_image.h"

#include <QPainter>
#include <cstdlib>

#include "controls/colour_ref.h"

namespace orv {

namespace {

constexpr int kLeft = 50;          // x of vertical grid line 0
constexpr int kBottomMargin = 30;  // from the bottom edge to horizontal line 0

// The pixels of the segment from `a` toward `b`, `a` included and `b` not.
void drawSegment(QImage& image, QPoint a, QPoint b, QRgb colour) {
    const int dx = std::abs(b.x() - a.x());
    const int dy = -std::abs(b.y() - a.y());
    const int sx = a.x() < b.x() ? 1 : -1;
    const int sy = a.y() < b.y() ? 1 : -1;
    int error = dx + dy;
    QPoint p = a;
    while (p != b) {
        if (image.rect().contains(p)) {
            image.setPixel(p, colour);
        }
        const int twice = 2 * error;
        if (twice >= dy) {
            error += dy;
            p.rx() += sx;
        }
        if (twice <= dx) {
            error += dx;
            p.ry() += sy;
        }
    }
}

void drawGrid(QImage& image, const ChartState& state, QRgb colour) {
    const int w = image.width();
    const int h = image.height();
    for (int e = 0; e <= kGridColumns; ++e) {
        const int x = kLeft + e * state.xStep;
        const bool major = e % kMajorEvery == 0;
        for (int copy = 0; copy < (major ? 2 : 1); ++copy) {
            drawSegment(image, {x + copy, 0}, {x + copy, h - kBottomMargin}, colour);
            if (major) {
                drawSegment(image, {x + copy, h - 27}, {x + copy, h - 24}, colour);
            }
        }
    }
    for (int j = 0; j <= kGridRows; ++j) {
        const int y = h - kBottomMargin - j * state.yStep;
        const bool major = j % kMajorEvery == 0;
        for (int copy = 0; copy < (major ? 2 : 1); ++copy) {
            drawSegment(image, {kLeft, y - copy}, {w, y - copy}, colour);
            if (major) {
                drawSegment(image, {47, y - copy}, {44, y - copy}, colour);
            }
        }
    }
}

void drawNumbers(QImage& image, const ChartState& state, int first, const ChartColours& colours,
                 const QFont& font) {
    QPainter painter(&image);
    painter.setFont(font);
    painter.setPen(fromColourRef(colours.scale));
    painter.setBackground(fromColourRef(colours.background));
    painter.setBackgroundMode(Qt::OpaqueMode);
    const int flags = Qt::AlignHCenter | Qt::AlignTop | Qt::TextDontClip;
    for (const ChartLabel& label : chartLabels(state, first, image.height())) {
        painter.drawText(
            QRect(QPoint(label.left, label.top), QPoint(label.right - 1, label.bottom - 1)), flags,
            QString::fromStdString(label.text));
    }
}

void drawTrace(QImage& image, const ChartState& state, const SampleList& samples, int first,
               QRgb colour) {
    const auto n = static_cast<std::int64_t>(samples.size());
    if (first < 0 || first >= n || state.yUnit <= 0.0F) {
        return;
    }
    const std::int64_t bottom = rowValue(state, 0);
    const float unitsPerPixel = state.yUnit / static_cast<float>(state.yStep);
    const auto point = [&](int k) {
        const auto sample = samples[static_cast<std::size_t>(first + k)];
        const float x = static_cast<float>(k) * state.xScale * static_cast<float>(state.xStep) +
                        static_cast<float>(state.xStep) + kLeft;
        const float y = static_cast<float>(image.height() - kBottomMargin) -
                        static_cast<float>(sample - bottom) / unitsPerPixel;
        return QPoint(static_cast<int>(x), static_cast<int>(y));
    };
    QPoint from = point(0);
    for (int k = 1; k < kGridColumns && first + k < n; ++k) {
        const QPoint to = point(k);
        drawSegment(image, from, to, colour);
        from = to;
    }
}

}  // namespace

QImage renderChart(ChartState& state, const SampleList& samples, int first,
                   const ChartColours& colours, QSize size, const QFont& font) {
    if (samples.empty()) {
        state.xScale = 1.0F;
        state.xStep = 10;
        state.yStep = 10;
    }
    QImage image(size, QImage::Format_RGB32);
    image.fill(fromColourRef(colours.background));
    drawGrid(image, state, fromColourRef(colours.grid).rgb());
    if (samples.empty()) {
        return image;
    }
    drawNumbers(image, state, first, colours, font);
    drawTrace(image, state, samples, first, fromColourRef(colours.line).rgb());
    return image;
}

}  // namespace orv
