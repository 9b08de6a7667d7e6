// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QPointer>
#include <optional>
#include <string>

#include "app/block_analysis.h"
#include "app/version_info.h"
#include "device/panel_data.h"

class QComboBox;
class QMenuBar;

namespace orv {

class Link;
class NoiseTableWindow;
class Prompts;
class ValueLabel;
class ZN410Dlg;

// System-menu command identifiers, compared after masking with 0xFFF0.
enum SysCommand : int {
    kSysAbout = 0x0010,
    kSysLoadProfile = 0x0110,
    kSysSaveProfile = 0x0120,
    kSysAnalysis = 0x0130,
    kSysOpenCapture = 0x0140,
    kSysNoiseTable = 0x0150,
    kSysOpenTrend = 0x0160,
    kSysClose = 0xF060,
};

// The main window: the EVM selector, "Detect EVM", the port status, the
// window menu and, once the converter's EVM has been found, the device
// panel. It uses the link and the prompts; it owns neither. It keeps the
// panel's data for the whole run and builds a new panel window for every
// detection.
class COrvellinDlg final : public QDialog {
    Q_OBJECT
public:
    // `version` is the program's version resource, or null when it has none;
    // the title and the About box show what it holds.
    COrvellinDlg(Link& link, Prompts& prompts, const VersionResource* version = nullptr,
                 QWidget* parent = nullptr);
    ~COrvellinDlg() override;

    void OnDetectEvm();
    void OnSysCommand(int id);
    // The profile commands hand the chosen file to the panel once its EVM
    // is connected, and still after it went away; while the panel is busy
    // they do nothing.
    void OnLoadProfile();
    void OnSaveProfile();

    PanelData& panelData() { return panelData_; }
    // The Analysis window once it has been opened, else null.
    AnalysisWindow* analysisWindow() const { return analysis_.window(); }
    // The Noise Table window once it has been opened, else null.
    NoiseTableWindow* noiseTableWindow() const;
    // The executable's folder with a trailing separator; empty when the
    // version could not be read.
    const std::string& programFolder() const { return programFolder_; }

protected:
    // A close request during a collection ends the collection first; the
    // window closes once it has ended.
    void closeEvent(QCloseEvent* event) override;

private:
    void OnAcquisitionFinished();
    void OnDeviceLost();
    bool boardKnown() const;
    void buildControls();
    void buildWindowMenu(QMenuBar* menuBar);
    void fillSelector();
    int selectedTypeCode() const;
    void createPanel();
    // Shows the one Noise Table window, made on first use, in front. It
    // holds the panel's busy flag while it runs.
    void openNoiseTable();
    void readVersion(const VersionResource* version);
    // The chosen profile's full path; empty when the user cancels.
    std::optional<std::string> ChooseProfileFile(bool save);
    bool profileTargetReady();

    Link& link_;
    Prompts& prompts_;
    VersionInfo versionInfo_;
    std::string programFolder_;
    PanelData panelData_;
    BlockAnalysis analysis_;
    QPointer<ZN410Dlg> panel_;
    QPointer<NoiseTableWindow> noiseTable_;
    QWidget* client_ = nullptr;
    QComboBox* selector_ = nullptr;
    ValueLabel* portStatus_ = nullptr;
    bool detecting_ = false;
    bool closeAfterCollection_ = false;
};

}  // namespace orv
