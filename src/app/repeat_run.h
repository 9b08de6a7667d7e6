// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <cstddef>
#include <functional>
#include <string>

#include "capture/capture.h"
#include "characterise/trend.h"
#include "characterise/trend_writer.h"

namespace orv {

class AnalysisWindow;
class Link;
class Prompts;
class ZN410Dlg;
struct PanelData;

// One run of the Analysis window's "Repeat": block after block collected by
// the device panel's own "Start get ADC data" (so that the chart, the
// Analysis window and the main window see each block as they see any), each
// measured into a row that goes to the trend file, flushed there, and to the
// window's trend. One block is in flight at a time; the next collection
// starts from the event loop once the last has ended, never from inside it.
//
// It ends when its owner stops it (Repeat unchecked, a window closed: the
// block in flight is dropped), and by itself when a collection fails (its
// message was the panel's), the panel goes or is busy with something else,
// the registers or the data count change (a trend holds blocks of one
// setting), or a row cannot be written (a message names the file and the
// cause). The file keeps every row written; the window says why it ended.
class RepeatRun final : public QObject {
public:
    // `ended` runs when the run ends by itself, for the owner to let it go
    // (with deleteLater: the run may be inside a collection then).
    RepeatRun(ZN410Dlg& panel, const PanelData& data, Link& link, Prompts& prompts,
              AnalysisWindow& window, std::function<void()> ended, QObject* parent = nullptr);

    // Creates the trend file at `path` with the header of `info` (its
    // creation time is the run's start) for blocks of `count` results, shows
    // the empty trend and starts the first collection. False when the file
    // could not be created: its message was given and nothing started.
    bool start(const std::string& path, CaptureInfo info, int count);
    // Ends the run as its owner asks, dropping the block in flight.
    void stop();

    std::size_t blocks() const { return trend_.rowsWritten(); }

private:
    void collectNext();
    void collectionEnded();
    QString failureReason() const;
    bool sameSettings() const;
    void fail(const QString& reason);
    void end(const QString& reason);
    void showProgress();

    QPointer<ZN410Dlg> panel_;
    const PanelData& data_;
    Link& link_;
    Prompts& prompts_;
    QPointer<AnalysisWindow> window_;
    std::function<void()> ended_;
    characterise::RunClock clock_;  // made with the run: its start is the trend's
    characterise::TrendWriter trend_;
    CaptureInfo info_;
    std::size_t count_ = 0;
    bool inFlight_ = false;   // a collection of this run is running
    bool collected_ = false;  // and the panel has its block
    bool over_ = false;
};

}  // namespace orv
