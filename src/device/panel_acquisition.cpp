// SPDX-License-Identifier: GPL-3.0-or-later
// The panel's collection of a block of conversion results.

#include <QCoreApplication>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>

#include "controls/tc_edit.h"
#include "converter/collect.h"
#include "device/disabled_while.h"
#include "device/panel.h"
#include "device/panel_data.h"
#include "link/link.h"
#include "seams/prompts.h"

namespace orv {

namespace {

constexpr int kViewPage = 45;

// The progress bar, and the user interface let run after every item. Any
// handler may run then, and the panel itself may go: the collection then
// ends without touching it again.
class PanelCollection final : public CollectionView {
public:
    PanelCollection(ZN410Dlg& panel, QProgressBar& bar) : panel_(&panel), bar_(&bar) {}

    void showProgress(int position) override { bar_->setValue(position); }

    bool keepGoing() override {
        QCoreApplication::processEvents();
        return panel_ && !panel_->stopRequested();
    }

private:
    QPointer<ZN410Dlg> panel_;
    QProgressBar* bar_;  // a child of the panel
};

}  // namespace

std::optional<int> ZN410Dlg::dataCount() const {
    const auto count = parseDataCount(dataCount_->text().toStdString());
    return count ? std::optional(count->count) : std::nullopt;
}

void ZN410Dlg::StartAcquisition() {
    bool windowStays = true;
    {
        // The flag lives in the panel data, which outlives this window.
        const BusyScope busy(data_.busy);
        if (!busy.acquired()) {
            return;
        }
        const DisabledWhile disabled(startButton_);
        windowStays = collect();
    }
    if (windowStays) {
        emit acquisitionFinished();
    }
}

// False when the window went away while the user interface ran: it then
// returns at once, touching nothing of the window.
bool ZN410Dlg::collect() {
    const auto count = parseDataCount(dataCount_->text().toStdString());
    if (!count) {
        prompts_.message(this, "Data count should be from 1 to 65535 !", "Error occured !");
        return true;
    }
    if (count->defaulted) {
        dataCount_->setText(QString::number(kDefaultDataCount));
    }
    // The previous block is released before the next one is allocated.
    RawBlock().swap(rawBlock_);
    rawBlock_.resize(kItemSize * static_cast<std::size_t>(count->count));
    setScrollInfo({.minimum = 0, .maximum = count->count - 1, .page = kViewPage, .position = 0});

    const RegisterImage image = data_.image;
    const LocalTime started = link_.clock().localTime();
    const LocalTime startedUtc = link_.clock().utcTime();
    const Clock::TimePoint startedAt = link_.clock().now();
    const std::string port = link_.portName(link_.state().portNumber);
    collecting_ = true;
    stopRequested_ = false;
    const QPointer<ZN410Dlg> alive(this);
    PanelCollection view(*this, *progress_);
    const int status = CollectSamples(link_, prompts_, this, rawBlock_, count->count, view);
    if (!alive) {
        return false;
    }
    collecting_ = false;
    if (status == kCollectionStopped) {
        progress_->setValue(0);
    } else if (status == link_status::kSuccess) {
        BuildSampleList(rawBlock_, count->count, data_.samples);
        data_.sampleItems = rawBlock_;
        data_.sampleImage = image;
        data_.sampleStarted = started;
        data_.sampleStartedUtc = startedUtc;
        data_.sampleStartedAt = startedAt;
        data_.samplePort = port;
        AnalyseSamples();
        DrawChart(0);
        emit samplesChanged();
    }
    return true;
}

}  // namespace orv
