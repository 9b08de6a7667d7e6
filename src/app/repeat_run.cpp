// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/repeat_run.h"

#include <QDir>
#include <QFileInfo>
#include <QTimer>

#include "analysis_view/analysis_window.h"
#include "app/block_analysis.h"
#include "device/panel.h"
#include "device/panel_data.h"
#include "link/link.h"
#include "seams/prompts.h"

namespace orv {

namespace {

constexpr const char* kCaption = "Repeat";

QString blocksText(std::size_t count) {
    return count == 1 ? QStringLiteral("1 block") : QStringLiteral("%1 blocks").arg(count);
}

}  // namespace

RepeatRun::RepeatRun(ZN410Dlg& panel, const PanelData& data, Link& link, Prompts& prompts,
                     AnalysisWindow& window, std::function<void()> ended, QObject* parent)
    : QObject(parent),
      panel_(&panel),
      data_(data),
      link_(link),
      prompts_(prompts),
      window_(&window),
      ended_(std::move(ended)),
      clock_(link.clock()) {
    connect(&panel, &ZN410Dlg::samplesChanged, this, [this] { collected_ = inFlight_; });
    connect(&panel, &ZN410Dlg::acquisitionFinished, this, &RepeatRun::collectionEnded);
}

bool RepeatRun::start(const std::string& path, CaptureInfo info, int count) {
    info.created = clock_.startUtc();
    info_ = std::move(info);
    count_ = std::size_t(count);
    if (!trend_.create(path, characterise::trendHeader(info_, count_))) {
        over_ = true;
        prompts_.message(window_, trend_.error(), kCaption, MessageIcon::Error);
        return false;
    }
    const QString name =
        QFileInfo(QDir::fromNativeSeparators(QString::fromStdString(path))).fileName();
    window_->showTrend({.info = info_, .count = count_, .rows = {}},
                       QStringLiteral("Repeat into ") + name + QStringLiteral(", started ") +
                           dateTimeText(clock_.startUtc()) + QStringLiteral(" UTC"));
    showProgress();
    QTimer::singleShot(0, this, &RepeatRun::collectNext);
    return true;
}

void RepeatRun::stop() {
    end(QString());
}

// The collection lets the user interface run until it ends, and the panel
// signals its end meanwhile (collectionEnded); anything may happen then, the
// run ending and going included.
void RepeatRun::collectNext() {
    if (over_) {
        return;
    }
    if (!panel_) {
        fail(QStringLiteral("the device panel closed"));
        return;
    }
    if (!link_.isOpen()) {
        fail(QStringLiteral("the EVM was lost"));
        return;
    }
    if (data_.busy) {
        fail(QStringLiteral("the EVM was busy with another operation"));
        return;
    }
    inFlight_ = true;
    collected_ = false;
    const QPointer<RepeatRun> alive(this);
    panel_->StartAcquisition();
    if (alive && inFlight_) {
        // Ended without a word: the panel went away during the collection.
        inFlight_ = false;
        fail(QStringLiteral("the device panel closed"));
    }
}

void RepeatRun::collectionEnded() {
    if (!inFlight_) {
        return;  // a collection of the user's, or one this run dropped
    }
    inFlight_ = false;
    if (!collected_) {
        fail(failureReason());
        return;
    }
    if (!sameSettings()) {
        fail(QStringLiteral("the registers or the data count changed"));
        return;
    }
    const characterise::TrendRow row =
        characterise::trendRowOf(clock_.stampOf(data_.sampleStartedAt), data_.samples, info_.scale);
    if (!trend_.append(row)) {
        prompts_.message(window_, trend_.error(), kCaption, MessageIcon::Error);
        fail(QStringLiteral("the trend file could not be written"));
        return;
    }
    if (window_) {
        window_->addTrendRow(row);
    }
    showProgress();
    QTimer::singleShot(0, this, &RepeatRun::collectNext);
}

// The panel gave the failure's message already; this says what became of
// the run.
QString RepeatRun::failureReason() const {
    if (panel_ && panel_->stopRequested()) {
        return QStringLiteral("the collection was stopped");
    }
    return link_.isOpen() ? QStringLiteral("the collection failed")
                          : QStringLiteral("the EVM was lost");
}

// Every row of a trend is read with the one header: the block must have the
// registers and the size the run started with.
bool RepeatRun::sameSettings() const {
    return info_.registers == data_.sampleImage && data_.samples.size() == count_;
}

void RepeatRun::fail(const QString& reason) {
    end(reason);
    if (ended_) {
        ended_();
    }
}

void RepeatRun::end(const QString& reason) {
    if (over_) {
        return;
    }
    over_ = true;
    if (inFlight_ && panel_) {
        panel_->requestStop();
    }
    inFlight_ = false;
    // A file that failed a write was closed by then, its message given.
    if (trend_.isOpen() && !trend_.close()) {
        prompts_.message(window_, trend_.error(), kCaption, MessageIcon::Error);
    }
    if (window_) {
        window_->setRepeatStatus(QStringLiteral("Repeat stopped after ") + blocksText(blocks()) +
                                 (reason.isEmpty() ? QString() : QStringLiteral(": ") + reason) +
                                 QStringLiteral("."));
    }
}

void RepeatRun::showProgress() {
    if (window_) {
        window_->setRepeatStatus(QStringLiteral("Repeating: ") + blocksText(blocks()));
    }
}

}  // namespace orv
