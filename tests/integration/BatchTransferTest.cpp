// Whole-setup upload and download against delvar-sim: the commands sent, the
// messages shown, what ends up in memory, on the instrument and in the database.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>

#include "integration/SimLink.h"
#include "setup/LayerChains.h"
#include "setup/WorkFolder.h"
#include "support/ScriptedDialogs.h"
#include "transfer/BatchTransfer.h"
#include "util/Text.h"

namespace delvar::testing {
namespace {

namespace fs = std::filesystem;
using transfer::TransferSelection;

// Databases in memory; each save also leaves a file counting the saves.
struct FakeFiles final : transfer::SetupFiles {
    explicit FakeFiles(setup::SetupData& data) : data_(data) {}
    bool Save(const std::string& path) override {
        log.push_back("save " + path);
        if (path == failingPath) return false;
        saved[path] = std::make_unique<setup::SetupData>(data_);
        std::ofstream(path) << "save " << ++saves;
        return true;
    }
    bool Open(const std::string& path) override {
        log.push_back("open " + path);
        const auto it = saved.find(path);
        current = it == saved.end() ? "" : path;
        if (it != saved.end()) data_ = *it->second;
        return it != saved.end();
    }
    std::string CurrentDatabase() const override { return current; }

    setup::SetupData& data_;
    std::map<std::string, std::unique_ptr<setup::SetupData>> saved;
    std::string current;
    std::string failingPath;  // a save into this path fails
    std::vector<std::string> log;
    int saves = 0;
};

class BatchTransfer : public ::testing::Test {
  protected:
    explicit BatchTransfer(std::vector<std::string> simArgs = {})
        : sim(Transport::Tcp, std::move(simArgs)) {}

    void SetUp() override {
        ASSERT_TRUE(sim.Opened());
        const std::string channels = link().SendCommand("J");
        link().MutableInfo().ChannelCount = std::stoi(channels);
        link().MutableInfo().Online = true;
        setup::ResetSetupData(*data);
        link().OnCommand = [this](const std::string& c) { sent.push_back(c); };
    }

    link::Link& link() { return sim.Link(); }
    bool NothingWritten() const {
        return std::none_of(sent.begin(), sent.end(),
                            [](const std::string& c) { return c.find(',') != std::string::npos; });
    }
    std::string Path(const char* name) const { return (folder / name).string(); }
    transfer::DownloadPaths Paths() const { return {Path("TempDB"), folder.string()}; }

