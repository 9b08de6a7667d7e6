// SPDX-License-Identifier: GPL-3.0-or-later
#include <QFont>
#include <QImage>

#include "acquire/chart_image.h"
#include "controls/colour_ref.h"
#include "sample_blocks.h"
#include "test_registry.h"

using namespace orv;
using test::ramp;

namespace {

constexpr QSize kSize{503, 337};
constexpr int H = kSize.height();

struct Picture {
    explicit Picture(SampleList list, int first = 0) : samples(std::move(list)) {
        if (!samples.empty()) {
            state = AnalyseSamples(samples);
        }
        image = renderChart(state, samples, first, colours, kSize, QFont());
    }
    std::uint32_t at(int x, int y) const { return toColourRef(image.pixelColor(x, y)); }
    // How many pixels of `colour` the picture has inside `box`.
    int count(std::uint32_t colour, QRect box) const {
        int n = 0;
        for (int y = box.top(); y <= box.bottom(); ++y) {
            for (int x = box.left(); x <= box.right(); ++x) {
                n += at(x, y) == colour ? 1 : 0;
            }
        }
        return n;
    }
    // The trace's topmost y in column `x`, or -1 where it has no pixel.
    int traceAt(int x) const {
        for (int y = 0; y < H; ++y) {
            if (at(x, y) == colours.line) {
                return y;
            }
        }
        return -1;
    }

    ChartColours colours;
    ChartState state;
    SampleList samples;
    QImage image;
};

class ChartImageTest final : public QObject {
    Q_OBJECT
private slots:
    // Grid lines cover their first pixel and stop before their last; every
    // fifth line is doubled and has a tick.
    void drawsTheGridAlone() {
        const Picture p{{}};
        const ChartColours c;
        QCOMPARE(p.state.xStep, 10);
        QCOMPARE(p.state.yStep, 10);
        QCOMPARE(p.count(c.background, p.image.rect()) + p.count(c.grid, p.image.rect()),
                 kSize.width() * kSize.height());
        QCOMPARE(p.at(50, 0), c.grid);
        QCOMPARE(p.at(51, 0), c.grid);  // line 0 doubled
        QCOMPARE(p.at(52, 100), c.background);
        QCOMPARE(p.at(60, H - 31), c.grid);
        QCOMPARE(p.at(60, H - 30), c.grid);  // horizontal line 0
        QCOMPARE(p.at(60, H - 29), c.background);
        QCOMPARE(p.at(61, H - 40), c.grid);        // horizontal line 1 is single
        QCOMPARE(p.at(61, H - 41), c.background);  //
        QCOMPARE(p.at(50, H - 27), c.grid);        // tick under line 0
        QCOMPARE(p.at(50, H - 25), c.grid);
        QCOMPARE(p.at(50, H - 24), c.background);
        QCOMPARE(p.at(60, H - 27), c.background);  // no tick under line 1
        QCOMPARE(p.at(47, H - 30), c.grid);        // tick left of row 0
        QCOMPARE(p.at(45, H - 31), c.grid);
        QCOMPARE(p.at(44, H - 30), c.background);
        QCOMPARE(p.at(kSize.width() - 1, H - 330), c.grid);  // row 30 runs to the edge
        QCOMPARE(p.at(501, 0), c.grid);                      // line 45 doubled
        QCOMPARE(p.at(502, 0), c.background);
    }

    void placesSamplesOnTheScale() {
        const Picture p{ramp(1003, 1047)};
        const ChartColours c;
        // Sample 17 is 1020, the centre line's value, on vertical line 18.
        QCOMPARE(p.samples[17], 1020);
        QCOMPARE(p.at(60 + 17 * 10, H - 180), c.line);
        QCOMPARE(p.traceAt(60), H - 30 - (1003 - 870));
        QCOMPARE(p.traceAt(490), H - 30 - (1046 - 870));
        // The last point ends the last segment and is not drawn.
        QCOMPARE(p.traceAt(500), -1);
    }

    // Numbers in the scale colour inside their boxes, and nowhere else.
    void writesTheNumbersInTheirBoxes() {
        const Picture p{ramp(1003, 1047), 0};
        const ChartColours c;
        int inside = 0;
        for (const ChartLabel& label : chartLabels(p.state, 0, H)) {
            const QRect box =
                QRect(QPoint(label.left, label.top), QPoint(label.right - 1, label.bottom - 1))
                    .intersected(p.image.rect());
            const int n = p.count(c.scale, box);
            QVERIFY2(n > 0, label.text.c_str());
            inside += n;
        }
        QCOMPARE(p.count(c.scale, p.image.rect()), inside);
    }

    void drawsNoTracePastTheEnd_data() {
        QTest::addColumn<int>("first");
        QTest::newRow("at the end") << 45;
        QTest::newRow("past the end") << 1000;
        QTest::newRow("negative") << -1;
    }
    void drawsNoTracePastTheEnd() {
        QFETCH(int, first);
        const Picture p{ramp(1003, 1047), first};
        QCOMPARE(p.count(ChartColours{}.line, p.image.rect()), 0);
        QVERIFY(p.count(ChartColours{}.scale, p.image.rect()) > 0);
    }

    // From sample 55 of 100 only 45 points remain; from 99 a single point,
    // which draws nothing.
    void drawsWhatIsLeftOfTheBlock() {
        const Picture fromLast{ramp(0, 99), 99};
        QCOMPARE(fromLast.count(ChartColours{}.line, fromLast.image.rect()), 0);
        const Picture from56{ramp(0, 99), 56};
        QVERIFY(from56.traceAt(60) >= 0);
        QVERIFY(from56.traceAt(60 + 42 * 10) >= 0);
        QCOMPARE(from56.traceAt(60 + 43 * 10), -1);
    }

    // However wide the block, the trace stays within the grid.
    void keepsAFullScaleBlockInside() {
        SampleList samples(45, 0);
        samples[0] = -8388608;
        samples[44] = 8388607;
        const Picture p{samples};
        for (const int x : {60, 61, 70, 490, 499}) {
            const int y = p.traceAt(x);
            QVERIFY2(y > H - 331 && y < H - 30, qPrintable(QString("x %1 y %2").arg(x).arg(y)));
        }
    }

    void usesTheGivenColours() {
        Picture p{ramp(1003, 1047)};
        p.colours = {
            .scale = 0x0000FF00, .grid = 0x00FF0000, .line = 0x00000001, .background = 0x00FFFFFF};
        p.image = renderChart(p.state, p.samples, 0, p.colours, kSize, QFont());
        QCOMPARE(p.at(0, 0), 0x00FFFFFFU);
        QCOMPARE(p.at(50, 0), 0x00FF0000U);
        QCOMPARE(p.at(230, H - 180), 0x00000001U);
    }
};

}  // namespace

ORV_REGISTER_TEST(ChartImageTest);
#include "test_chart_image.moc"
