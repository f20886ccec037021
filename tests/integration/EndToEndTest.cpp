// delvar-comm on its built-in simulated instrument (offscreen, simulated time 40 times
// faster): select a process, start it, watch the phases advance, the graphs fill and
// the data log gain rows in their exact format, and reset the run.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QChartView>
#include <QComboBox>
#include <QLineSeries>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>

#include "app/UserSettingsStore.h"
#include "setup/SetupData.h"
#include "windows/app/Program.h"
#include "windows/app/frmMain.h"
#include "windows/editors/frmProcess.h"
#include "windows/tour/ScreenshotTour.h"

namespace delvar::testing {
namespace {

namespace fs = std::filesystem;

struct EndToEnd : ::testing::Test {
    fs::path folder = fs::temp_directory_path() / ("delvar-e2e-" + std::to_string(::getpid()));
    app::MemorySettingsStore store;
    std::unique_ptr<windows::Program> program;

    void SetUp() override {
        fs::create_directories(folder);
        app::ProgramOptions options;
        options.simulator = true;
        options.setupFile = DELVAR_DEMO_SETUP;
        options.speed = 40;
        options.settingsFolder = folder.string();
        program = std::make_unique<windows::Program>(options, &store);
        std::string error;
        ASSERT_TRUE(program->Start(error)) << error;
    }
    void TearDown() override {
        program.reset();
        fs::remove_all(folder);
    }
    windows::frmMain& Main() { return program->Main(); }

