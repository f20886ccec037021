#include "windows/app/Program.h"

#include <QApplication>
#include <QFileInfo>
#include <QStandardPaths>

#include "app/FormPositions.h"
#include "app/SettingsFile.h"
#include "core/AppInfo.h"
#include "monitor/DataLog.h"
#include "monitor/Graphs.h"
#include "platform/AppPaths.h"
#include "platform/LinuxUsbXpress.h"
#include "platform/QtDialogService.h"
#include "platform/QtEventPump.h"
#include "platform/QtSerialDevices.h"
#include "platform/QtSerialPort.h"
#include "platform/QtTcpSocket.h"
#include "setup/SetupData.h"
#include "setup/UpgradeDB.h"
#include "setup/modDatabase.h"
#include "transfer/SetupDump.h"
#include "windows/app/BuiltInSimulator.h"
#include "windows/app/QtFormWindow.h"
#include "windows/app/QtUserSettings.h"
#include "windows/app/frmMain.h"
#include "windows/app/frmSplash.h"
#include "windows/editors/frmFilm.h"
#include "windows/editors/frmIO.h"
#include "windows/editors/frmLayer.h"
#include "windows/editors/frmLogic.h"
#include "windows/editors/frmMaterial.h"
#include "windows/editors/frmProcess.h"
#include "windows/editors/frmSensors.h"
#include "windows/editors/frmSystem.h"
#include "windows/monitor/QtWallClock.h"
#include "windows/tour/ScreenshotTour.h"

namespace delvar::windows {

namespace {

// The monitor's clock under --speed: seconds since midnight run F times faster from
// the start of the program, so graphs and log times match the simulated instrument.
class ScaledClock final : public monitor::WallClock {
  public:
    explicit ScaledClock(double speed) : speed_(speed), start_(real_.SecondsSinceMidnight()) {}
    double SecondsSinceMidnight() const override {
        double elapsed = real_.SecondsSinceMidnight() - start_;
        if (elapsed < 0) elapsed += 86400;
        return std::fmod(start_ + elapsed * speed_, 86400.0);
    }
    std::string DateText() const override { return real_.DateText(); }
    std::string TimeText() const override { return real_.TimeText(); }

  private:
    QtWallClock real_;
    double speed_;
    double start_;
};

std::string DemoSetupPath() {
    return core::DataFolder() + "/Delvar.mdb";
}

std::string GraphSetupSection(int graph) {
    return "Graph" + std::to_string(graph) + "Setup";
}

}  // namespace

struct Program::Parts {
    explicit Parts(app::ProgramOptions o) : options(std::move(o)), clock(options.speed) {}
    app::ProgramOptions options;
    platform::QtSerialPort serial;
    platform::QtSerialDevices serialDevices{serial};
    platform::QtTcpSocket tcp;
    platform::LinuxUsbXpress usb;
    platform::QtEventPump pump;
    link::SteadyClock steady;
    std::unique_ptr<link::Link> link;
    setup::SetupData setup;
    commands::RunReadings readings;
    app::AppSettings settings;
    app::SettingsLocation where;
    ScaledClock clock;
    platform::QtDialogService dialogs;
    std::unique_ptr<core::CErrHandler> errors;
    std::unique_ptr<app::UserSettingsStore> ownStore;
    app::UserSettingsStore* store = nullptr;
    std::unique_ptr<monitor::DataLog> log;
    std::unique_ptr<frmSplash> splash;
    std::unique_ptr<setup::modDatabase> database;
    std::unique_ptr<frmMain> main;
    BuiltInSimulator simulator;
};

Program::Program(app::ProgramOptions options, app::UserSettingsStore* store)
    : p_(std::make_unique<Parts>(std::move(options))) {
    p_->store = store;
}

Program::~Program() {
    // The windows go before the link and the simulator they talk to.
    p_->main.reset();
    p_->splash.reset();
}

frmMain& Program::Main() {
    return *p_->main;
}
app::AppSettings& Program::Settings() {
    return p_->settings;
}
std::string Program::SettingsFile() const {
    return p_->where.file;
}
std::string Program::LogFile() const {
    return p_->log->Path();
}

std::unique_ptr<ScreenshotTour> Program::MakeTour(const std::string& folder) {
    return std::make_unique<ScreenshotTour>(*p_->main, *p_->link, p_->setup, p_->readings,
                                            *p_->splash, folder);
}

bool Program::Start(std::string& error) {
    Parts& p = *p_;
    if (!p.store) {
        p.ownStore = std::make_unique<QtUserSettings>();
        p.store = p.ownStore.get();
    }
    // Installed under /usr, the program keeps its settings, database and log in the
    // per-user folder even when it could write beside itself (as root).
    const std::string configDir =
        p.options.settingsFolder.empty()
            ? QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation).toStdString()
            : p.options.settingsFolder;
    const std::string programDir = !p.options.settingsFolder.empty() ? p.options.settingsFolder
                                   : core::RunsInstalled()           ? configDir
                                                                     : core::ProgramFolder();
    p.where = app::FindSettingsFile(programDir, configDir);

