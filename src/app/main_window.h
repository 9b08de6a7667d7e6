#pragma once

#include <QDialog>

class QComboBox;
class QLabel;
class QMenuBar;

namespace orv {

class Link;
class Prompts;

// System-menu command identifiers, compared after masking with 0xFFF0.
enum SysCommand : int {
    kSysAbout = 0x0010,
    kSysLoadProfile = 0x0110,
    kSysSaveProfile = 0x0120,
    kSysClose = 0xF060,
};

// The main window: the EVM selector, "Detect EVM", the port status and the
// window menu. It uses the link and the prompts; it owns neither.
class COrvellinDlg final : public QDialog {
    Q_OBJECT
public:
    COrvellinDlg(Link& link, Prompts& prompts, QWidget* parent = nullptr);

    void OnDetectEvm();
    void OnSysCommand(int id);

private:
    void buildControls();
    void buildWindowMenu(QMenuBar* menuBar);
    void fillSelector();
    int selectedTypeCode() const;

    Link& link_;
    Prompts& prompts_;
    QComboBox* selector_ = nullptr;
    QLabel* portStatus_ = nullptr;
    bool detecting_ = false;
};

}  // namespace orv
