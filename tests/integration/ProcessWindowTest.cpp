// The setup window against delvar-sim: the whole setup uploaded into the tree and
// downloaded from it, and an upload the line cuts off part way.
// With DELVAR_SHOTS set to a folder, the windows are also saved there as pictures.
#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest/QTest>
#include <algorithm>
#include <filesystem>

#include "integration/SimLink.h"
#include "setup/DatabaseRig.h"
#include "util/Text.h"
#include "windows/editors/frmProcess.h"

namespace delvar::testing {
namespace {

namespace fs = std::filesystem;
using core::MessageAnswer;

struct ProcessWindowSim : DatabaseRig {
    SimLink sim;
    app::AppSettings settings;

    explicit ProcessWindowSim(std::vector<std::string> args) : sim(Transport::Tcp, args) {}
    windows::ProcessWindowDeps Deps(setup::SetupData& setup, setup::modDatabase& database) {
        return {sim.Link(), setup, database, dialogs, progress, settings, folder.path.string(), {}};
    }
};

QStringList Children(const QTreeWidgetItem* item) {
    QStringList texts;
    for (int i = 0; i < item->childCount(); ++i) texts << item->child(i)->text(0);
    return texts;
}

void Click(QWidget& window, const char* name) {
    auto* button = window.findChild<QPushButton*>(name);
    ASSERT_NE(button, nullptr) << name;
    QTest::mouseClick(button, Qt::LeftButton);
}

void Shoot(QWidget& window, const char* name) {
    const QByteArray folder = qgetenv("DELVAR_SHOTS");
    if (folder.isEmpty()) return;
    QApplication::processEvents();
    window.grab().save(QString::fromUtf8(folder) + "/" + name);
}

template <typename Table>
bool SameRecords(const Table& a, const Table& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end());
}

TEST(ProcessWindow, UploadsAndDownloadsTheWholeSetupAgainstTheSimulator) {
    ProcessWindowSim r({"--codep", "--setup", DELVAR_DEMO_SETUP});
    ASSERT_TRUE(r.sim.Connect());
    r.settings.UpDnAll = 1;
    r.settings.DatabaseFile = r.Path("Setup.mdb");
    windows::frmProcess window(r.Deps(*r.data, r.db), 1);
    window.Start();
    EXPECT_EQ(window.windowTitle(), "Edit - [Instrument Upload]");
    EXPECT_TRUE(r.dialogs.Texts().empty()) << r.dialogs.LastText();
    auto* tree = window.findChild<QTreeWidget*>("TV1");
    ASSERT_EQ(tree->topLevelItemCount(), 99);
    QTreeWidgetItem* codep = tree->topLevelItem(3);
    EXPECT_EQ(codep->text(0).trimmed(), "AgAu CoDep");
    EXPECT_EQ(Children(codep), QStringList({"Layer 1.1", "->Layer 1.2"}));
    EXPECT_EQ(Children(codep->child(1)).value(0).trimmed(), "Gold");
    for (QTreeWidgetItem* item : {codep, codep->child(0), codep->child(1)}) item->setExpanded(true);
    tree->topLevelItem(1)->setExpanded(true);
    Shoot(window, "frmProcess-instrument.png");

    // A CoDep layer added by clicks: the button, then the group's top layer.
    Click(window, "cmdInsertCoDep");
    Shoot(window, "frmProcess-pending.png");
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {},
                      tree->visualItemRect(codep->child(0)).center());
    QApplication::processEvents();  // the click's operation runs once the click is over
    codep = tree->topLevelItem(3);
    ASSERT_EQ(codep->childCount(), 3);
    const int added =
        codep->child(2)->data(0, Qt::UserRole).toString().section(",", 0, 0).mid(1).toInt();
    ASSERT_TRUE(added >= 1 && added <= setup::kMaxLayers);
    r.data->layers[added].Output_Number = 3;
    r.data->layers[added].Film_Number = 6;

