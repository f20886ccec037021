#include <gtest/gtest.h>

#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <cstdlib>

#include "support/ScratchFolder.h"
#include "support/ScriptedDialogs.h"
#include "windows/app/QtFormWindow.h"
#include "windows/app/QtUserSettings.h"
#include "windows/monitor/frmDataLog.h"

namespace delvar::windows {
namespace {

struct DataLogWindowTest : ::testing::Test {
    testing::ScratchFolder dir;
    monitor::DataLogSettings settings{.LogMode = 2, .StartTime = 75, .EndTime = 300, .Interval = 1};
    monitor::ManualClock clock;
    testing::ScriptedDialogs dialogs;
    monitor::DataLog log{settings, dir.path(), clock, dialogs};
    frmDataLog w{settings, log, dialogs};

    QSpinBox* Spin(const char* name) { return w.findChild<QSpinBox*>(name); }
    QLineEdit* Box(const char* name) { return Spin(name)->findChild<QLineEdit*>(); }
    // Types text into the spinner's box and leaves the box.
    void Type(const char* name, const QString& text) {
        Box(name)->selectAll();
        QTest::keyClicks(Box(name), text);
        QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
        QCoreApplication::sendEvent(Spin(name), &out);
    }
};

TEST_F(DataLogWindowTest, LoadsTheSettingsAndOptionsTakeEffectAtOnce) {
    EXPECT_EQ(w.windowTitle(), "Data Log - [ Delvar.txt ]");
    EXPECT_TRUE(w.findChild<QRadioButton*>("optLog_2")->isChecked());
    EXPECT_EQ(Spin("spnStartMin")->value() * 100 + Spin("spnStartSec")->value(), 115);
    EXPECT_EQ(settings.StartTime, 75);  // loading applies no rule
    w.findChild<QRadioButton*>("optLog_0")->click();
    EXPECT_EQ(settings.LogMode, 0);
}

TEST_F(DataLogWindowTest, StartAndEndPushEachOther) {
    Spin("spnStartMin")->setValue(6);
    EXPECT_EQ(settings.EndTime, 375);
    EXPECT_EQ(Spin("spnEndMin")->value() * 100 + Spin("spnEndSec")->value(), 615);
    Spin("spnEndMin")->setValue(2);
    EXPECT_EQ(settings.StartTime, 135);
    EXPECT_EQ(Spin("spnStartMin")->value(), 2);
    Spin("spnInterval")->setValue(0);
    EXPECT_EQ(settings.Interval, 0);
}

TEST_F(DataLogWindowTest, TypedValuesAreCheckedWhenTheBoxIsLeft) {
    Type("spnStartMin", "600");
    EXPECT_EQ(dialogs.LastText(), "Valid values are 0 to 500 minutes.");
    EXPECT_EQ(Box("spnStartMin")->text(), "1");
    EXPECT_EQ(settings.StartTime, 75);
    Type("spnEndSec", "75");
    EXPECT_EQ(dialogs.LastText(), "Valid values are 0 to 59 seconds.");
    Type("spnInterval", "61");
    EXPECT_EQ(dialogs.LastText(), "Valid values are 0 to 60 seconds.");
    dialogs.ClearRecord();
    Type("spnStartMin", "7");  // moves the spinner, which pushes the end
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(settings.EndTime, 435);
    EXPECT_EQ(Box("spnEndMin")->text(), "7");
}

TEST_F(DataLogWindowTest, ValuesOutsideTheSpinnersShowAsTheyAreInForce) {
    monitor::DataLogSettings edited{
        .LogMode = 1, .StartTime = 32767, .EndTime = 32767, .Interval = 120};
    const monitor::DataLogSettings before = edited;
    frmDataLog window{edited, log, dialogs};
    const auto spin = [&](const char* name) { return window.findChild<QSpinBox*>(name); };
    EXPECT_EQ(spin("spnInterval")->value(), 120);
    EXPECT_EQ(spin("spnStartMin")->value(), 546);
    EXPECT_EQ(spin("spnStartSec")->value(), 7);
    EXPECT_EQ(spin("spnEndMin")->value(), 546);
    window.findChild<QPushButton*>("cmdForm")->click();
    EXPECT_EQ(edited.Interval, before.Interval);
    EXPECT_EQ(edited.StartTime, before.StartTime);
    EXPECT_EQ(edited.EndTime, before.EndTime);
    spin("spnInterval")->setValue(30);  // what the operator changes is taken
    EXPECT_EQ(edited.Interval, 30);
    spin("spnEndSec")->setValue(50);  // past what the file holds: its largest, shown
    EXPECT_EQ(edited.EndTime, 32767);
    EXPECT_EQ(spin("spnEndSec")->value(), 7);
}

TEST_F(DataLogWindowTest, NewFileGetsTxtAndTheCaption) {
    dialogs.fileAnswers = {dir / "Run2"};
    w.findChild<QPushButton*>("cmdNew")->click();
    EXPECT_EQ(settings.File, dir / "Run2.txt");
    EXPECT_EQ(w.windowTitle(), "Data Log - [Run2.txt]");
    w.findChild<QPushButton*>("cmdView")->click();
    EXPECT_EQ(dialogs.LastText(), "The log file " + settings.File + " has not been written yet.");
}

TEST_F(DataLogWindowTest, LinesNotWrittenAreShown) {
    auto* notice = w.findChild<QLabel*>("lblFailures");
    EXPECT_TRUE(notice->isHidden());
    settings.File = dir / "gone/Delvar.txt";
    log.InitDataLog(500, nullptr, nullptr);
    EXPECT_FALSE(notice->isHidden());
    EXPECT_EQ(notice->text().toStdString(),
              "2 lines of the data log could not be written to " + settings.File + ".");
    if (const char* shots = std::getenv("DELVAR_SHOT_DIR")) {
        w.show();
        w.grab().save(QString(shots) + "/frmDataLog.png");
    }
}

TEST(QtFormWindowTest, PositionRoundTripsThroughTheUserStoreAndTopmostKeepsIt) {
    testing::ScratchFolder dir;
    QtUserSettings store(QString::fromStdString(dir / "user.ini"));
    QWidget widget;
    widget.setObjectName("frmMain");
    widget.setGeometry(120, 90, 500, 350);
    widget.show();
    QtFormWindow form(widget);
    const QPoint saved = widget.pos();  // the outer corner, as stored
    SaveFormPosition(form, store);
    widget.setGeometry(0, 0, 200, 100);
    ASSERT_TRUE(RestoreFormPosition(form, store, true));
    EXPECT_EQ(widget.pos(), saved);
    EXPECT_EQ(widget.size(), QSize(500, 350));
    SetTopmost(widget, true);
    EXPECT_TRUE(widget.windowFlags().testFlag(Qt::WindowStaysOnTopHint) && widget.isVisible());
    EXPECT_EQ(widget.pos(), saved);
    EXPECT_EQ(widget.size(), QSize(500, 350));
}

}  // namespace
}  // namespace delvar::windows
