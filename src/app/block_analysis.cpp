// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/block_analysis.h"

#include <QDir>
#include <QFileInfo>
#include <QWidget>
#include <cstdio>
#include <optional>

#include "analysis/scale.h"
#include "analysis_view/analysis_window.h"
#include "capture/data_files.h"
#include "device/panel_data.h"
#include "seams/prompts.h"

namespace orv {

namespace {

constexpr const char* kOpenCaption = "Open Capture";

// A text file records no settings: it opens with the converter's defaults.
constexpr analysis::Scale kTextFileScale{1, 30000.0, analysis::kDefaultVref};

QString timeText(const LocalTime& time) {
    char text[48];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", time.year, time.month,
                  time.day, time.hour, time.minute, time.second);
    return QString::fromLatin1(text);
}

QFileInfo fileInfo(const std::string& path) {
    return QFileInfo(QDir::fromNativeSeparators(QString::fromStdString(path)));
}

// The capture a file's block is proposed to be saved as: beside the file,
// under its name, as .csv.
std::string capturePathBeside(const std::string& path) {
    const QFileInfo file = fileInfo(path);
    const QString capture = file.dir().filePath(file.completeBaseName() + QStringLiteral(".csv"));
    return QDir::toNativeSeparators(capture).toStdString();
}

}  // namespace

QString collectedText(const LocalTime& started) {
    return QStringLiteral("Collected ") + timeText(started);
}

BlockAnalysis::BlockAnalysis(const PanelData& data, Prompts& prompts, QWidget* owner)
    : data_(data), prompts_(prompts), owner_(owner) {}

void BlockAnalysis::open() {
    madeWindow();
    if (shownNumber_ != blockNumber_ + 1) {
        showChartBlock();
    }
    bringToFront();
}

// The dialog starts in the data files' folder, where "Save File" puts them.
void BlockAnalysis::openFile() {
    const std::optional<std::string> path =
        prompts_.chooseFile(owner_, {.kind = FileRequest::Kind::Open,
                                     .initialPath = data_.dataFolder,
                                     .filters = {{"Capture file(*.csv)", "*.csv"},
                                                 {"Normal text file(*.txt)", "*.txt"},
                                                 {"All Format(*.*)", "*.*"}},
                                     .defaultExtension = "csv"});
    if (!path) {
        return;
    }
    const FileReading file = readWholeFile(*path, kMostBlockFileBytes);
    if (!file.bytes) {
        prompts_.message(owner_, file.error, kOpenCaption, MessageIcon::Error);
        return;
    }
    CaptureReading reading = readBlockFile(*file.bytes);
    if (!reading.capture) {
        prompts_.message(owner_, "Cannot read the file \"" + *path + "\": " + reading.error + ".",
                         kOpenCaption, MessageIcon::Error);
        return;
    }
    showFileBlock(*path, isCaptureText(*file.bytes), std::move(*reading.capture));
}

AnalysisWindow* BlockAnalysis::window() const {
    return window_;
}

void BlockAnalysis::follow() {
    ++blockNumber_;
    if (window_ && window_->isVisible()) {
        showChartBlock();
    }
}

AnalysisWindow& BlockAnalysis::madeWindow() {
    if (!window_) {
        window_ = new AnalysisWindow(prompts_, owner_);
        window_->setWindowFlag(Qt::Window);
        window_->setObjectName(QStringLiteral("analysisWindow"));
        shownNumber_ = 0;
    }
    return *window_;
}

void BlockAnalysis::bringToFront() {
    window_->show();
    window_->raise();
    window_->activateWindow();
}

void BlockAnalysis::showChartBlock() {
    shownNumber_ = blockNumber_ + 1;
    if (data_.samples.empty()) {
        window_->clearBlock();
        return;
    }
    Capture block{
        .info = {.created = data_.sampleStartedUtc,
                 .tool = tool_,
                 .port = data_.samplePort,
                 .registers = data_.sampleImage,
                 .scale = analysis::scaleOf(data_.sampleImage[ADCON], data_.sampleImage[DRATE])},
        .codes = data_.samples};
    window_->showBlock(std::move(block), collectedText(data_.sampleStarted),
                       data_.dataFolder + fileNameStamp(data_.sampleStarted) + ".csv");
}

// The window counts as caught up with the chart: the chart's block comes
// back only when it changes. A capture saved again names this program as
// its writer.
void BlockAnalysis::showFileBlock(const std::string& path, bool isCapture, Capture block) {
    const QString name = fileInfo(path).fileName();
    QString origin;
    if (isCapture) {
        origin = QStringLiteral("Capture ") + name;
        if (block.info.created) {
            origin += QStringLiteral(", collected ") + timeText(*block.info.created) +
                      QStringLiteral(" UTC");
        }
    } else {
        block.info.scale = kTextFileScale;
        origin = QStringLiteral("Text file ") + name +
                 QStringLiteral(": set its gain, data rate and Vref below");
    }
    block.info.tool = tool_;
    madeWindow().showBlock(std::move(block), origin, capturePathBeside(path));
    shownNumber_ = blockNumber_ + 1;
    bringToFront();
}

}  // namespace orv
