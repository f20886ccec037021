// The program on line through a serial device path typed into the communications
// window (a paced pseudo-terminal of delvar-sim), and that path kept across a restart.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "app/UserSettingsStore.h"
#include "support/ScratchFolder.h"
#include "support/SimProcess.h"
#include "windows/app/Program.h"
#include "windows/app/frmComm.h"
#include "windows/app/frmMain.h"

namespace delvar::testing {
namespace {

bool OnLine(windows::Program& program) {
    return QTest::qWaitFor([&] { return program.Main().windowTitle().contains("Ver 6.30"); },
                           30000);
}

TEST(TypedDevice, ProgramGoesOnLineThroughATypedPathAndKeepsItAcrossARestart) {
    SimProcess sim(DELVAR_SIM_PATH, {.tcp = false, .pty = true, .extraArgs = {"--baud", "19200"}});
    ScratchFolder folder;
    WriteFile(folder / "Delvar Comm.ini", "[CommSettings]\nType=0\nRS232Port=2\nStart=0\n");
    app::MemorySettingsStore store;
    app::ProgramOptions options;
    options.settingsFolder = folder.path();
    {
        windows::Program program(options, &store);
        std::string error;
        ASSERT_TRUE(program.Start(error)) << error;
        windows::frmComm& comm = program.Main().CommWindow();
        comm.Open();
        auto* device = comm.findChild<QComboBox*>("cboRS232");
        ASSERT_NE(device, nullptr);
        device->lineEdit()->setText(QString::fromStdString(sim.ptyPath()));
        QTest::keyClick(device->lineEdit(), Qt::Key_Return);
        comm.findChild<QCheckBox*>("chkStart")->setChecked(true);
        QTest::mouseClick(comm.findChild<QPushButton*>("cmdFind"), Qt::LeftButton);
        EXPECT_EQ(comm.findChild<QLineEdit*>("txtRcv")->text(), "DELVAR  Ver 6.30");
        ASSERT_TRUE(OnLine(program));
        comm.close();
        program.Main().close();  // writes the settings
    }
    const std::string saved = ReadFile(folder / "Delvar Comm.ini");
    EXPECT_NE(saved.find("\nRS232Device=" + sim.ptyPath() + "\n"), std::string::npos) << saved;
    EXPECT_NE(saved.find("\nRS232Port=2\n"), std::string::npos) << saved;

    // Started again, the search at start goes through the same device.
    windows::Program again(options, &store);
    std::string error;
    ASSERT_TRUE(again.Start(error)) << error;
    EXPECT_TRUE(OnLine(again));
    again.Main().close();
}

}  // namespace
}  // namespace delvar::testing
