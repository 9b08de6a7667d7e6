// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/block_analysis.h"

#include <QDir>
#include <QFileInfo>
#include <QWidget>
#include <cstdio>
#include <optional>

#include "analysis/scale.h"
#include "analysis_view/analysis_window.h"
#include "app/repeat_run.h"
#include "capture/data_files.h"
#include "characterise/trend.h"
#include "device/panel.h"
#include "device/panel_data.h"
#include "link/link.h"
#include "seams/prompts.h"

namespace orv {

namespace {

constexpr const char* kOpenCaption = "Open Capture";
constexpr const char* kOpenTrendCaption = "Open Trend";
constexpr const char* kRepeatCaption = "Repeat";

// A trend row takes under a hundred bytes: this holds over half a million
// blocks, weeks of a slow data rate.
constexpr std::size_t kMostTrendFileBytes = 64 * 1024 * 1024;

// A text file records no settings: it opens with the converter's defaults.
constexpr analysis::Scale kTextFileScale{1, 30000.0, analysis::kDefaultVref};

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

// "trend-20261211-140509.csv", from the local time.
std::string trendFileName(const LocalTime& time) {
    char text[48];
    std::snprintf(text, sizeof text, "trend-%04d%02d%02d-%02d%02d%02d.csv", time.year, time.month,
                  time.day, time.hour, time.minute, time.second);
    return text;
}

}  // namespace

QString dateTimeText(const LocalTime& time) {
    char text[48];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", time.year, time.month,
                  time.day, time.hour, time.minute, time.second);
    return QString::fromLatin1(text);
}

QString collectedText(const LocalTime& started) {
    return QStringLiteral("Collected ") + dateTimeText(started);
}

BlockAnalysis::BlockAnalysis(const PanelData& data, Link& link, Prompts& prompts, QWidget* owner)
    : data_(data), link_(link), prompts_(prompts), owner_(owner) {}

// A run still going ends with its owner; the run, a child, then goes and
// closes its file.
BlockAnalysis::~BlockAnalysis() {
    if (run_) {
        run_->stop();
    }
}

void BlockAnalysis::open() {
    catchUp();
    bringToFront();
}

void BlockAnalysis::catchUp() {
    madeWindow();
    if (shownNumber_ != blockNumber_ + 1) {
        showChartBlock();
    }
}

// The dialog starts in the data files' folder, where "Save File" puts them.
std::optional<BlockAnalysis::OpenedFile> BlockAnalysis::openedFile(const char* caption,
                                                                   std::vector<FileFilter> filters,
                                                                   std::size_t mostBytes) {
    const std::optional<std::string> path =
        prompts_.chooseFile(owner_, {.kind = FileRequest::Kind::Open,
                                     .initialPath = data_.dataFolder,
                                     .filters = std::move(filters),
                                     .defaultExtension = "csv"});
    if (!path) {
        return std::nullopt;
    }
    FileReading file = readWholeFile(*path, mostBytes);
    if (!file.bytes) {
        prompts_.message(owner_, file.error, caption, MessageIcon::Error);
        return std::nullopt;
    }
    return OpenedFile{*path, std::move(*file.bytes)};
}

void BlockAnalysis::refuseFile(const std::string& path, const std::string& why,
                               const char* caption) {
    prompts_.message(owner_, "Cannot read the file \"" + path + "\": " + why + ".", caption,
                     MessageIcon::Error);
}

