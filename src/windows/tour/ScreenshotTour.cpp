#include "windows/tour/ScreenshotTour.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <cstdio>

#include "link/Link.h"
#include "monitor/Graphs.h"
#include "windows/app/frmComm.h"
#include "windows/app/frmMain.h"
#include "windows/app/frmSplash.h"
#include "windows/monitor/frmGraphSet.h"
#include "windows/monitor/frmReadings.h"
#include "windows/tour/SetupTour.h"

namespace delvar::windows {

namespace {
constexpr int kCheckMs = 100;
constexpr int kWatchMs = 50;
constexpr int kMaxChecks = 1200;        // two minutes of checks at most
constexpr double kDepositSeconds = 40;  // of simulated deposition before the pictures
}  // namespace

ScreenshotTour::ScreenshotTour(frmMain& main, link::Link& link, setup::SetupData& setup,
                               const commands::RunReadings& readings, frmSplash& splash,
                               std::string folder)
    : main_(main),
      link_(link),
      setup_(setup),
      readings_(readings),
      splash_(splash),
      folder_(std::move(folder)) {
    timer_.setInterval(kCheckMs);
    connect(&timer_, &QTimer::timeout, this, [this] { Check(); });
    watch_.setInterval(kWatchMs);
    connect(&watch_, &QTimer::timeout, this, [this] { WatchForMessages(); });
}

void ScreenshotTour::Begin() {
    QDir().mkpath(QString::fromStdString(folder_));
    timer_.start();
    watch_.start();
}

// Nobody answers a message during the tour: one that comes (a transfer's error, a
// question) ends the tour with a non-zero exit that prints it, instead of a hang.
// The watch's timer also runs inside the message's own wait.
void ScreenshotTour::WatchForMessages() {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || modal->objectName() == kPictureBox) return;
    QString text;
    if (auto* box = qobject_cast<QMessageBox*>(modal))
        text = box->windowTitle() + ": " + box->text();
    else if (qobject_cast<QInputDialog*>(modal) || qobject_cast<QFileDialog*>(modal))
        text = modal->windowTitle();
    else
        return;  // the tour's own windows
    failure_ = text.toStdString();
    std::fprintf(stderr, "delvar-comm: the screenshot tour stopped at a message: %s\n",
                 failure_.c_str());
    stage_ = Stage::Done;
    timer_.stop();
    watch_.stop();
    main_.UpdateTimer().stop();
    // Every event loop ends, the message's among them; later messages return at once.
    QCoreApplication::exit(kUnexpectedMessageExit);
}

void ScreenshotTour::Check() {
    // Transfers and pictures let events run, this timer's among them. The setup
    // windows need the link to themselves: while a poll's exchange waits, a later
    // check goes on.
    if (busy_ || link_.CommStatus() == link::kBusy) return;
    const struct Busy {
        bool& flag;
        explicit Busy(bool& f) : flag(f) { flag = true; }
        ~Busy() { flag = false; }
    } busy(busy_);
    // This timer also fires inside a reply wait of the main window's poll; the pictures
    // that talk to the instrument would then be refused as busy.
    if (!link_.Exchange().LastCommand.empty()) return;
    if (++checks_ > kMaxChecks) {
        std::fprintf(stderr, "delvar-comm: the deposition did not start in time\n");
        ShootAll(false);
        return;
    }
    auto* cbo = main_.findChild<QComboBox*>("cboProcess");
    switch (stage_) {
        case Stage::WaitOnline:
            if (link_.Info().Online && cbo->count() > 0 && main_.Logic().Phase() == 0) {
                // The setup windows first, while the instrument stands still.
                for (auto& path : ShootSetupWindows(main_, link_, setup_, splash_, folder_))
                    saved_.push_back(path);
                if (stage_ == Stage::Done) return;  // a message ended the tour
                for (auto& path : ShootIoEditor(main_, link_, setup_, splash_, folder_))
                    saved_.push_back(path);
                if (stage_ == Stage::Done) return;  // a message ended the tour
                if (cbo->currentIndex() != 0) cbo->setCurrentIndex(0);
                main_.findChild<QPushButton*>("cmdStart")->click();
                stage_ = Stage::WaitDeposit;
            }
            break;
        case Stage::WaitDeposit:
            if (main_.Logic().Phase() == 13) {
                if (depositSince_ < 0) depositSince_ = readings_.status.ElapsedTime;
                if (readings_.status.ElapsedTime - depositSince_ >= kDepositSeconds) {
                    ShootMain();
                    main_.findChild<QPushButton*>("cmdAutoMan")->click();
                    stage_ = Stage::WaitManual;
                }
            }
            break;
        case Stage::WaitManual:
            if (main_.Logic().Phase() == 26) ShootAll(true);
            break;
        case Stage::Done:
            break;
    }
}

void ScreenshotTour::Save(QWidget& w, const std::string& name) {
    QApplication::processEvents();
    const std::string path = QDir(QString::fromStdString(folder_))
                                 .absoluteFilePath(QString::fromStdString(name))
                                 .toStdString();
    if (w.grab().save(QString::fromStdString(path))) saved_.push_back(path);
}

void ScreenshotTour::ShootMain() {
    const int shown = main_.Graphs().Display();
    for (int d = 0; d < 4; ++d) {
        main_.Logic().SetDisplay(d);
        Save(main_, "main-graph" + std::to_string(d + 1) + ".png");
    }
    main_.Logic().SetDisplay(shown);
}

void ScreenshotTour::ShootAll(bool deposited) {
    stage_ = Stage::Done;
    timer_.stop();
    main_.UpdateTimer().stop();
    if (deposited)
        Save(main_, "main-manual-power.png");
    else
        ShootMain();
    for (auto& path : ShootIoMonitor(main_, link_, setup_, splash_, folder_))
        saved_.push_back(path);

    main_.OpenReadingsWindow();
    Save(*main_.ReadingsWindow(), "readings.png");
    main_.ReadingsWindow()->close();

    frmGraphSet graphSet(main_.Graphs(), &main_);
    graphSet.show();
    Save(graphSet, "graph-settings.png");
    graphSet.close();

    main_.OpenDataLogWindow();
    if (auto* log = main_.findChild<QWidget*>("frmDataLog")) {
        Save(*log, "data-log.png");
        log->close();
    }

    splash_.Show("Read Instrument", "Reading Delvar Processes:", "Process 40", 40);
    Save(splash_, "progress.png");
    splash_.Close();

    frmComm& comm = main_.CommWindow();
    comm.Open();
    const char* types[] = {"rs232", "usb", "ethernet"};
    for (int t = 2; t >= 0; --t) {
        if (auto* opt = comm.findChild<QRadioButton*>("optComm_" + QString::number(t)))
            opt->click();
        Save(comm, std::string("comm-") + types[t] + ".png");
    }
    comm.close();

    for (const auto& path : saved_) std::printf("%s\n", path.c_str());
    std::fflush(stdout);
    QCoreApplication::exit(deposited ? 0 : 1);
}

}  // namespace delvar::windows
