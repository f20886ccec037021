// The setup window and its editors, offscreen, in database mode: time from creating the
// setup window to its painted tree on the demo database and on a full one (99
// processes of 10 layers), the tree rebuild after an insert, and the opening of each
// editor to its first paint. Prints figures only (median of five runs each).
#include <QApplication>
#include <QElapsedTimer>
#include <QListWidget>
#include <QTreeWidget>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <vector>

#include "core/CErrHandler.h"
#include "platform/LinuxUsbXpress.h"
#include "platform/QtEventPump.h"
#include "platform/QtSerialPort.h"
#include "platform/QtTcpSocket.h"
#include "setup/LayerChains.h"
#include "setup/modDatabase.h"
#include "support/ScriptedDialogs.h"
#include "windows/editors/frmFilm.h"
#include "windows/editors/frmIO.h"
#include "windows/editors/frmLayer.h"
#include "windows/editors/frmLogic.h"
#include "windows/editors/frmMaterial.h"
#include "windows/editors/frmProcess.h"
#include "windows/editors/frmSensors.h"
#include "windows/editors/frmSystem.h"

namespace {

using namespace delvar;

// Milliseconds from the start of make() to the first paint of the widget it returns.
struct PaintTimer : QObject {
    bool painted = false;
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) painted = true;
        return false;
    }
    double Measure(const std::function<QWidget*()>& make) {
        painted = false;
        QElapsedTimer t;
        t.start();
        QWidget* target = make();
        target->installEventFilter(this);
        while (!painted) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
        target->removeEventFilter(this);
        return double(t.nsecsElapsed()) / 1e6;
    }
};

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    namespace fs = std::filesystem;
    const fs::path folder = fs::temp_directory_path() / "delvar-setup-bench";
    fs::create_directories(folder);

    platform::QtSerialPort serial;
    platform::QtTcpSocket tcp;
    platform::LinuxUsbXpress usb;
    platform::QtEventPump pump;
    link::SteadyClock clock;
    link::Link link({serial, tcp, usb, pump, clock});
    testing::ScriptedDialogs dialogs;
    setup::NoProgress progress;
    core::CErrHandler errors(dialogs, core::AppInfo{}, (folder / "ERRORS.TXT").string(),
                             folder.string());
    auto data = std::make_unique<setup::SetupData>();
    setup::ResetSetupData(*data);
    setup::DatabaseOptions options;
    options.blankTemplate = DELVAR_BLANK_TEMPLATE;
    setup::modDatabase database(*data, {dialogs, errors, progress}, options);

    // The full setup: 99 processes of 10 layers each.
    for (int p = 1; p <= 99; ++p) {
        int after = 0;
        for (int l = 0; l < 10; ++l) after = setup::InsertLayer(*data, p, after);
    }
    const std::string full = (folder / "Full.mdb").string();
    database.DBSave(full);

    PaintTimer timer;
    for (const std::string& file : {std::string(DELVAR_DEMO_SETUP), full}) {
        app::AppSettings settings;
        settings.DatabaseFile = file;
        std::vector<double> open, rebuild;
        for (int run = 0; run < 5; ++run) {
            std::unique_ptr<windows::frmProcess> window;
            open.push_back(timer.Measure([&] {
                window = std::make_unique<windows::frmProcess>(
                    windows::ProcessWindowDeps{
                        link, *data, database, dialogs, progress, settings, folder.string(), {}},
                    0);
                window->Start();
                return window->findChild<QTreeWidget*>("TV1")->viewport();
            }));
            rebuild.push_back(timer.Measure([&] {
                window->Logic().InsertLayerClicked();
                window->Logic().NodeClicked("P1", "");
                return window->findChild<QTreeWidget*>("TV1")->viewport();
            }));
        }
        std::printf("%s: setup window to a painted tree %.1f ms, rebuild after an insert %.1f ms\n",
                    fs::path(file).filename().c_str(), Median(open), Median(rebuild));
    }

    database.DBOpen(DELVAR_DEMO_SETUP);
    editors::EditorContext context{
        link, *data, dialogs, progress, 4, std::max(1, int(data->processes[4].First_Layer)), 2};
    auto editor = [&](const char* name, const std::function<QDialog*()>& make) {
        std::vector<double> times;
        for (int run = 0; run < 5; ++run) {
            std::unique_ptr<QDialog> dialog;
            times.push_back(timer.Measure([&] {
                dialog.reset(make());
                dialog->show();
                return dialog.get();
            }));
        }
        std::printf("%s: open to first paint %.1f ms\n", name, Median(times));
    };
    editor("layer editor", [&] { return new windows::frmLayer(context); });
    editor("film editor", [&] { return new windows::frmFilm(context); });
    editor("material editor", [&] { return new windows::frmMaterial(context); });
    editor("I/O editor", [&] { return new windows::frmIO(context); });
    editor("sensor editor",
           [&] { return new windows::frmSensors(editors::ChannelKind::Sensors, context); });
    editor("source editor",
           [&] { return new windows::frmSensors(editors::ChannelKind::Sources, context); });
    editor("system editor", [&] { return new windows::frmSystem(context); });
    editor("logic builder", [&] { return new windows::frmLogic(context); });

    // The longest select list (THEN Process: 102 actions), from the category click to
    // the list refilled, median of 50.
    {
        windows::frmLogic logic(context);
        logic.show();
        QCoreApplication::processEvents();
        QWidget* list = logic.findChild<QWidget*>("lstThenSelect");
        std::vector<double> fills, painted;
        for (int run = 0; run < 50; ++run) {
            logic.Logic().CategoryChosen(editors::LogicPart::Then, 0);
            QElapsedTimer t;
            t.start();
            logic.Logic().CategoryChosen(editors::LogicPart::Then, 6);
            fills.push_back(double(t.nsecsElapsed()) / 1e6);
            logic.Logic().CategoryChosen(editors::LogicPart::Then, 0);
            QCoreApplication::processEvents();
            painted.push_back(timer.Measure([&] {
                logic.Logic().CategoryChosen(editors::LogicPart::Then, 6);
                return static_cast<QListWidget*>(list)->viewport();
            }));
        }
        std::printf(
            "logic builder: filling the longest select list %.3f ms, to its paint %.2f ms\n",
            Median(fills), Median(painted));
    }
    fs::remove_all(folder);
    return 0;
}
