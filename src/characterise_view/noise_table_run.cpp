// SPDX-License-Identifier: GPL-3.0-or-later
// The Noise Table window's run: the busy flag, the progress, the cells as
// they arrive and what the status line says at the end.

#include <QCoreApplication>
#include <QPointer>
#include <QProgressBar>

#include "characterise_view/noise_grid.h"
#include "characterise_view/noise_table_window.h"
#include "characterise_view/sweep_selection.h"
#include "controls/busy_scope.h"
#include "controls/value_label.h"
#include "link/link.h"
#include "seams/prompts.h"

namespace orv {

namespace {

using characterise::SweepEnd;

// The run's messages belong to the window while it lives and to no window
// once it went: the run writes the registers back after the window was
// closed and deleted, and a failure then must not name it as the owner.
class GuardedPrompts final : public Prompts {
public:
    GuardedPrompts(Prompts& prompts, QWidget* owner) : prompts_(prompts), owner_(owner) {}

    void message(PromptOwner, const std::string& text, const std::string& caption,
                 MessageIcon icon) override {
        prompts_.message(owner_.data(), text, caption, icon);
    }
    std::optional<std::uint32_t> chooseColour(PromptOwner, std::uint32_t initial) override {
        return prompts_.chooseColour(owner_.data(), initial);
    }
    std::optional<std::string> chooseFile(PromptOwner, const FileRequest& request) override {
        return prompts_.chooseFile(owner_.data(), request);
    }

private:
    Prompts& prompts_;
    QPointer<QWidget> owner_;
};

QString text(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

}  // namespace

// What the run shows, and the user interface let run after every result.
// Any handler may run then, and the window itself may go: the run then ends
// after that result without touching the window again.
class NoiseTableWindow::Progress final : public characterise::SweepView {
public:
    explicit Progress(NoiseTableWindow& window) : window_(&window) {}

    void cellStarted(std::size_t index, std::size_t total, double secondsLeft) override {
        if (window_) {
            window_->cellStarted(index, total, secondsLeft);
        }
    }
    void showProgress(int position) override {
        if (window_) {
            window_->showProgress(position);
        }
    }
    bool keepGoing() override {
        QCoreApplication::processEvents();
        return window_ && !window_->stopRequested();
    }
    void cellMeasured(const characterise::NoiseCell& cell) override {
        if (window_) {
            window_->cellMeasured(cell);
        }
    }

private:
    QPointer<NoiseTableWindow> window_;
};

// Start is disabled for a plan the run refuses; a Start that still comes
// (during a run, or while the panel talks to the EVM) does nothing.
void NoiseTableWindow::start() {
    const characterise::SweepPlan plan = selection_->plan();
    if (running_ || characterise::planError(plan)) {
        return;
    }
    const BusyScope busy(busy_);
    if (!busy.acquired()) {
        return;
    }
    if (!link_.isOpen()) {
        showStatus(QStringLiteral(
            "No EVM is connected: press \u201CDetect EVM\u201D in the main window first."));
        return;
    }
    const std::size_t total = characterise::cellsOf(plan).size();
    const QPointer<NoiseTableWindow> alive(this);
    beginRun(plan);
    Progress view(*this);
    GuardedPrompts prompts(prompts_, this);
    const characterise::SweepOutcome outcome =
        characterise::runNoiseTable(link_, prompts, this, plan, view);
    if (alive) {
        endRun(outcome, total);
    }
}

void NoiseTableWindow::beginRun(const characterise::SweepPlan& plan) {
    stopRequested_ = false;
    shownPlan_ = plan;
    cells_.clear();
    grid_->setShape(plan);
    progress_->setValue(0);
    runText_->setValue(QString());
    showStatus(QStringLiteral("Running\u2026"));
    setRunning(true);
}

void NoiseTableWindow::cellStarted(std::size_t index, std::size_t total, double secondsLeft) {
    progress_->setValue(0);
    runText_->setValue(QStringLiteral("Cell %1 of %2, about %3 left")
                           .arg(index + 1)
                           .arg(total)
                           .arg(text(characterise::durationText(secondsLeft))));
}

// 101 leaves the bar full: the bar takes no value beyond its range.
void NoiseTableWindow::showProgress(int position) {
    progress_->setValue(position);
}

void NoiseTableWindow::cellMeasured(const characterise::NoiseCell& cell) {
    cells_.push_back(cell);
    showCells();
}

void NoiseTableWindow::showCells() {
    grid_->showCells(cells_, figure());
}

void NoiseTableWindow::endRun(const characterise::SweepOutcome& outcome, std::size_t total) {
    setRunning(false);
    stopRequested_ = false;
    cells_ = outcome.cells;
    showCells();
    const std::size_t measured = outcome.cells.size();
    const QString count = QStringLiteral("%1 of %2 cells measured").arg(measured).arg(total);
    runText_->setValue(count);
    QString said;
    switch (outcome.end) {
        case SweepEnd::Finished:
            said = QStringLiteral("Finished: ") + count + QLatin1Char('.');
            break;
        case SweepEnd::Stopped:
            progress_->setValue(0);
            said = QStringLiteral("Stopped: ") + count + QLatin1Char('.');
            break;
        case SweepEnd::Failed: {
            progress_->setValue(0);
            const auto cells = characterise::cellsOf(shownPlan_);
            said = QStringLiteral("Failed");
            if (measured < cells.size()) {
                said += QStringLiteral(" at gain %1 and %2 SPS")
                            .arg(cells[measured].gain)
                            .arg(QString::number(cells[measured].rateSps));
            }
            said += QStringLiteral(": ") + count + QLatin1Char('.');
            break;
        }
    }
    if (const auto note = characterise::restoreNote(outcome)) {
        said += QLatin1Char(' ') + text(*note);
    }
    showStatus(said);
}

}  // namespace orv