    // A change in the window goes to the instrument, and the database is saved.
    r.data->processes[2].Process_Name = setup::FixedName("AR stack 2");
    r.dialogs.answers = {MessageAnswer::No};
    Click(window, "cmdDownload");
    EXPECT_EQ(r.dialogs.Texts().size(), 1u) << r.dialogs.LastText();
    EXPECT_EQ(r.sim.Link().SendCommand("C2? 1"), "AR stack 2");
    EXPECT_EQ(r.sim.Link().SendCommand("C4? 4"), "3") << "the CoDep group's three layers";
    EXPECT_TRUE(fs::exists(r.Path("Setup.mdb")));
    EXPECT_TRUE(tree->topLevelItem(3)->isExpanded()) << "kept across the rebuild";

    // A second window's upload reads what the first one holds.
    auto again = DatabaseRig::Fresh();
    setup::modDatabase againDb{
        *again, {r.dialogs, r.errors, r.progress}, DatabaseRig::Options(r.folder.path)};
    windows::frmProcess second(r.Deps(*again, againDb), 1);
    second.Start();
    EXPECT_TRUE(SameRecords(again->processes, r.data->processes));
    EXPECT_TRUE(SameRecords(again->layers, r.data->layers));
    EXPECT_TRUE(SameRecords(again->films, r.data->films));
    EXPECT_TRUE(SameRecords(again->materials, r.data->materials));
    EXPECT_TRUE(SameRecords(again->sensors, r.data->sensors));

    QSignalSpy closed(&second, &windows::frmProcess::closed);
    r.dialogs.answers = {MessageAnswer::No};
    second.close();
    EXPECT_EQ(closed.count(), 1);
    EXPECT_EQ(r.dialogs.LastText(), editors::kSaveQuestion);
}

// Over a line that damages one reply in 50, the setup window's whole upload sends
// each damaged exchange again and ends with the setup a clean line gives.
TEST(ProcessWindow, AWholeUploadOverANoisyLineEqualsACleanOne) {
    ProcessWindowSim clean({"--codep", "--setup", DELVAR_DEMO_SETUP});
    ProcessWindowSim noisy({"--codep", "--setup", DELVAR_DEMO_SETUP, "--corrupt-every", "50"});
    for (ProcessWindowSim* r : {&clean, &noisy}) {
        ASSERT_TRUE(r->sim.Connect());
        r->settings.UpDnAll = 1;
    }
    windows::frmProcess cleanWindow(clean.Deps(*clean.data, clean.db), 1);
    cleanWindow.Start();
    ASSERT_TRUE(clean.dialogs.Texts().empty()) << clean.dialogs.LastText();
    windows::frmProcess noisyWindow(noisy.Deps(*noisy.data, noisy.db), 1);
    noisyWindow.Start();
    EXPECT_TRUE(noisy.dialogs.Texts().empty()) << noisy.dialogs.LastText();
    EXPECT_EQ(noisyWindow.windowTitle(), "Edit - [Instrument Upload]");
    const setup::SetupData& a = *clean.data;
    const setup::SetupData& b = *noisy.data;
    EXPECT_TRUE(SameRecords(a.processes, b.processes));
    EXPECT_TRUE(SameRecords(a.layers, b.layers));
    EXPECT_TRUE(SameRecords(a.films, b.films));
    EXPECT_TRUE(SameRecords(a.materials, b.materials));
    EXPECT_TRUE(SameRecords(a.relays, b.relays) && SameRecords(a.inputs, b.inputs));
    EXPECT_TRUE(SameRecords(a.sensors, b.sensors) && SameRecords(a.sources, b.sources));
    EXPECT_TRUE(SameRecords(a.logic, b.logic));
    EXPECT_TRUE(a.system == b.system);
    EXPECT_EQ(noisy.sim.Link().DamageRetries(), 0) << "only while the window transfers";
}