    // Runs the program's events until done() holds; false when it never did (the bound
    // only stops a broken build from hanging: simulated time runs 40 times faster).
    template <typename Done>
    bool RunUntil(Done done, int boundMs = 60000) {
        QElapsedTimer t;
        t.start();
        while (!done()) {
            if (t.elapsed() > boundMs) return false;
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
        }
        return true;
    }
    std::string Log() const {
        std::ifstream in(program->LogFile(), std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
};

TEST_F(EndToEnd, StartWatchAndResetAProcess) {
    auto* cbo = Main().findChild<QComboBox*>("cboProcess");
    ASSERT_TRUE(cbo);
    ASSERT_TRUE(RunUntil([&] { return cbo->count() == 99 && Main().Logic().Phase() == 0; }));
    EXPECT_EQ(cbo->itemText(0).toStdString(), "1. " + setup::FixedName("Al mirror"));
    EXPECT_EQ(Main().windowTitle().left(13), "Delvar Comm -");

    auto& settings = program->Settings();
    settings.log.LogMode = 1;
    settings.log.Interval = 0;
    cbo->setCurrentIndex(1);
    cbo->setCurrentIndex(0);  // process 1 selected by the operator
    ASSERT_TRUE(RunUntil([&] { return Main().Logic().PendingAction() == -1; }));
    QTest::mouseClick(Main().findChild<QPushButton*>("cmdStart"), Qt::LeftButton);

    std::set<int> phases;
    ASSERT_TRUE(RunUntil([&] {
        phases.insert(Main().Logic().Phase());
        return Main().Logic().Phase() == 13 && Log().find(", Deposit,") != std::string::npos;
    })) << "phases seen: "
        << phases.size();
    for (int phase : {7, 8, 9, 10, 12}) EXPECT_TRUE(phases.count(phase)) << phase;
    EXPECT_TRUE(Main().findChild<QPushButton*>("cmdAbort")->isVisible());
    EXPECT_FALSE(Main().findChild<QPushButton*>("cmdStart")->isVisible());

    // The shown rate graph fills with points of output 1.
    auto* rateView = Main().findChild<QChartView*>("AverageGraph");
    ASSERT_TRUE(rateView);
    ASSERT_TRUE(RunUntil([&] {
        for (auto* s : rateView->chart()->series())
            if (auto* line = qobject_cast<QLineSeries*>(s); line && line->count() >= 10)
                return true;
        return false;
    }));

    QTest::mouseClick(Main().findChild<QPushButton*>("cmdAbort"), Qt::LeftButton);
    ASSERT_TRUE(RunUntil([&] { return Main().Logic().Phase() == 0; }));
    const std::string log = Log();
    EXPECT_EQ(log.rfind("Start:   Date: ", 0), 0u);
    EXPECT_NE(log.find("\r\n\r\nTime,Phase,Out1Rate,Out1Dev,Out1Thk,Out1Pwr,Out2Rate........"
                       "Sens1Rate,Sens1Thk,Sens1Freq,Sens2rate.........\r\n\r\n"),
              std::string::npos);
    const std::regex row(
        R"(\d+\.\d, [A-Za-z0-9 .]+(, -?\d+\.\d\d,-?\d+\.\d,(-?\d+\.\d+)?,-?\d+\.\d){4})"
        R"(, Sensors:(, -?\d+\.\d\d,(-?\d+\.\d+)?,-?\d+\.\d{3}){4})");
    std::istringstream lines(log);
    int rows = 0;
    for (std::string line; std::getline(lines, line);) {
        ASSERT_TRUE(line.empty() || line.back() == '\r') << "CR LF ends every line";
        if (!line.empty()) line.pop_back();
        if (!line.empty() && std::isdigit(static_cast<unsigned char>(line[0]))) {
            EXPECT_TRUE(std::regex_match(line, row)) << line;
            ++rows;
        }
    }
    EXPECT_GT(rows, 10);
    EXPECT_NE(log.find("\r\n\r\nEnd:     Date: "), std::string::npos) << "the reset ends the run";
}

// A first run on the built-in instrument: closing asks nothing, creates the settings
// file with the saved link settings untouched, and keeps the window position and the
// graph set-ups in the per-user store.
TEST_F(EndToEnd, ClosingSavesSettingsAndPositionsWithoutAsking) {
    ASSERT_TRUE(RunUntil([&] { return Main().Logic().Phase() == 0; }));
    ASSERT_FALSE(fs::exists(program->SettingsFile()));
    Main().close();
    std::ifstream in(program->SettingsFile());
    std::stringstream ini;
    ini << in.rdbuf();
    EXPECT_NE(ini.str().find("Type=0"), std::string::npos) << "RS-232 as before, not the simulator";
    EXPECT_NE(ini.str().find("EAddress=192.168.1.200"), std::string::npos);
    EXPECT_EQ(store.GetSetting("Form Positions", "frmMain").rfind("L=", 0), 0u);
    EXPECT_EQ(store.GetSetting("Graph1Setup", "frmMain").rfind("XMax=", 0), 0u);
}

// Edit / Instrument: the poll stops and the main window is out of use while the setup
// window shows the instrument's whole setup; closing it gives both back.
TEST_F(EndToEnd, TheSetupWindowOpensOnTheInstrumentsSetupAndGivesThePollBack) {
    ASSERT_TRUE(RunUntil([&] { return Main().Logic().Phase() == 0; }));
    auto* instrument = Main().findChild<QAction*>("mnuEditInstrument");
    ASSERT_TRUE(instrument && instrument->isEnabled());
    instrument->trigger();
    auto* window = Main().findChild<windows::frmProcess*>();
    ASSERT_TRUE(window && window->isVisible());
    EXPECT_FALSE(Main().UpdateTimer().isActive());
    EXPECT_FALSE(Main().centralWidget()->isEnabled());
    EXPECT_EQ(window->windowTitle().toStdString(), "Edit - [Instrument Upload]");
    auto* tree = window->findChild<QTreeWidget*>("TV1");
    ASSERT_EQ(tree->topLevelItemCount(), 99);
    EXPECT_EQ(tree->topLevelItem(3)->child(1)->text(0).toStdString(), "->Layer 1.2");

    QTimer::singleShot(0, [] {
        // The close question: No, the instrument's setup is not kept in a file.
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
            box->button(QMessageBox::No)->click();
    });
    QTest::mouseClick(window->findChild<QPushButton*>("cmdOK"), Qt::LeftButton);
    ASSERT_TRUE(RunUntil([&] { return Main().centralWidget()->isEnabled(); }, 10000));
    EXPECT_TRUE(Main().UpdateTimer().isActive()) << "the poll runs again";
}

// The screenshot tour answers nothing: a message that comes during it (here one
// shown as the tour begins) ends it with a non-zero exit that names the message.
TEST_F(EndToEnd, TheScreenshotTourEndsWithAnErrorOnAnUnexpectedMessage) {
    auto tour = program->MakeTour((folder / "shots").string());
    QTimer::singleShot(0, &Main(), [this] {
        QMessageBox::warning(&Main(), "Delvar Comm", "Error: Batch Upload Lock");
    });
    QTimer bound;  // only stops a broken build from hanging the test run
    bound.setSingleShot(true);
    QObject::connect(&bound, &QTimer::timeout, [] { QCoreApplication::exit(99); });
    bound.start(120000);
    tour->Begin();
    const int code = QCoreApplication::exec();
    EXPECT_EQ(code, windows::ScreenshotTour::kUnexpectedMessageExit);
    EXPECT_EQ(tour->Failure(), "Delvar Comm: Error: Batch Upload Lock");
}

}  // namespace
}  // namespace delvar::testing
