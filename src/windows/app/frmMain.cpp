#include "windows/app/frmMain.h"

#include <QAbstractItemView>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QSlider>
#include <QStatusBar>
#include <QUrl>
#include <QVBoxLayout>
#include <cmath>

#include "app/AppTitle.h"
#include "core/AppInfo.h"
#include "monitor/Graphs.h"
#include "windows/app/frmComm.h"
#include "windows/monitor/GraphArea.h"
#include "windows/monitor/frmDataLog.h"
#include "windows/monitor/frmGraphSet.h"
#include "windows/monitor/frmReadings.h"

#include "windows/WidgetNames.h"

namespace delvar::windows {

using app::Ctl;
using app::OutputControl;

namespace {

// A read-out: light text on black, as the instrument's own display.
QLabel* Readout(int minWidth) {
    auto* label = new QLabel;
    label->setAutoFillBackground(true);
    QPalette p = label->palette();
    p.setColor(QPalette::Window, Qt::black);
    p.setColor(QPalette::WindowText, Qt::white);
    label->setPalette(p);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->setMinimumWidth(minWidth);
    label->setMargin(3);
    QFont f = label->font();
    f.setPointSizeF(f.pointSizeF() * 1.25);
    f.setBold(true);
    label->setFont(f);
    return label;
}

QPushButton* RunButton(const char* caption, const char* colour) {
    auto* b = new QPushButton(caption);
    b->setStyleSheet(QString("QPushButton { background: %1; color: black; font-weight: bold;"
                             " padding: 6px; border: 1px solid #444; border-radius: 3px; }"
                             "QPushButton:disabled { background: #bbb; color: #666; }")
                         .arg(colour));
    b->setMinimumWidth(130);
    return b;
}

constexpr const char* kGreen = "#3fcf3f";
constexpr const char* kRed = "#e04040";

}  // namespace

frmMain::frmMain(MainWindowDeps deps) : d_(std::move(deps)) {
    setObjectName("frmMain");
    setWindowTitle(app::kAppTitle);
    tmrUpdate_.setObjectName("tmrUpdate");
    tmrUpdate_.setParent(this);
    tmrUpdate_.setInterval(app::kPollPeriodMs);

    auto* central = new QWidget;
    auto* layout = new QHBoxLayout(central);
    auto* left = new QVBoxLayout;
    left->addWidget(BuildRunPanel());
    left->addWidget(BuildOutputs());
    left->addWidget(BuildButtons());
    left->addStretch();
    layout->addLayout(left);
    graphArea_ = new GraphArea;
    graphArea_->LoadLooks(d_.looksFolder);
    layout->addWidget(graphArea_, 1);
    setCentralWidget(central);
    statusBar();

    graphs_ = std::make_unique<monitor::Graphs>(graphArea_->Charts());
    logic_ = std::make_unique<app::MainWindowLogic>(
        *this, app::MainDeps{d_.link, d_.setup, d_.readings, *graphs_, d_.log, d_.clock, d_.dialogs,
                             d_.progress});
    comm_ = new frmComm(d_.link, d_.dialogs, *logic_, *this, d_.serialDevices, this);
    BuildMenus();
    connect(&tmrUpdate_, &QTimer::timeout, this, [this] {
        // Nothing may leave an event handler: an error ends this tick and is reported.
        try {
            logic_->Tick();
        } catch (...) {
            if (!errors) return;
            errors->Push("frmMain_tmrUpdate_Timer");
            errors->HandleError(core::ErrorInfo::FromCurrentException());
            errors->Pop();
        }
    });
    resize(1100, 560);
}

frmMain::~frmMain() = default;

void frmMain::Register(Ctl c, QWidget* w, const char* name) {
    w->setObjectName(name);
    controls_[std::size_t(c)] = w;
}

QWidget* frmMain::BuildRunPanel() {
    auto* panel = new QWidget;
    auto* grid = new QGridLayout(panel);
    grid->setContentsMargins(0, 0, 0, 0);

    auto* fraOnLine = new QFrame;
    fraOnLine->setFrameShape(QFrame::NoFrame);
    auto* row = new QHBoxLayout(fraOnLine);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(new QLabel("Process:"));
    auto* cbo = new QComboBox;
    cbo->setToolTip("Select a deposition process to run.");
    cbo->setMinimumWidth(240);
    QFont mono("Monospace");
    mono.setStyleHint(QFont::TypeWriter);
    cbo->setFont(mono);
    row->addWidget(cbo, 1);
    Register(Ctl::fraOnLine, fraOnLine, "fraOnLine");
    Register(Ctl::cboProcess, cbo, "cboProcess");
    connect(cbo, &QComboBox::currentIndexChanged, this, [this] { logic_->OnProcessChanged(); });
    grid->addWidget(fraOnLine, 0, 0, 1, 3);

    auto* phase = Readout(180);
    phase->setAlignment(Qt::AlignCenter);
    phase->setToolTip("Deposition phase.");
    Register(Ctl::txtPhase, phase, "txtPhase");
    auto* layerNum = Readout(40);
    layerNum->setToolTip("Current process layer.");
    Register(Ctl::txtLayerNum, layerNum, "txtLayerNum");
    auto* layerTotal = Readout(40);
    layerTotal->setToolTip("Number of layers in process.");
    Register(Ctl::txtLayerTotal, layerTotal, "txtLayerTotal");
    auto* time = Readout(80);
    time->setToolTip("Process elapsed time.");
    Register(Ctl::txtTime, time, "txtTime");
    auto* of = new QLabel("of");
    of->setObjectName("Label1");
    auto* layer = new QHBoxLayout;
    layer->addWidget(layerNum);
    layer->addWidget(of);
    layer->addWidget(layerTotal);
    grid->addWidget(new QLabel("Phase"), 1, 0);
    grid->addWidget(new QLabel("Layer"), 1, 1);
    grid->addWidget(new QLabel("Time"), 1, 2);
    grid->addWidget(phase, 2, 0);
    grid->addLayout(layer, 2, 1);
    grid->addWidget(time, 2, 2);
    grid->setColumnStretch(0, 1);
    return panel;
}

QWidget* frmMain::BuildOutputs() {
    auto* box = new QFrame;
    box->setObjectName("fraOutputs");
    box->setAutoFillBackground(true);
    QPalette p = box->palette();
    p.setColor(QPalette::Window, Qt::black);
    p.setColor(QPalette::WindowText, QColor(200, 200, 200));
    box->setPalette(p);
    auto* grid = new QGridLayout(box);
    grid->setHorizontalSpacing(10);
    const char* headings[] = {"Output",    "Rate (A/s)", "Thick. (kA)",
                              "Power (%)", "Dev. (%)",   "Manual power"};
    for (int c = 0; c < 6; ++c) {
        auto* h = new QLabel(headings[c]);
        h->setAlignment(Qt::AlignCenter);
        grid->addWidget(h, 0, c);
        manualHeading_ = h;  // the last: shown with the sliders
    }
    static const char* names[][5] = {
        {"LblOutput_0", "txtOutRate_0", "txtOutThick_0", "txtOutPower_0", "txtOutDev_0"},
        {"LblOutput_1", "txtOutRate_1", "txtOutThick_1", "txtOutPower_1", "txtOutDev_1"},
        {"LblOutput_2", "txtOutRate_2", "txtOutThick_2", "txtOutPower_2", "txtOutDev_2"},
        {"LblOutput_3", "txtOutRate_3", "txtOutThick_3", "txtOutPower_3", "txtOutDev_3"}};
    static const char* sliderNames[] = {"sldManPwr_0", "sldManPwr_1", "sldManPwr_2", "sldManPwr_3"};
    const Ctl columns[] = {Ctl::LblOutput, Ctl::txtOutRate, Ctl::txtOutThick, Ctl::txtOutPower,
                           Ctl::txtOutDev};
    for (int k = 0; k < 4; ++k) {
        for (int c = 0; c < 5; ++c) {
            QLabel* cell = Readout(c == 0 ? 30 : 70);
            if (c == 0) {
                cell->setText(QString::number(k + 1));
                cell->setAlignment(Qt::AlignCenter);
            }
            Register(OutputControl(columns[c], k), cell, names[k][c]);
            grid->addWidget(cell, k + 1, c);
        }
        auto* slider = new QSlider(Qt::Horizontal);
        slider->setRange(0, 100);
        slider->setToolTip(QString("Adjust Output %1 power.").arg(k + 1));
        slider->setMinimumWidth(110);
        Register(OutputControl(Ctl::sldManPwr, k), slider, sliderNames[k]);
        connect(slider, &QSlider::valueChanged, this, [this, k] { logic_->OnSlider(k); });
        grid->addWidget(slider, k + 1, 5);
    }
    // The slider column keeps its width while the sliders are hidden.
    grid->setColumnMinimumWidth(5, 110);
    return box;
}

QWidget* frmMain::BuildButtons() {
    auto* panel = new QWidget;
    auto* grid = new QGridLayout(panel);
    grid->setContentsMargins(0, 6, 0, 0);
    struct Slot {
        Ctl c;
        const char* caption;
        const char* name;
        const char* colour;
        void (app::MainWindowLogic::*handler)();
        int row, column;
    };
    const Slot buttons[] = {
        {Ctl::cmdStart, "&Start Process", "cmdStart", kGreen, &app::MainWindowLogic::OnStart, 0, 0},
        {Ctl::cmdAbort, "&Reset Process", "cmdAbort", kRed, &app::MainWindowLogic::OnAbort, 0, 0},
        {Ctl::cmdStartLayer, "Start &Layer", "cmdStartLayer", kGreen,
         &app::MainWindowLogic::OnStartLayer, 1, 0},
        {Ctl::cmdStopLayer, " S&top   Layer", "cmdStopLayer", kRed,
         &app::MainWindowLogic::OnStopLayer, 1, 0},
        {Ctl::cmdNextLayer, "&Next Layer", "cmdNextLayer", kGreen,
         &app::MainWindowLogic::OnNextLayer, 2, 0},
        {Ctl::cmdStartManLayer, "Start &Man Layer", "cmdStartManLayer", kGreen,
         &app::MainWindowLogic::OnStartManLayer, 2, 0},
        {Ctl::cmdZero, "&Zero Thickness", "cmdZero", "#d8d8d8", &app::MainWindowLogic::OnZero, 0,
         1},
        {Ctl::cmdAutoMan, "&Auto -> Manual", "cmdAutoMan", "#d8d8d8",
         &app::MainWindowLogic::OnAutoMan, 1, 1},
        {Ctl::cmdManAuto, "Manual -> A&uto", "cmdManAuto", "#d8d8d8",
         &app::MainWindowLogic::OnManAuto, 1, 1},
    };
    for (const Slot& s : buttons) {
        QPushButton* b = RunButton(s.caption, s.colour);
        Register(s.c, b, s.name);
        connect(b, &QPushButton::clicked, this, [this, h = s.handler] { (logic_.get()->*h)(); });
        grid->addWidget(b, s.row, s.column);
    }
    // Each place shows one of its two buttons from the start, also while no phase
    // has been read (the phases that leave the buttons as they were).
    for (Ctl second : {Ctl::cmdAbort, Ctl::cmdStopLayer, Ctl::cmdStartManLayer, Ctl::cmdManAuto})
        W(second)->setVisible(false);
    return panel;
}

void frmMain::BuildMenus() {
    QMenu* file = menuBar()->addMenu("&File");
    QAction* log = file->addAction("Data &Log...", this, &frmMain::OpenDataLogWindow);
    log->setObjectName("mnuFileLog");
    file->addSeparator();
    file->addAction("E&xit", this, &QWidget::close)->setObjectName("mnuFileExit");

    QMenu* edit = menuBar()->addMenu("&Edit");
    mnuEditInstrument_ = edit->addAction("&Instrument...", this, [this] { ChooseSetupWindow(1); });
    mnuEditInstrument_->setObjectName("mnuEditInstrument");
    edit->addAction("&Database...", this, [this] { ChooseSetupWindow(0); })
        ->setObjectName("mnuEditDatabase");
    edit->addAction("&Graphs...", this, &frmMain::OpenGraphSettings)->setObjectName("mnuEditGraph");
    edit->addAction("&Communications...", this,
                    [this] {
                        if (!comm_->isVisible()) comm_->ShowOnTop();
                    })
        ->setObjectName("mnuEditComm");

    QMenu* view = menuBar()->addMenu("&View");
    // One graph is shown at a time: choosing the shown one keeps its check mark.
    auto* graphGroup = new QActionGroup(view);
    graphGroup->setExclusionPolicy(QActionGroup::ExclusionPolicy::Exclusive);
    const char* graphs[] = {"Output &Rate Graph", "Output &Deviation Graph", "Output &Power Graph",
                            "&Sensor Rate Graph"};
    static const char* names[] = {"mnuViewGraph_0", "mnuViewGraph_1", "mnuViewGraph_2",
                                  "mnuViewGraph_3"};
    for (int i = 0; i < 4; ++i) {
        mnuViewGraph_[std::size_t(i)] =
            view->addAction(graphs[i], this, [this, i] { logic_->OnViewGraph(i); });
        mnuViewGraph_[std::size_t(i)]->setCheckable(true);
        graphGroup->addAction(mnuViewGraph_[std::size_t(i)]);
        mnuViewGraph_[std::size_t(i)]->setObjectName(names[i]);
    }
    view->addSeparator();
    view->addAction("Se&nsor Readings", this, &frmMain::OpenReadingsWindow)
        ->setObjectName("mnuViewSensorRdg");

    QMenu* help = menuBar()->addMenu("&Help");
    help->addAction("&Help", this,
                    [this] {
                        const QString path =
                            QString::fromStdString(core::DataFolder()) + "/Delvar Comm.html";
                        QApplication::setOverrideCursor(Qt::WaitCursor);
                        const bool shown = QFileInfo::exists(path) &&
                                           QDesktopServices::openUrl(QUrl::fromLocalFile(path));
                        QApplication::restoreOverrideCursor();
                        if (!shown)
                            d_.dialogs.ShowMessage(
                                {"The help file " + path.toStdString() + " could not be opened.",
                                 app::kAppTitle, core::MessageIcon::Exclamation});
                    })
        ->setObjectName("mnuHelpHelp");
    help->addAction("&About", this,
                    [this] {
                        QMessageBox::about(
                            this, "About Delvar Comm",
                            QString("<b>Delvar Comm</b> %1<br>Companion program of the Delvar "
                                    "deposition controller.")
                                .arg(core::kVersionText));
                    })
        ->setObjectName("mnuHelpAbout");
}

void frmMain::ChooseSetupWindow(int source) {
    if (setupChosen_) return;  // chosen twice while an exchange waited: one window
    setupChosen_ = true;
    d_.link.RunWhenIdle([window = QPointer<frmMain>(this), source] {
        if (!window) return;
        window->setupChosen_ = false;
        window->OpenSetupWindow(source);
    });
}

void frmMain::OpenSetupWindow(int source) {
    if (!openSetupWindow) return;
    // The setup window works with the poll stopped and the main window out of use;
    // SetupWindowClosed gives both back.
    tmrUpdate_.stop();
    SetWindowEnabled(false);
    openSetupWindow(source);
}

void frmMain::SetupWindowClosed() {
    SetWindowEnabled(true);
    if (!d_.link.Info().Online) {
        if (logic_->Retrying()) tmrUpdate_.start();  // the lost instrument is looked for again
        return;
    }
    logic_->LoadProcesses();
    tmrUpdate_.start();
}

void frmMain::OpenDataLogWindow() {
    if (!dataLog_) dataLog_ = new frmDataLog(d_.settings.log, d_.log, d_.dialogs, this);
    dataLog_->show();
    dataLog_->raise();
}

void frmMain::OpenGraphSettings() {
    frmGraphSet dialog(*graphs_, this);
    dialog.exec();
}

void frmMain::OpenReadingsWindow() {
    if (!readings_) readings_ = new frmReadings(d_.readings.sensors, errors, this);
    readings_->show();
    readings_->raise();
}

void frmMain::SetVisible(Ctl c, bool visible) {
    if (c == Ctl::mnuEditInstrument) {
        mnuEditInstrument_->setVisible(visible);
        return;
    }
    W(c)->setVisible(visible);
    if (c == OutputControl(Ctl::sldManPwr, 0)) manualHeading_->setVisible(visible);
}

bool frmMain::IsVisible(Ctl c) const {
    if (c == Ctl::mnuEditInstrument) return mnuEditInstrument_->isVisible();
    return !W(c)->isHidden();
}

void frmMain::SetEnabled(Ctl c, bool enabled) {
    if (c == Ctl::mnuEditInstrument) {
        mnuEditInstrument_->setEnabled(enabled);
        return;
    }
    W(c)->setEnabled(enabled);
}

void frmMain::SetText(Ctl c, const std::string& text) {
    if (auto* label = qobject_cast<QLabel*>(W(c))) label->setText(Q(text));
}

std::string frmMain::Text(Ctl c) const {
    if (auto* label = qobject_cast<QLabel*>(W(c))) return label->text().toStdString();
    return {};
}

void frmMain::SetTextColour(Ctl c, monitor::Rgb colour) {
    // Palettes are only touched when the colour changes: a palette change repaints.
    auto& last = colours_[std::size_t(c)];
    if (last == colour && W(c)->property("coloured").toBool()) return;
    last = colour;
    W(c)->setProperty("coloured", true);
    QPalette p = W(c)->palette();
    p.setColor(QPalette::WindowText, QColor(colour.r, colour.g, colour.b));
    W(c)->setPalette(p);
}

void frmMain::FillProcessList(const std::vector<std::string>& items) {
    auto* cbo = static_cast<QComboBox*>(W(Ctl::cboProcess));
    const QSignalBlocker block(cbo);
    cbo->clear();
    for (const auto& item : items) cbo->addItem(Q(item));
    cbo->setCurrentIndex(-1);
}

int frmMain::ProcessIndex() const {
    return static_cast<QComboBox*>(W(Ctl::cboProcess))->currentIndex();
}

void frmMain::SetProcessIndex(int index) {
    auto* cbo = static_cast<QComboBox*>(W(Ctl::cboProcess));
    if (index >= 0 && index < cbo->count()) cbo->setCurrentIndex(index);
}

bool frmMain::ProcessListDropped() const {
    return static_cast<QComboBox*>(W(Ctl::cboProcess))->view()->isVisible();
}

int frmMain::SliderPosition(int slider) const {
    return static_cast<QSlider*>(W(OutputControl(Ctl::sldManPwr, slider)))->value();
}

void frmMain::SetSliderPosition(int slider, int position) {
    auto* s = static_cast<QSlider*>(W(OutputControl(Ctl::sldManPwr, slider)));
    const QSignalBlocker block(s);
    s->setValue(position);
}

bool frmMain::SliderHasFocus(int slider) const {
    auto* s = W(OutputControl(Ctl::sldManPwr, slider));
    return s->hasFocus() || static_cast<QSlider*>(s)->isSliderDown();
}

void frmMain::SetTimerPeriod(int ms) {
    period_ = ms;
    tmrUpdate_.setInterval(std::max(1, int(std::lround(ms / timeScale_))));
}

void frmMain::SetTimeScale(double speed) {
    timeScale_ = speed > 0 ? speed : 1.0;
    SetTimerPeriod(period_);
}

void frmMain::SetTitle(const std::string& title) {
    setWindowTitle(Q(title));
}

void frmMain::SetWindowEnabled(bool enabled) {
    centralWidget()->setEnabled(enabled);
    menuBar()->setEnabled(enabled);
}

void frmMain::CheckViewGraph(int index) {
    for (int i = 0; i < 4; ++i) mnuViewGraph_[std::size_t(i)]->setChecked(i == index);
}

void frmMain::ShowStatus(const std::string& text) {
    statusBar()->showMessage(Q(text));
}

void frmMain::ShowCommWindowOnTop() {
    comm_->ShowOnTop();
}

void frmMain::PumpEvents() {
    QCoreApplication::processEvents();
}

void frmMain::closeEvent(QCloseEvent* event) {
    if (!closing_) {
        closing_ = true;
        tmrUpdate_.stop();
        if (onClose) onClose();
    }
    event->accept();
    QApplication::closeAllWindows();
    QCoreApplication::quit();
}

void frmMain::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) logic_->OnActivated();
    QMainWindow::changeEvent(event);
}

}  // namespace delvar::windows
