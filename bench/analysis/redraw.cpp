// SPDX-License-Identifier: GPL-3.0-or-later
#include "redraw.h"

#include <qcustomplot.h>

#include <QApplication>
#include <string>

#include "analysis_view/analysis_window.h"
#include "measure.h"
#include "seams/prompts.h"

namespace orv::bench {

namespace {

constexpr double kGoalMs = 30.0;

// The benchmark asks nothing of the user.
class SilentPrompts final : public Prompts {
public:
    void message(PromptOwner, const std::string&, const std::string&, MessageIcon) override {}
    std::optional<std::uint32_t> chooseColour(PromptOwner, std::uint32_t) override { return {}; }
    std::optional<std::string> chooseFile(PromptOwner, const FileRequest&) override { return {}; }
};

}  // namespace

void runRedraw(const std::vector<std::int32_t>& codes, int repeats) {
    SilentPrompts prompts;
    AnalysisWindow window(prompts);
    window.resize(1100, 700);
    window.show();
    QApplication::processEvents();
    const analysis::Scale scale{.gain = 1, .rateHz = 30000.0, .vref = 2.5};
    const auto plots = window.findChildren<QCustomPlot*>();

    printSection("The Analysis window taking a block of " + std::to_string(codes.size()) +
                 " samples, median of " + std::to_string(repeats) + " runs after one warm-up");
    measure("figures, fields, view in sight", std::nullopt, repeats, [&] {
        window.showBlock(codes, scale, QStringLiteral("Collected"));
        plots.front()->replot(QCustomPlot::rpImmediateRefresh);
    });
    measure("figures, fields, all three views", kGoalMs, repeats, [&] {
        window.showBlock(codes, scale, QStringLiteral("Collected"));
        for (QCustomPlot* plot : plots) {
            plot->replot(QCustomPlot::rpImmediateRefresh);
        }
    });
}

}  // namespace orv::bench