// Clicks during an upload (the reply waits run them): the window takes none but
// the close, which is carried out, with its question, once the upload has ended.
TEST(ProcessWindow, ACloseDuringAnUploadWaitsForItsEnd) {
    ProcessWindowSim r({"--setup", DELVAR_DEMO_SETUP});
    ASSERT_TRUE(r.sim.Connect());
    r.settings.DatabaseFile = r.Path("Delvar.mdb");
    fs::copy_file(DELVAR_DEMO_SETUP, r.settings.DatabaseFile);
    r.settings.UpDnAll = 0;
    r.settings.UpDnSystem = 1;  // films only
    windows::frmProcess window(r.Deps(*r.data, r.db), 0);
    QSignalSpy closed(&window, &windows::frmProcess::closed);
    window.Start();
    auto* cancel = window.findChild<QPushButton*>("cmdCancel");
    bool locked = false;
    QTimer::singleShot(0, &window, [&] {
        locked = !cancel->isEnabled() && !window.findChild<QTreeWidget*>("TV1")->isEnabled();
        QTest::mouseClick(cancel, Qt::LeftButton);
        QTest::keyClick(&window, Qt::Key_Escape);
    });
    r.dialogs.answers = {MessageAnswer::No};  // the close question, after the upload
    Click(window, "cmdUpload");
    EXPECT_TRUE(locked);
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(r.dialogs.Texts().empty()) << r.dialogs.LastText();
    QApplication::processEvents();
    EXPECT_EQ(r.dialogs.Texts(), std::vector<std::string>{editors::kSaveQuestion});
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(closed.count(), 1);
}

TEST(ProcessWindow, AnUploadCutOffPartWayIsNamedIncompleteInTheCaptionAndTheCloseQuestion) {
    ProcessWindowSim r({"--setup", DELVAR_DEMO_SETUP, "--drop-after", "60"});
    ASSERT_TRUE(r.sim.Connect());
    r.settings.DatabaseFile = r.Path("Delvar.mdb");
    fs::copy_file(DELVAR_DEMO_SETUP, r.settings.DatabaseFile);
    r.settings.UpDnProcesses = 1;
    windows::frmProcess window(r.Deps(*r.data, r.db), 0);
    QSignalSpy closed(&window, &windows::frmProcess::closed);
    window.Start();
    EXPECT_EQ(window.windowTitle(), "Edit - [Delvar.mdb]");
    auto* tree = window.findChild<QTreeWidget*>("TV1");
    for (QTreeWidgetItem* item : {tree->topLevelItem(3), tree->topLevelItem(3)->child(0)})
        item->setExpanded(true);
    Shoot(window, "frmProcess-database.png");

    Click(window, "cmdUpload");
    EXPECT_EQ(window.windowTitle(), "Edit - [Delvar.mdb]" + QString(editors::kIncompleteCaption));
    ASSERT_EQ(r.dialogs.Texts().size(), 1u) << "one message for the lost link";
    EXPECT_EQ(r.dialogs.Texts().front().rfind("The instrument stopped answering (at Process ", 0),
              0u)
        << r.dialogs.Texts().front();
    EXPECT_TRUE(window.findChild<QPushButton*>("cmdUpload")->isEnabled());
    Shoot(window, "frmProcess-incomplete.png");

    r.dialogs.answers = {MessageAnswer::Cancel};
    Click(window, "cmdCancel");
    EXPECT_EQ(r.dialogs.LastText(),
              std::string(editors::kIncompleteNotice) + "\n" + editors::kSaveQuestion);
    EXPECT_TRUE(window.isVisible());
    r.dialogs.answers = {MessageAnswer::No};
    Click(window, "cmdCancel");
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(closed.count(), 1);
    EXPECT_EQ(util::Trim(r.data->processes[4].Process_Name), "Process 4")
        << "the tables as they were before the window opened its database";
}

}  // namespace
}  // namespace delvar::testing
