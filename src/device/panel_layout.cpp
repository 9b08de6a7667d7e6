// SPDX-License-Identifier: GPL-3.0-or-later
// Where the panel's controls sit, in dialog units of the panel's font.

#include <QApplication>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QProgressBar>
#include <QProxyStyle>
#include <QPushButton>
#include <QScrollBar>
#include <QTabBar>

#include "acquire/chart_view.h"
#include "acquire/swatch.h"
#include "controls/dialog_units.h"
#include "controls/tc_edit.h"
#include "device/page_controls.h"
#include "device/panel.h"

namespace orv {

namespace {

constexpr int kPanelWidth = 576;
constexpr int kPanelHeight = 308;

// Inside its one-pixel frame the chart needs its whole grid (x up to 501)
// and the top value number (from y = H - 337): 504 x 339 pixels at least,
// whatever the font makes of its dialog units.
constexpr QRect kChartUnits{228, 38, 337, 207};
constexpr QSize kChartMinimum{504, 339};

// Seven tabs share the width of the tab area: the tabs keep the
// application's style with a narrower margin beside their text. One style
// serves every panel window and lives as long as the application.
class CompactTabStyle final : public QProxyStyle {
public:
    int pixelMetric(PixelMetric metric, const QStyleOption* option,
                    const QWidget* widget) const override {
        if (metric == PM_TabBarTabHSpace) {
            return kTabMargin;
        }
        return QProxyStyle::pixelMetric(metric, option, widget);
    }

private:
    static constexpr int kTabMargin = 10;
};

QStyle* compactTabStyle() {
    static QPointer<QStyle> style;
    if (!style) {
        style = new CompactTabStyle;
        style->setParent(qApp);
    }
    return style;
}

}  // namespace

void ZN410Dlg::buildControls() {
    const DialogUnits du(font());

    gainList_ = labelled(addList(this, "gainList", du.rect(42, 8, 36, 12)),
                         addLabel(this, "PGA Gain", du.rect(8, 10, 32, 8)));
    dataRateList_ = labelled(addList(this, "dataRateList", du.rect(152, 8, 66, 12)),
                             addLabel(this, "Effective Data Rate", du.rect(84, 10, 66, 8)));

    tab_ = new QTabBar(this);
    tab_->setStyle(compactTabStyle());
    tab_->setObjectName(QStringLiteral("tabs"));
    tab_->setAccessibleName(QStringLiteral("Register pages"));
    tab_->setDrawBase(false);
    tab_->setExpanding(false);
    tab_->setUsesScrollButtons(false);
    tabArea_ = new QFrame(this);
    tabArea_->setFrameStyle(QFrame::StyledPanel | QFrame::Raised);

    writeButton_ = addButton(this, "Write", "writeButton", du.rect(40, 266, 50, 14));
    readButton_ = addButton(this, "Read", "readButton", du.rect(100, 266, 50, 14));

    auto* countLabel = addLabel(this, "Data Count", du.rect(8, 290, 40, 8));
    dataCount_ = labelled(new CTCEdit(this), countLabel);
    dataCount_->setObjectName(QStringLiteral("dataCount"));
    dataCount_->setGeometry(du.rect(50, 288, 40, 12));
    startButton_ = addButton(this, "Start get ADC data", "startButton", du.rect(100, 287, 80, 14));
    // In the free space right of the start button, under the tab area.
    analysisButton_ = addButton(this, "Analysis", "analysisButton", du.rect(184, 287, 36, 14));
    // Above it, right of "Read": it only asks for the window, as "Analysis"
    // does, so it keeps no member.
    QPushButton* noiseTable =
        addButton(this, "Noise Table", "noiseTableButton", du.rect(170, 266, 50, 14));
    connect(noiseTable, &QPushButton::clicked, this, &ZN410Dlg::noiseTableRequested);

    buildAcquisitionArea();
    resize(std::max(du.x(kPanelWidth), chart_->geometry().right() + du.x(11)),
           std::max(du.y(kPanelHeight), logFilePath_->geometry().bottom() + du.y(2)));
}

// The tab row is as high as its tabs, so it is placed once they are in; the
// area under it reaches down to the "Write" and "Read" buttons.
void ZN410Dlg::fitTabArea() {
    const DialogUnits du(font());
    tab_->setGeometry(du.x(8), du.y(24), du.x(212), tab_->sizeHint().height());
    const int top = tab_->geometry().bottom() + 1;
    tabArea_->setGeometry(du.x(8), top, du.x(212), du.y(260) - top);
}

// Everything right of the tabs; the rows under the chart follow its bottom,
// so that a chart grown to its minimum size pushes them down.
void ZN410Dlg::buildAcquisitionArea() {
    const DialogUnits du(font());

    progress_ =
        labelled(new QProgressBar(this), addLabel(this, "Collecting", du.rect(228, 12, 36, 8)));
    progress_->setObjectName(QStringLiteral("progress"));
    progress_->setRange(0, 100);
    progress_->setValue(0);
    progress_->setTextVisible(false);
    progress_->setGeometry(du.rect(266, 11, 299, 10));

    const QRect chartRect =
        du.rect(kChartUnits.x(), kChartUnits.y(), kChartUnits.width(), kChartUnits.height());
    chart_ = new ChartView(this);
    chart_->setObjectName(QStringLiteral("chartArea"));
    chart_->setAccessibleName(QStringLiteral("Chart"));
    chart_->setGeometry(chartRect.x(), chartRect.y(),
                        std::max(chartRect.width(), kChartMinimum.width()),
                        std::max(chartRect.height(), kChartMinimum.height()));

    int y = chart_->geometry().bottom() + 1 + du.y(2);
    scrollBar_ = new QScrollBar(Qt::Horizontal, this);
    scrollBar_->setObjectName(QStringLiteral("scrollBar"));
    scrollBar_->setAccessibleName(QStringLiteral("Samples"));
    scrollBar_->setGeometry(chart_->x(), y, chart_->width(), du.y(10));

    y = scrollBar_->geometry().bottom() + 1 + du.y(6);
    const auto statistic = [&](const char* caption, const char* name, int labelX, int fieldX) {
        QLabel* label =
            addLabel(this, caption, QRect(du.x(labelX), y + du.y(2), du.x(32), du.y(8)));
        return labelled(addReadOnlyField(this, name, QRect(du.x(fieldX), y, du.x(56), du.y(12))),
                        label);
    };
    minimum_ = statistic("Minimum", "minimum", 228, 262);
    maximum_ = statistic("Maximum", "maximum", 326, 360);
    average_ = statistic("Average", "average", 424, 458);

    y += du.y(16);
    const auto swatch = [&](const char* caption, const char* name, const std::uint32_t& colour,
                            int labelX, int labelWidth) {
        QLabel* label =
            addLabel(this, caption, QRect(du.x(labelX), y + du.y(2), du.x(labelWidth), du.y(8)));
        auto* box = labelled(new Swatch(colour, this), label);
        box->setObjectName(QString::fromLatin1(name));
        box->setGeometry(du.x(labelX + labelWidth + 2), y, du.x(20), du.y(12));
        return box;
    };
    swatches_ = {swatch("Scale Color", "scaleColor", colours_.scale, 228, 40),
                 swatch("Grid Color", "gridColor", colours_.grid, 300, 38),
                 swatch("Line chart Color", "lineColor", colours_.line, 370, 58),
                 swatch("Background Color", "backgroundColor", colours_.background, 460, 62)};

    y += du.y(16);
    QLabel* pathLabel =
        addLabel(this, "Log File Path", QRect(du.x(228), y + du.y(2), du.x(46), du.y(8)));
    logFilePath_ = labelled(
        addReadOnlyField(this, "logFilePath", QRect(du.x(276), y, du.x(228), du.y(12))), pathLabel);
    saveFile_ = addButton(this, "Save File", "saveFileButton",
                          QRect(du.x(512), y - du.y(1), du.x(53), du.y(14)));
}

}  // namespace orv