    SimLink sim;
    std::unique_ptr<setup::SetupData> data = std::make_unique<setup::SetupData>();
    transfer::TransferState state;
    ScriptedDialogs dialogs;
    setup::NoProgress progress;
    transfer::BatchTransfer transfer{link(), dialogs, progress, *data, state};
    FakeFiles files{*data};
    std::vector<std::string> sent;
    setup::WorkFolder work;
    fs::path folder = work.Path();
};

struct TwoChannelBatch : BatchTransfer {
    TwoChannelBatch() : BatchTransfer({"--channels", "2"}) {}
};

// Process 4 with a top layer and a second layer, film 3 and material 9.
void MakeDemoSetup(setup::SetupData& s) {
    const int first = setup::InsertLayer(s, 4, 0);
    const int second = setup::InsertLayer(s, 4, first);
    s.processes[4].Process_Name = setup::FixedName("Mirror");
    s.layers[first].Film_Number = 3;
    s.layers[first].Rate = 12.5;
    s.layers[second].Final_Thick = 0.75;
    s.films[3].Film_Name = setup::FixedName("Aluminium");
    s.materials[9].Density = 2.7;
    s.logic[2].IF = {101, 3, 102};
    s.logic[2].THEN = 201;
    s.inputs[3].Pin = 3;
    s.relays[2].Pin = 4;
    s.system.Password = 4321;
}

TEST_F(BatchTransfer, WholeUploadReadsEveryRecordKindAndRepairsTheLayerCounts) {
    // The instrument says process 2 has 5 layers, but its chain holds two.
    for (const char* c : {"C2 2,5", "C2 3,7", "C2 4,5", "D7  21,1 22,8 23,-1",
                          "D8  21,2 22,-1 23,-1", "A1 2 Silver", "F5 2,1049", "GB3 5,7", "GA4 3,2",
                          "HA1 1,105", "I6 1,Door             2,101 3,202 6,1", "B 19,777"}) {
        link().SendCommand(c);
        ASSERT_EQ(link().CommStatus(), 0) << c;
    }
    sent.clear();
    EXPECT_TRUE(transfer.Upload({}));
    EXPECT_TRUE(dialogs.Texts().empty()) << dialogs.Texts().front();
    EXPECT_EQ(data->processes[2].First_Layer, 7);
    EXPECT_EQ(data->processes[2].Number_Layers + data->processes[2].Number_Act_Layers, 4);
    EXPECT_EQ(data->layers[8].Film_Number, 2);
    EXPECT_EQ(util::Trim(data->films[2].Film_Name), "Silver");
    EXPECT_DOUBLE_EQ(data->materials[5].Density, 10.49);
    EXPECT_EQ(data->relays[3].Pin + data->inputs[4].Pin, 7 + 2);
    EXPECT_EQ(data->sensors[1].Tooling + data->logic[6].THEN + data->system.Password,
              105 + 202 + 777);
    EXPECT_EQ(state.caption, "Edit - [Instrument Upload]");
    EXPECT_TRUE(state.setupSource == 1 && state.unsavedInstrumentData);
    // Nine steps with work (and the empty step 1), each in its own lock.
    EXPECT_EQ(std::count(sent.begin(), sent.end(), "XSTOP"), 10);
}

TEST_F(BatchTransfer, AFailedItemShowsItsMessageReleasesTheLockAndLaterStepsStillRun) {
    SimLink other(Transport::Tcp, {"--silent-every", "1"});  // nothing answers there
    link().OnCommand = nullptr;
    transfer::BatchTransfer silent(other.Link(), dialogs, progress, *data, state);
    other.Link().MutableInfo().Online = true;
    other.Link().MutableInfo().ChannelCount = 1;
    EXPECT_FALSE(silent.RunUploadStep(transfer::kStepFilms) == 0);
    EXPECT_EQ(dialogs.Texts(), std::vector<std::string>{"Error: Batch Upload Lock"});

    // Not online: every step reports so.
    dialogs.ClearRecord();
    link().MutableInfo().Online = false;
    EXPECT_EQ(transfer.RunUploadStep(transfer::kStepSystem), 1);
    EXPECT_EQ(dialogs.Texts(),
              std::vector<std::string>{"Instrument Read Error: Instrument not online.\nTimeout"});
}

TEST_F(BatchTransfer, WholeDownloadWritesTheSetupReadsItBackAndBacksUpTheDatabaseOnce) {
    MakeDemoSetup(*data);
    const std::string database = Path("Setup.mdb");
    files.Save(database);
    files.Open(database);
    dialogs.answers = {core::MessageAnswer::No};
    EXPECT_TRUE(transfer.Download({}, files, Paths()));
    EXPECT_EQ(dialogs.Texts(), std::vector<std::string>{"This will completely overwrite Delvar "
                                                        "data.\nSave the current Delvar setup "
                                                        "before download?"});

    // On the instrument now:
    EXPECT_EQ(link().SendCommand("C4? 4"), "2");
    const int first = data->processes[4].First_Layer;
    EXPECT_EQ(link().SendCommand("D" + std::to_string(first) + "? 1"), "1,125");
    EXPECT_EQ(link().SendCommand("A1 3?"), "Aluminium");
    EXPECT_EQ(link().SendCommand("F9? 2"), "270");
    EXPECT_EQ(link().SendCommand("I2? 2 3"), "2,101:3:102 3,201");
    EXPECT_EQ(link().SendCommand("GA3? 3"), "3,3");
    EXPECT_EQ(link().SendCommand("B? 19"), "19,4321");
    // The pins were released before the relays were written.
    const auto release = std::find(sent.begin(), sent.end(), "GA1 3,0");
    ASSERT_NE(release, sent.end());
    EXPECT_EQ(*(release + 1), "GB1 5,0");

    // The database: backed up once, then saved.
    const auto backup = [this] {
        std::string text;
        std::getline(std::ifstream(Path("Setup_org.mdb")), text);
        return text;
    };
    EXPECT_EQ(backup(), "save 1");
    EXPECT_EQ(files.log.back(), "save " + database);
    EXPECT_FALSE(state.unsavedInstrumentData);
    dialogs.answers = {core::MessageAnswer::No};
    EXPECT_TRUE(transfer.Download({}, files, Paths()));
    EXPECT_EQ(backup(), "save 1") << "the first backup is kept";
    EXPECT_EQ(files.saves, 3);
}

TEST_F(BatchTransfer, AFailedSaveOfTheInstrumentsSetupStopsBeforeTheDownload) {
    MakeDemoSetup(*data);
    dialogs.answers = {core::MessageAnswer::Yes};
    dialogs.fileAnswers = {Path("Before.mdb")};
    files.failingPath = Path("Before.mdb");
    EXPECT_FALSE(transfer.Download({}, files, Paths()));
    EXPECT_TRUE(NothingWritten()) << "nothing was written to the instrument";
    EXPECT_EQ(link().SendCommand("C4? 1"), "Process 4");
}

// The setup waits in TempDB while the instrument's own goes into the chosen file; the
// download then backs up and saves the operator's file, not TempDB.
TEST_F(BatchTransfer, SavingTheInstrumentsSetupFirstStillSavesIntoTheOperatorsFile) {
    MakeDemoSetup(*data);
    const std::string database = Path("Setup.mdb");
    files.Save(database);
    files.Open(database);
    dialogs.answers = {core::MessageAnswer::Yes};
    dialogs.fileAnswers = {Path("Before")};
    EXPECT_TRUE(transfer.Download({}, files, Paths()));
    EXPECT_NE(std::find(files.log.begin(), files.log.end(), "save " + Path("Before.mdb")),
              files.log.end())
        << "the instrument's setup, with the extension added";
    EXPECT_EQ(files.log.back(), "save " + database);
    EXPECT_TRUE(fs::exists(Path("Setup_org.mdb")));
    EXPECT_EQ(state.caption, "Edit - [Setup.mdb]");
}

TEST_F(BatchTransfer, AFailedUploadOfTheInstrumentsSetupSavesNothingAndWritesNothing) {
    SimLink lossy(Transport::Tcp, {"--silent-every", "700"});
    lossy.Link().MutableInfo() = link().Info();
    transfer::BatchTransfer failing(lossy.Link(), dialogs, progress, *data, state);
    lossy.Link().OnCommand = [this](const std::string& c) { sent.push_back(c); };
    MakeDemoSetup(*data);
    dialogs.answers = {core::MessageAnswer::Yes};
    dialogs.fileAnswers = {Path("Before.mdb")};
    EXPECT_FALSE(failing.Download({}, files, Paths()));
    const std::string said = dialogs.Texts().back();  // the one silent reply stops it
    EXPECT_EQ(said.rfind("The instrument stopped answering", 0), 0u) << said;
    EXPECT_NE(said.find("\nThe upload failed: nothing was saved to " + Path("Before.mdb") + "."),
              std::string::npos)
        << said;
    EXPECT_EQ(files.log,
              (std::vector<std::string>{"save " + Path("TempDB"), "open " + Path("TempDB")}));
    EXPECT_EQ(util::Trim(data->processes[4].Process_Name), "Mirror") << "the setup is back";
    EXPECT_TRUE(NothingWritten());
}

// The line dropped part way: once the instrument has stopped answering, the rest of
// a whole transfer is not tried, and one message says where it stopped, what was done
// and that nothing was saved. Counted, not timed: after the last reply only the item
// under way and XSTOP go out.
struct DroppedBatch : BatchTransfer {
    static constexpr int kReplies = 450;  // "J" takes the first
    DroppedBatch() : BatchTransfer({"--drop-after", std::to_string(kReplies)}) {}
    bool EndsWith(const std::string& text, const std::string& end) const {
        return text.size() >= end.size() &&
               text.compare(text.size() - end.size(), end.size(), end) == 0;
    }
};

TEST_F(DroppedBatch, AWholeUploadCutOffEndsWithOneMessage) {
    EXPECT_FALSE(transfer.Upload({}));
    ASSERT_EQ(dialogs.Texts().size(), 1u) << dialogs.LastText();
    const std::string text = dialogs.LastText();
    EXPECT_EQ(text.rfind("The instrument stopped answering (at ", 0), 0u) << text;
    EXPECT_NE(text.find("\nRead completely: processes"), std::string::npos) << text;
    EXPECT_TRUE(EndsWith(text, "\nNothing was saved.")) << text;
    EXPECT_EQ(sent.size(), std::size_t(kReplies - 1 + 2));
    EXPECT_EQ(sent.back(), "XSTOP");
}

TEST_F(DroppedBatch, AWholeDownloadCutOffEndsWithOneMessageAndSavesNothing) {
    MakeDemoSetup(*data);
    const std::string database = Path("Setup.mdb");
    files.Save(database);
    files.Open(database);
    dialogs.answers = {core::MessageAnswer::No};
    EXPECT_FALSE(transfer.Download({}, files, Paths()));
    ASSERT_EQ(dialogs.Texts().size(), 2u) << dialogs.LastText();  // the question, then this
    const std::string text = dialogs.LastText();
    EXPECT_EQ(text.rfind("The instrument stopped answering (at ", 0), 0u) << text;
    EXPECT_NE(text.find("\nThe instrument now holds the new processes"), std::string::npos) << text;
    EXPECT_TRUE(EndsWith(text, "\nNothing was saved.")) << text;
    EXPECT_EQ(files.saves, 1) << "the database is not saved";
    EXPECT_FALSE(fs::exists(Path("Setup_org.mdb")));
    EXPECT_EQ(sent.size(), std::size_t(kReplies - 1 + 2));
}

TEST_F(TwoChannelBatch, ARefusedLayerLeavesTheProcessEmptyOnTheInstrument) {
    const int first = setup::InsertLayer(*data, 5, 0);
    const int second = setup::InsertLayer(*data, 5, first);
    data->layers[second].Rate = 5000;  // beyond what the instrument accepts
    EXPECT_NE(transfer.RunDownloadStep(transfer::kStepProcesses), 0);
    EXPECT_EQ(dialogs.Texts(),
              std::vector<std::string>{"Instrument Write Error: Process 5  Layer: 2.1\nBad Data"});
    EXPECT_EQ(sent.back(), "XSTOP") << "the lock is released after the failure";
    EXPECT_EQ(link().SendCommand("C5? 3"), "-1");
    EXPECT_EQ(link().SendCommand("C5? 4"), "0");
    EXPECT_EQ(data->processes[5].First_Layer, first) << "memory keeps the process";
}

}  // namespace
}  // namespace delvar::testing
