// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>
#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "acquire/chart_colours.h"
#include "acquire/scroll.h"
#include "converter/samples.h"

class QComboBox;
class QFrame;
class QImage;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QScrollBar;
class QTabBar;

namespace orv {

class CTCEdit;
class ChartView;
class Swatch;
class Link;
class Prompts;
class ZN410ALLDlg;
class ZN410CALDlg;
class ZN410CLOCKDlg;
class ZN410IODlg;
class ZN410MUXDlg;
class ZN410POWERDlg;
class ZN410STATUSDlg;
struct PanelData;

// The device panel's window: the tab control with the seven register pages,
// the gain and data-rate lists, "Write" and "Read", the data count and the
// acquisition and chart area. The main window builds one after each
// detection that finds the converter's EVM and deletes it on the next
// "Detect EVM"; everything worth keeping lives in `PanelData`, which the
// main window holds for the whole run.
class ZN410Dlg final : public QWidget {
    Q_OBJECT
public:
    // The tab control's pages, by index.
    enum Tab { kMuxTab, kClocksTab, kGpioTab, kPowerTab, kCalTab, kStatusTab, kAllRegsTab };

    // Builds the window and initialises it, which reads the registers.
    ZN410Dlg(PanelData& data, Link& link, Prompts& prompts, QWidget* parent);

    void OnSelchangeTab();
    // Sends the register of the page in view, then ADCON and DRATE; from
    // "All Regs" every register of its Write column; from "Cal" nothing.
    void OnWrite();
    // Reads all eleven registers into the image, then shows it everywhere.
    void OnRead();
    void OnChangeDataCount();
    void OnSelchangeGain();
    void OnSelchangeDataRate();

    // Shows the register image on the gain and data-rate lists and on every
    // page.
    void DistributeImage();

    // "Start get ADC data": collects the data count's items into the raw
    // block and, when all arrived with good check bytes, makes them the
    // sample list and shows them. The window stays responsive meanwhile.
    void StartAcquisition();
    // The results a collection started now would collect, as it reads the
    // data count; empty when the count asks for none.
    std::optional<int> dataCount() const;
    bool collecting() const { return collecting_; }
    // Ends a running collection after its current item, without a message;
    // the sample list keeps the block it had.
    void requestStop() { stopRequested_ = true; }
    bool stopRequested() const { return stopRequested_; }
    // The items of the last collection started from this window, as far as
    // they arrived.
    const RawBlock& rawBlock() const { return rawBlock_; }

    // Shows the statistics of the sample list and sets the chart's scale.
    void AnalyseSamples();
    // Draws the chart with sample `first` at its left edge.
    void DrawChart(int first);
    void OnHScroll(ScrollRequest request);
    // The colour choice of swatch `index` (scale, grid, line, background).
    void OnSwatchClicked(int index);
    const ChartColours& colours() const { return colours_; }

    // "Save File": the sample list as a text file the user names, with the
    // raw items of the same block beside it as a ".bin" file. A name whose
    // raw file exists already gives both files a new time-stamped name.
    void OnSaveFile();

    // Writes the register image into the profile at `path`; says so when
    // that fails, and then the old file is left whole.
    void SaveProfile(const std::string& path);
    // Puts a profile's registers into the All Regs Write column, the image
    // and every page, and empties the sample list, the chart and the
    // statistics. A profile for another EVM changes nothing. Sends nothing.
    void LoadProfile(const std::string& path);

signals:
    // A collection has ended, whatever its outcome; the busy flag is clear.
    void acquisitionFinished();
    // The sample list holds another block, or none.
    void samplesChanged();
    // "Analysis" was pressed.
    void analysisRequested();
    // "Noise Table" was pressed.
    void noiseTableRequested();

private:
    void buildControls();
    void buildAcquisitionArea();
    void fitTabArea();
    void createPages();
    void OnInitDialog();
    void writeFromPage(Tab tab);
    void writeAllRegisters();
    bool writeAndShow(std::uint8_t address, std::uint8_t value);
    void writeAndKeep(std::uint8_t address, std::uint8_t value);
    void readBackIo();
    bool collect();
    void connectChart();
    void setScrollInfo(const ScrollInfo& info);
    QImage chartPicture(int first);
    int WriteRawFile(std::span<const std::uint8_t> block);
    int WriteTextFile(std::size_t count);
    void moveToNewStamp();

    PanelData& data_;
    Link& link_;
    Prompts& prompts_;

    QTabBar* tab_ = nullptr;
    QFrame* tabArea_ = nullptr;
    ZN410MUXDlg* muxPage_ = nullptr;
    ZN410CLOCKDlg* clocksPage_ = nullptr;
    ZN410IODlg* gpioPage_ = nullptr;
    ZN410POWERDlg* powerPage_ = nullptr;
    ZN410CALDlg* calPage_ = nullptr;
    ZN410STATUSDlg* statusPage_ = nullptr;
    ZN410ALLDlg* allPage_ = nullptr;
    std::array<QWidget*, 7> pages_{};  // in tab order

    QComboBox* dataRateList_ = nullptr;
    QComboBox* gainList_ = nullptr;
    QPushButton* writeButton_ = nullptr;
    QPushButton* readButton_ = nullptr;
    QPushButton* startButton_ = nullptr;
    QPushButton* analysisButton_ = nullptr;
    CTCEdit* dataCount_ = nullptr;
    ChartView* chart_ = nullptr;
    QScrollBar* scrollBar_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QLineEdit* minimum_ = nullptr;
    QLineEdit* maximum_ = nullptr;
    QLineEdit* average_ = nullptr;
    std::array<Swatch*, 4> swatches_{};  // scale, grid, line, background
    QLineEdit* logFilePath_ = nullptr;
    QPushButton* saveFile_ = nullptr;

    ChartColours colours_;
    ScrollInfo scroll_;  // the bar as the chart reads it: range, page, position
    RawBlock rawBlock_;
    bool collecting_ = false;
    bool stopRequested_ = false;
};

}  // namespace orv