void BlockAnalysis::openFile() {
    const std::optional<OpenedFile> file = openedFile(kOpenCaption,
                                                      {{"Capture file(*.csv)", "*.csv"},
                                                       {"Normal text file(*.txt)", "*.txt"},
                                                       {"All Format(*.*)", "*.*"}},
                                                      kMostBlockFileBytes);
    if (!file) {
        return;
    }
    CaptureReading reading = readBlockFile(file->bytes);
    if (!reading.capture) {
        refuseFile(file->path, reading.error, kOpenCaption);
        return;
    }
    showFileBlock(file->path, isCaptureText(file->bytes), std::move(*reading.capture));
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
        connect(window_, &AnalysisWindow::repeatToggled, this, &BlockAnalysis::onRepeatToggled);
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
            origin += QStringLiteral(", collected ") + dateTimeText(*block.info.created) +
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

// The window made for the trend also catches up with the chart, as open()
// makes it.
void BlockAnalysis::openTrend() {
    if (run_) {
        prompts_.message(window_, "Uncheck Repeat first: the Trend tab shows the trend it writes.",
                         kOpenTrendCaption);
        return;
    }
    const std::optional<OpenedFile> file =
        openedFile(kOpenTrendCaption, {{"Trend (*.csv)", "*.csv"}, {"All Format(*.*)", "*.*"}},
                   kMostTrendFileBytes);
    if (!file) {
        return;
    }
    const characterise::TrendReading reading = characterise::readTrend(file->bytes);
    if (!reading.trend) {
        refuseFile(file->path, reading.error, kOpenTrendCaption);
        return;
    }
    const characterise::Trend& trend = *reading.trend;
    QString origin = QStringLiteral("Trend ") + fileInfo(file->path).fileName() +
                     QStringLiteral(", blocks of %1 results").arg(trend.count);
    if (trend.info.created) {
        origin += QStringLiteral(", started ") + dateTimeText(*trend.info.created) +
                  QStringLiteral(" UTC");
    }
    catchUp();
    window_->showTrend(trend, origin);
    bringToFront();
}

void BlockAnalysis::setPanel(ZN410Dlg* panel) {
    panel_ = panel;
}

void BlockAnalysis::stopRepeat() {
    if (run_) {
        run_->stop();
        dropRun();
    }
}

void BlockAnalysis::onRepeatToggled(bool on) {
    if (on) {
        startRepeat();
    } else {
        stopRepeat();
    }
}

// The trend's header records the run's start: the registers as last read
// or written, the settings they give (at the usual 2.5 V reference), the
// port and this program.
void BlockAnalysis::startRepeat() {
    if (const std::optional<std::string> refusal = repeatRefusal()) {
        prompts_.message(window_, *refusal, kRepeatCaption, MessageIcon::Error);
        window_->setRepeating(false);
        return;
    }
    const std::optional<std::string> path = prompts_.chooseFile(
        window_, {.kind = FileRequest::Kind::Save,
                  .initialPath = data_.dataFolder + trendFileName(link_.clock().localTime()),
                  .filters = {{"Trend (*.csv)", "*.csv"}},
                  .defaultExtension = "csv",
                  .confirmOverwrite = true});
    // The dialog let the user interface run: the panel may have gone.
    if (!path || repeatRefusal() || !window_) {
        if (window_) {
            window_->setRepeating(false);
        }
        return;
    }
    const CaptureInfo info{.created = std::nullopt,
                           .tool = tool_,
                           .port = link_.portName(link_.state().portNumber),
                           .registers = data_.image,
                           .scale = analysis::scaleOf(data_.image[ADCON], data_.image[DRATE])};
    run_ = new RepeatRun(
        *panel_, data_, link_, prompts_, *window_, [this] { dropRun(); }, this);
    if (!run_->start(*path, info, *panel_->dataCount())) {
        dropRun();
    }
}

std::optional<std::string> BlockAnalysis::repeatRefusal() const {
    if (!panel_ || !link_.isOpen()) {
        return "Repeat needs the EVM: press \"Detect EVM\" first.";
    }
    if (data_.busy) {
        return "The EVM is busy: press Repeat again when the operation running has ended.";
    }
    if (!panel_->dataCount()) {
        return "Data count should be from 1 to 65535 !";
    }
    return std::nullopt;
}

// The run may be inside its own collection: it goes once that has ended.
void BlockAnalysis::dropRun() {
    if (run_) {
        run_->deleteLater();
        run_ = nullptr;
    }
    if (window_) {
        window_->setRepeating(false);
    }
}

}  // namespace orv