    p.errors = std::make_unique<core::CErrHandler>(
        p.dialogs, core::AppInfo{}, platform::ErrorReportPath(), platform::TraceFolder());
    p.link =
        std::make_unique<link::Link>(link::LinkPorts{p.serial, p.tcp, p.usb, p.pump, p.steady});
    p.link->Errors = p.errors.get();
    setup::ResetSetupData(p.setup);
    p.log = std::make_unique<monitor::DataLog>(p.settings.log, p.where.folder, p.clock, p.dialogs);
    p.splash = std::make_unique<frmSplash>();

    MainWindowDeps deps{*p.link, p.setup,   p.readings, *p.log,          p.settings,
                        p.clock, p.dialogs, *p.splash,  p.serialDevices, core::DataFolder()};
    p.main = std::make_unique<frmMain>(std::move(deps));
    frmMain& w = *p.main;
    w.errors = p.errors.get();
    p.dialogs.SetParent(&w);
    w.SetTimeScale(p.options.speed);

    QtFormWindow form(w);
    if (!app::RestoreFormPosition(form, *p.store, false)) app::CentreForm(form);

    app::ReadINI(p.where, p.settings);
    setup::DatabaseOptions databaseOptions;
    databaseOptions.dumpSetup = transfer::DumpSetup;
    databaseOptions.dumpFolder = p.where.folder;
    databaseOptions.Debug = p.settings.Debug;
    // Every open checks the file's version first and upgrades an old one.
    databaseOptions.versionCheck = [this](const std::string& path) {
        setup::UpgradeOptions upgrade;
        upgrade.blankTemplate = setup::DefaultBlankTemplate();
        upgrade.instrumentVersion = p_->link->Info().VersionText;
        return setup::UpgradeDB(path, p_->dialogs, *p_->errors, upgrade);
    };
    p.database = std::make_unique<setup::modDatabase>(
        p.setup, setup::DatabaseServices{p.dialogs, *p.errors, *p.splash}, databaseOptions);
    p.link->Settings() = p.settings.comm;
    // The serial device chosen in the communications window is what the saved port
    // number stands for.
    if (!p.settings.comm.RS232Device.empty())
        p.serial.SetDevicePath(p.settings.comm.RS232Port, p.settings.comm.RS232Device);
    if (p.options.simulator) {
        // Without --setup the built-in instrument starts from the demo setup.
        std::string setupFile = p.options.setupFile;
        if (setupFile.empty() && QFileInfo::exists(QString::fromStdString(DemoSetupPath())))
            setupFile = DemoSetupPath();
        SimulatorSetup sim{setupFile, p.options.speed, true};
        if (!p.simulator.Start(sim, error)) return false;
        // The built-in instrument is reached on its own port; the saved link settings
        // stay as they were.
        auto& s = p.link->Settings();
        s.Type = link::kPortTcp;
        s.EAddress = "127.0.0.1";
        s.EPort = std::to_string(p.simulator.Port());
        s.CheckSum = 1;
    }
    for (int i = 1; i <= 4; ++i)
        w.Graphs().LoadSetup(i, p.store->GetSetting(GraphSetupSection(i), "frmMain"));
    w.Logic().SetDisplay(p.settings.Display);
    w.Graphs().InitGraph(p.readings, p.clock.SecondsSinceMidnight());

    w.Logic().Load(p.options.simulator || p.settings.comm.Start == 1);
    w.onClose = [this] { Shutdown(); };
    w.openSetupWindow = [this](int source) { OpenSetupWindow(source); };
    w.show();
    return true;
}

void Program::OpenSetupWindow(int source) {
    Parts& p = *p_;
    EditorOpeners openers;
    openers.layer = [this](editors::EditorContext& c) { frmLayer(c, p_->main.get()).exec(); };
    openers.film = [this](editors::EditorContext& c) { frmFilm(c, p_->main.get()).exec(); };
    openers.logic = [this](editors::EditorContext& c) { frmLogic(c, p_->main.get()).exec(); };
    openers.material = [this](editors::EditorContext& c) { frmMaterial(c, p_->main.get()).exec(); };
    openers.io = [this](editors::EditorContext& c) { frmIO(c, p_->main.get()).exec(); };
    openers.sensors = [this](editors::EditorContext& c) {
        frmSensors(editors::ChannelKind::Sensors, c, p_->main.get()).exec();
    };
    openers.sources = [this](editors::EditorContext& c) {
        frmSensors(editors::ChannelKind::Sources, c, p_->main.get()).exec();
    };
    openers.system = [this](editors::EditorContext& c) { frmSystem(c, p_->main.get()).exec(); };
    auto* window =
        new frmProcess(ProcessWindowDeps{*p.link, p.setup, *p.database, p.dialogs, *p.splash,
                                         p.settings, p.where.folder, std::move(openers)},
                       source, p.main.get());
    window->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(window, &frmProcess::closed, p.main.get(),
                     [this] { p_->main->SetupWindowClosed(); });
    window->Start();
}

void Program::Shutdown() {
    Parts& p = *p_;
    QtFormWindow form(*p.main);
    app::SaveFormPosition(form, *p.store);
    if (!p.options.simulator) p.settings.comm = p.link->Settings();
    p.settings.Display = p.main->Graphs().Display();
    app::WriteINIAtShutdown(p.where, p.settings, p.dialogs);
    for (int i = 1; i <= 4; ++i)
        p.store->SaveSetting(GraphSetupSection(i), "frmMain", p.main->Graphs().SetupEntry(i));
}

}  // namespace delvar::windows
