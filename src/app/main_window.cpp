// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/main_window.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/about_dialog.h"
#include "app/artwork.h"
#include "app/version_title.h"
#include "characterise_view/noise_table_window.h"
#include "controls/dialog_units.h"
#include "controls/key_filter.h"
#include "controls/value_label.h"
#include "device/panel.h"
#include "link/detect.h"
#include "link/evm_table.h"
#include "link/link.h"
#include "seams/prompts.h"

namespace orv {

namespace {

constexpr int kWidthUnits = 599;
constexpr int kHeightUnits = 352;
constexpr int kPanelTypeCode = 1;
constexpr qsizetype kPathBuffer = 260;
constexpr const char* kProfileName = "Orvellin.ini";
const QPoint kPanelOrigin{15, 55};

}  // namespace

COrvellinDlg::COrvellinDlg(Link& link, Prompts& prompts, const VersionResource* version,
                           QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      link_(link),
      prompts_(prompts),
      analysis_(panelData_, link, prompts, this) {
    setObjectName(QStringLiteral("mainWindow"));
    setFont(QFont(QStringLiteral("Tahoma"), 8));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* menuBar = new QMenuBar(this);
    buildWindowMenu(menuBar);
    layout->setMenuBar(menuBar);
    buildControls();
    setWindowIcon(applicationIcon());
    readVersion(version);
    link_.ClosePort();
    link_.setLostHandler([this] { OnDeviceLost(); });
    fillSelector();
    new EnterEscapeFilter(this);
}

COrvellinDlg::~COrvellinDlg() {
    link_.setLostHandler({});
}

// The title, the program folder and the version the saved captures name
// come only with a readable version; the data folder starts as the program
// folder. A path that does not fit the tool's 260-character buffers leaves
// the program folder empty.
void COrvellinDlg::readVersion(const VersionResource* version) {
    std::string title;
    if (ReadVersionInfo(version, versionInfo_) == 0) {
        title = orv::windowTitle(executableDisplayName(), versionInfo_);
        const VersionInfo& v = versionInfo_;
        analysis_.setTool("orvellin " + std::to_string(v.major) + '.' + std::to_string(v.minor) +
                          '.' + std::to_string(v.build) + '.' + std::to_string(v.revision));
        const QString path = QCoreApplication::applicationFilePath();
        if (!path.isEmpty() && path.size() < kPathBuffer - 1) {
            programFolder_ =
                QDir::toNativeSeparators(QFileInfo(path).path() + QLatin1Char('/')).toStdString();
            panelData_.dataFolder = programFolder_;
        }
    }
    setWindowTitle(QString::fromStdString(title));
}

void COrvellinDlg::buildControls() {
    const DialogUnits du(font());
    auto* client = client_ = new QWidget(this);
    client->setObjectName(QStringLiteral("clientArea"));
    client->setFixedSize(du.x(kWidthUnits), du.y(kHeightUnits));
    layout()->addWidget(client);

    auto* logo = new QLabel(client);
    logo->setPixmap(logoPixmap());
    logo->setGeometry(du.x(456), 0, logo->pixmap().width(), logo->pixmap().height());
    logo->setAccessibleName(QStringLiteral("Logo"));

    auto* label = new QLabel(QStringLiteral("EVM Module"), client);
    label->setGeometry(du.rect(12, 12, 39, 8));

    selector_ = new QComboBox(client);
    selector_->setObjectName(QStringLiteral("evmSelector"));
    selector_->setEditable(true);
    selector_->setInsertPolicy(QComboBox::NoInsert);
    // The template's height includes the drop-down list; the closed box is
    // one line high.
    selector_->setGeometry(du.x(56), du.y(10), du.x(62), selector_->sizeHint().height());
    label->setBuddy(selector_);
    selector_->setAccessibleName(label->text());
    selector_->lineEdit()->setAccessibleName(label->text());

    auto* detectButton = new QPushButton(QStringLiteral("Detect EVM"), client);
    detectButton->setObjectName(QStringLiteral("detectEvmButton"));
    detectButton->setGeometry(du.rect(120, 9, 54, 14));
    detectButton->setAutoDefault(false);
    connect(detectButton, &QPushButton::clicked, this, &COrvellinDlg::OnDetectEvm);

    portStatus_ = new ValueLabel(client);
    portStatus_->setObjectName(QStringLiteral("portStatus"));
    portStatus_->setFrameStyle(QFrame::Box | QFrame::Plain);
    portStatus_->setGeometry(du.rect(180, 10, 48, 12));
    portStatus_->setAccessibleName(QStringLiteral("Port"));
}

// Where the platform has no system menu to extend, the window shows a menu
// with the same items in the same order.
void COrvellinDlg::buildWindowMenu(QMenuBar* menuBar) {
    QMenu* menu = menuBar->addMenu(QStringLiteral("&Window"));
    menu->setObjectName(QStringLiteral("windowMenu"));
    const auto add = [this, menu](const QString& text, int id) {
        QAction* action = menu->addAction(text);
        connect(action, &QAction::triggered, this, [this, id] { OnSysCommand(id); });
    };
    add(QStringLiteral("&Close"), kSysClose);
    menu->addSeparator();
    add(QStringLiteral("Load Profile"), kSysLoadProfile);
    add(QStringLiteral("Save Profile"), kSysSaveProfile);
    add(QStringLiteral("Analysis"), kSysAnalysis);
    add(QStringLiteral("Open Capture\u2026"), kSysOpenCapture);
    add(QStringLiteral("Open Trend\u2026"), kSysOpenTrend);
    add(QStringLiteral("Noise Table\u2026"), kSysNoiseTable);
    menu->addSeparator();
    add(QStringLiteral("&About Orvellin..."), kSysAbout);
}

void COrvellinDlg::fillSelector() {
    for (int i = 0; EvmTable[i].valid != -1; ++i) {
        selector_->addItem(QString::fromUtf8(EvmTable[i].name));
        selector_->setItemData(i, EvmTable[i].type);
    }
    if (selector_->count() > 0) {
        selector_->setCurrentIndex(0);
    }
}

int COrvellinDlg::selectedTypeCode() const {
    const int index = selector_->currentIndex();
    return index < 0 ? -1 : selector_->itemData(index).toInt();
}

// A scan blocks until it ends, except while one of its ownerless message
// boxes is open; a press that arrives then is ignored, so that no scan runs
// inside another. A press while the panel is busy is ignored too: its
// collection lets the user interface run and must keep its window. The
// panel window goes whenever there is one, also when its port was already
// closed because the device went away.
void COrvellinDlg::OnDetectEvm() {
    if (detecting_ || panelData_.busy) {
        return;
    }
    detecting_ = true;
    link_.ClosePort();
    delete panel_;
    const int typeCode = selectedTypeCode();
    const int port = DetectEvm(link_, prompts_, typeCode);
    portStatus_->setValue(port < 0 ? QStringLiteral("Not Found")
                                   : QString::fromStdString(link_.portDisplayName(port)));
    if (port >= 0 && typeCode == kPanelTypeCode) {
        createPanel();
    }
    detecting_ = false;
}

// The port is closed by now, also when the board went while the new panel
// read its registers. The panel stays with everything it shows, so that its
// block and its register image can still be saved.
void COrvellinDlg::OnDeviceLost() {
    portStatus_->setValue(QStringLiteral("Disconnected"));
}

// The panel reads the registers while it is built, before it is shown.
void COrvellinDlg::createPanel() {
    panel_ = new ZN410Dlg(panelData_, link_, prompts_, client_);
    panel_->move(kPanelOrigin);
    connect(panel_, &ZN410Dlg::acquisitionFinished, this, &COrvellinDlg::OnAcquisitionFinished);
    connect(panel_, &ZN410Dlg::samplesChanged, this, [this] { analysis_.follow(); });
    connect(panel_, &ZN410Dlg::analysisRequested, this, [this] { analysis_.open(); });
    analysis_.setPanel(panel_);
    connect(panel_, &ZN410Dlg::noiseTableRequested, this, &COrvellinDlg::openNoiseTable);
    panel_->show();
}

// The window outlives the panel windows: it talks to the EVM through the
// link, whichever panel shows it, and the flag it holds is the panel data's.
void COrvellinDlg::openNoiseTable() {
    if (!noiseTable_) {
        noiseTable_ = new NoiseTableWindow(link_, prompts_, panelData_.busy, this);
        noiseTable_->setObjectName(QStringLiteral("noiseTableWindow"));
    }
    noiseTable_->show();
    noiseTable_->raise();
    noiseTable_->activateWindow();
}

NoiseTableWindow* COrvellinDlg::noiseTableWindow() const {
    return noiseTable_;
}

void COrvellinDlg::closeEvent(QCloseEvent* event) {
    analysis_.stopRepeat();
    if (panel_ && panel_->collecting()) {
        event->ignore();
        closeAfterCollection_ = true;
        panel_->requestStop();
        return;
    }
    QDialog::closeEvent(event);
}

void COrvellinDlg::OnAcquisitionFinished() {
    if (closeAfterCollection_) {
        closeAfterCollection_ = false;
        close();
    }
}

void COrvellinDlg::OnSysCommand(int id) {
    switch (id & 0xFFF0) {
        case kSysClose:
            close();
            break;
        case kSysAbout:
            CAboutDlg(versionInfo_, this).exec();
            break;
        case kSysLoadProfile:
            OnLoadProfile();
            break;
        case kSysSaveProfile:
            OnSaveProfile();
            break;
        case kSysAnalysis:
            analysis_.open();
            break;
        case kSysOpenCapture:
            analysis_.openFile();
            break;
        case kSysOpenTrend:
            analysis_.openTrend();
            break;
        case kSysNoiseTable:
            openNoiseTable();
            break;
        default:
            break;
    }
}

// The dialog starts at Orvellin.ini in the program's folder, or at the bare
// name when that folder is not known.
std::optional<std::string> COrvellinDlg::ChooseProfileFile(bool save) {
    return prompts_.chooseFile(
        this, {.kind = save ? FileRequest::Kind::Save : FileRequest::Kind::Open,
               .initialPath = programFolder_ + kProfileName,
               .filters = {{"Profile Format(*.ini)", "*.ini"}, {"All Format(*.*)", "*.*"}},
               .defaultExtension = "ini",
               .confirmOverwrite = true});
}

// A port is open, or the panel of a board that went away still shows its
// registers: those are then the user's only copy, and a profile keeps them.
bool COrvellinDlg::boardKnown() const {
    return link_.isOpen() || panel_ != nullptr;
}

// The panel of the detected EVM takes the file; any other EVM is told it is
// not supported.
bool COrvellinDlg::profileTargetReady() {
    if (link_.evmType() != kPanelTypeCode) {
        prompts_.message(this, "Unsupport EVM", "Error !");
        return false;
    }
    return panel_ != nullptr;
}

// The file is chosen before the port is looked at, so with no EVM the user
// chooses a file and nothing happens.
void COrvellinDlg::OnLoadProfile() {
    if (detecting_ || panelData_.busy) {
        return;
    }
    const auto path = ChooseProfileFile(false);
    if (!boardKnown() || !path || !QFile::exists(QString::fromStdString(*path))) {
        return;
    }
    if (profileTargetReady()) {
        panel_->LoadProfile(*path);
    }
}

void COrvellinDlg::OnSaveProfile() {
    if (detecting_ || panelData_.busy) {
        return;
    }
    const auto path = ChooseProfileFile(true);
    if (!path || !boardKnown()) {
        return;
    }
    if (profileTargetReady()) {
        panel_->SaveProfile(*path);
    }
}

}  // namespace orv
