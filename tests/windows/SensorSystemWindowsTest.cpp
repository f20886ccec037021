// The sensor, source and system windows on their real controls: names, check boxes by
// channel count, a refused cell that reverts, Save off line, Cancel, and a close asked
// in the middle of a read, which waits for its end.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest/QTest>

#include "setup/SetupData.h"
#include "sim/Responder.h"
#include "support/LinkRig.h"
#include "support/ScriptedDialogs.h"
#include "support/WindowTesting.h"
#include "windows/editors/CellGrid.h"
#include "windows/editors/frmSensors.h"
#include "windows/editors/frmSystem.h"

namespace delvar::windows {
namespace {

using namespace delvar::testing;
using editors::ChannelKind;

// The windows on a link whose instrument is the simulator's responder; `during` runs
// when the given command is sent, in the middle of a transfer.
struct WindowRig : LinkRig {
    std::unique_ptr<setup::SetupData> setup = std::make_unique<setup::SetupData>();
    ScriptedDialogs dialogs;
    setup::NoProgress progress;
    editors::EditorContext context{link, *setup, dialogs, progress};
    sim::Responder instrument{sim::InstrumentModel{"6.30", 2}};
    std::string duringCommand;
    std::function<void()> during;

    explicit WindowRig(bool online = true) {
        setup::ResetSetupData(*setup);
        link.MutableInfo().Online = online;
        link.MutableInfo().ChannelCount = 2;
        AnswerOn(tcp, [this](const std::string& command) {
            if (during && command.rfind(duringCommand, 0) == 0) std::exchange(during, nullptr)();
            const sim::Reply reply = instrument.Respond(command);
            return Answer{reply.status, reply.data};
        });
    }
};

TEST(SensorWindow, ChecksByChannelCountARefusedCellAndAReadIntoTheGrid) {
    WindowRig r;
    frmSensors window(ChannelKind::Sensors, r.context);
    window.show();
    EXPECT_EQ(window.objectName(), "frmSensors");
    EXPECT_TRUE(window.isModal());
    auto* grid = Child<CellGrid>(window, "grdSensor");
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(grid->horizontalHeaderItem(2)->text(), "Sensor 2");
    EXPECT_TRUE(Child<QCheckBox>(window, "chkSelect_2")->isChecked());
    EXPECT_FALSE(Child<QCheckBox>(window, "chkSelect_3")->isEnabled());
    EXPECT_TRUE(Child(window, "cmdUpLoad")->isEnabled());

    TypeInCell(*grid, 0, 1, "400");
    EXPECT_EQ(r.dialogs.LastText(), "Valid Tooling values are  0 to 399");
    EXPECT_EQ(grid->CellText(0, 1), "0.0");
    TypeInCell(*grid, 0, 1, "12.5");
    EXPECT_EQ(grid->CellText(0, 1), "12");
    EXPECT_FALSE(grid->item(2, 1)->flags().testFlag(Qt::ItemIsEditable))
        << "Shutter No: the delay is locked";

    QTest::mouseClick(Child(window, "cmdUpLoad"), Qt::LeftButton);
    EXPECT_EQ(grid->CellText(0, 1), "100") << "the instrument's";
    EXPECT_TRUE(Child(window, "cmdUpLoad")->isEnabled());
    QTest::mouseClick(Child(window, "cmdCancel"), Qt::LeftButton);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(r.setup->sensors[1].Tooling, 0) << "Cancel gives nothing to the setup";
}

TEST(SensorWindow, ACloseDuringAReadWaitsForItsEnd) {
    WindowRig r;
    frmSensors window(ChannelKind::Sources, r.context);
    window.show();
    EXPECT_EQ(window.objectName(), "frmSources");
    ASSERT_NE(Child<CellGrid>(window, "grdSource"), nullptr);
    bool cancelEnabled = true, gridEnabled = true, visible = false;
    r.duringCommand = "GA5?";
    r.during = [&] {
        cancelEnabled = Child(window, "cmdCancel")->isEnabled();
        gridEnabled = Child(window, "grdSource")->isEnabled();
        QTest::keyClick(&window, Qt::Key_Escape);
        window.close();
        QCoreApplication::processEvents();
        visible = window.isVisible();
    };
    QTest::mouseClick(Child(window, "cmdUpLoad"), Qt::LeftButton);
    EXPECT_FALSE(cancelEnabled);
    EXPECT_FALSE(gridEnabled);
    EXPECT_TRUE(visible) << "nothing closes while the read runs";
    EXPECT_EQ(r.setup->sources[1].Voltage_Scale, 0) << "the setup is not touched";
    QCoreApplication::processEvents();
    EXPECT_FALSE(window.isVisible()) << "closed once the read ended";
    EXPECT_EQ(window.result(), QDialog::Rejected);
}

TEST(SensorWindow, SavingOffLineKeepsTheWindowOpen) {
    WindowRig r(false);
    frmSensors window(ChannelKind::Sensors, r.context);
    window.show();
    EXPECT_FALSE(Child(window, "cmdDnLoad")->isEnabled());
    EXPECT_FALSE(Child(window, "chkSelect_1")->isEnabled());
    TypeInCell(*Child<CellGrid>(window, "grdSensor"), 0, 2, "55");
    QTest::mouseClick(Child(window, "cmdSave"), Qt::LeftButton);
    EXPECT_EQ(r.dialogs.LastText(), "Cannot save changes because Delvar is not online.");
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(r.setup->sensors[2].Tooling, 0);
}

TEST(SystemWindow, RefusedToolingCancelAfterAReadAndACloseThatWaits) {
    WindowRig r;
    frmSystem window(r.context);
    window.show();
    auto* grid = Child<CellGrid>(window, "grdSystem");
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(grid->rowCount(), 11);
    TypeInCell(*grid, 2, 1, "5");
    EXPECT_EQ(r.dialogs.LastText(), "Valid System Tooling values are 10 to 399");
    EXPECT_EQ(grid->CellText(2, 1), "100");
    TypeInCell(*grid, 2, 1, "150.5");
    EXPECT_EQ(r.setup->system.System_Tooling, 150);

    bool okEnabled = true;
    r.duringCommand = "B?";
    r.during = [&] {
        okEnabled = Child(window, "cmdOK")->isEnabled();
        window.reject();
        QCoreApplication::processEvents();
    };
    QTest::mouseClick(Child(window, "cmdUpLoad"), Qt::LeftButton);
    EXPECT_FALSE(okEnabled);
    EXPECT_EQ(r.setup->system.System_Tooling, 100) << "read";
    EXPECT_EQ(r.setup->system.Simulate_Mode, 1);
    QCoreApplication::processEvents();
    EXPECT_FALSE(window.isVisible());

    frmSystem again(r.context);
    again.show();
    TypeInCell(*Child<CellGrid>(again, "grdSystem"), 7, 1, "");
    EXPECT_EQ(r.setup->system.Password, 5937);
    QTest::mouseClick(Child(again, "cmdUpLoad"), Qt::LeftButton);
    QTest::mouseClick(Child(again, "cmdCancel"), Qt::LeftButton);
    EXPECT_FALSE(again.isVisible());
    EXPECT_EQ(r.setup->system.Password, 0) << "the value it opened with";
    EXPECT_EQ(r.setup->system.Simulate_Mode, 1) << "as the first window left it";
}

}  // namespace
}  // namespace delvar::windows
