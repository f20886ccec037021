#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "app/FileReplace.h"
#include "app/SettingsFile.h"
#include "app/cFile.h"
#include "support/ScratchFolder.h"
#include "support/ScriptedDialogs.h"

namespace delvar::app {
namespace {

using testing::ReadFile;
using testing::WriteFile;

constexpr const char* kDefaults =
    "[Database]\nFile=Delvar.mdb\n\n\n[CommSettings]\nType=0\nRS232Port=1\nRS232Baud=0\n"
    "USBDevice=0\nEPort=2101\nEAddress=192.168.1.200\nCheckSum=1\nStart=1\nUpDnAll=0\n"
    "UpDnProcesses=0\nUpDnSystem=0\nUpDnMaterials=0\n\n\n[DataLog]\nFile=Delvar.txt\nType=0\n"
    "Start=0\nEnd=300\nInterval=1\n\n\n[Graph]\nDisplay=0\n";

struct SettingsTest : ::testing::Test {
    testing::ScratchFolder dir;
    SettingsLocation where{dir / kSettingsFileName, dir.path()};
    SettingsLocation copy{dir / "copy.ini", dir.path()};

    // The text WriteINI gives for what ReadINI made of text.
    std::string ReadWrite(const std::string& text) {
        WriteFile(where.file, text);
        AppSettings s;
        s.comm.RS232Port = s.log.EndTime = s.Display = 99;  // must all be replaced
        ReadINI(where, s);
        EXPECT_TRUE(WriteINI(copy, s));
        return ReadFile(copy.file);
    }
};

TEST_F(SettingsTest, EmptyFileGivesTheDefaultsWrittenInKeyOrder) {
    EXPECT_EQ(ReadWrite(""), kDefaults);
}

TEST_F(SettingsTest, BadNumbersGiveTheDefaultAndStartEndRoundThroughSingle) {
    EXPECT_EQ(ReadWrite("[commsettings]\nType=3\nRS232Port=abc\nRS232Baud=4\nCheckSum=70000\n"
                        "START=2x\n[DataLog]\nType=-1\nStart=12.6\nEnd=300\nInterval= 7 \n"
                        "[Graph]\nDisplay=4\n"),
              testing::Replace(testing::Replace(kDefaults, "Start=0\n", "Start=13\n"), "Interval=1",
                               "Interval=7"));
}

TEST_F(SettingsTest, SwitchesOtherThanZeroOrOneReadAsTheirDefault) {
    for (const char* value : {"-1", "2", "255"}) {
        WriteFile(where.file,
                  std::string("[CommSettings]\nCheckSum=") + value + "\nStart=" + value + "\n");
        AppSettings s;
        s.comm.CheckSum = s.comm.Start = 0;
        ReadINI(where, s);
        EXPECT_EQ(s.comm.CheckSum, 1) << value;
        EXPECT_EQ(s.comm.Start, 1) << value;
    }
    WriteFile(where.file, "[CommSettings]\nCheckSum=0\nStart=0\n");
    AppSettings s;
    ReadINI(where, s);
    EXPECT_EQ(s.comm.CheckSum, 0);
    EXPECT_EQ(s.comm.Start, 0);
}

TEST_F(SettingsTest, WrittenValuesReadBack) {
    AppSettings s;
    s.comm = {.Type = 2,
              .RS232Port = 3,
              .RS232Baud = 1,
              .USBDevice = "AB12",
              .EPort = "2102",
              .EAddress = "10.0.0.5",
              .CheckSum = 0,
              .Start = 0};
    s.UpDnAll = s.UpDnMaterials = 1;
    s.log = {.File = "Run.txt", .LogMode = 2, .StartTime = 60, .EndTime = 120, .Interval = 0};
    s.Display = 3;
    s.Debug = 1;  // never written
    ASSERT_TRUE(WriteINI(where, s));
    const std::string text = ReadFile(where.file);
    EXPECT_EQ(text.find("Debug"), std::string::npos);
    EXPECT_NE(text.find("EAddress=10.0.0.5\nCheckSum=0\nStart=0\nUpDnAll=1\n"), std::string::npos);
    EXPECT_EQ(ReadWrite(text), text);
}

TEST_F(SettingsTest, ChosenSerialDeviceIsKeptBesideThePortNumber) {
    AppSettings s;
    s.comm.RS232Port = 2;
    s.comm.RS232Device = "/dev/serial/by-id/usb-Silicon_Labs_CP2102-if00-port0";
    ASSERT_TRUE(WriteINI(where, s));
    const std::string text = ReadFile(where.file);
    EXPECT_NE(text.find("RS232Port=2\nRS232Device=" + s.comm.RS232Device + "\nRS232Baud=0\n"),
              std::string::npos)
        << text;
    AppSettings back;
    ReadINI(where, back);
    EXPECT_EQ(back.comm.RS232Device, s.comm.RS232Device);
    EXPECT_EQ(back.comm.RS232Port, 2);
    // A file from before the choice keeps port n = /dev/ttyS{n-1}.
    EXPECT_EQ(ReadWrite("[CommSettings]\nRS232Port=3\n").find("RS232Device"), std::string::npos);
}

TEST_F(SettingsTest, PathsBesideTheSettingsAreStoredBare) {
    EXPECT_EQ(BesideSettings("Delvar.txt", "/opt/dc"), "/opt/dc/Delvar.txt");
    EXPECT_EQ(BesideSettings("/var/log/x.txt", "/opt/dc"), "/var/log/x.txt");
    testing::ScratchFolder other;
    const std::string text = ReadWrite("[Database]\nFile=" + (dir / "Coat.mdb") +
                                       "\n[DataLog]\nFile=" + (other / "Run.txt") + "\n");
    EXPECT_NE(text.find("[Database]\nFile=Coat.mdb\n"), std::string::npos);
    // A log file not made yet keeps its folder while the folder exists.
    EXPECT_NE(text.find("[DataLog]\nFile=" + (other / "Run.txt") + "\n"), std::string::npos);
    EXPECT_NE(ReadWrite("[DataLog]\nFile=/no/such/dir/Run.txt\n").find("File=Run.txt\n"),
              std::string::npos);
}

TEST_F(SettingsTest, FirstRunCreatesTheFileInTheProgramOrConfigFolder) {
    testing::ScratchFolder program, config;
    const SettingsLocation first = FindSettingsFile(program.path(), config.path());
    EXPECT_EQ(first.file, program / kSettingsFileName);
    ASSERT_TRUE(WriteINI(first, AppSettings{}));
    EXPECT_EQ(FindSettingsFile(program.path(), config.path()).file, first.file);
    // /proc takes no new file, not even from root; the config folder is made.
    const std::string sub = config / "sub";
    ASSERT_TRUE(WriteINI(FindSettingsFile("/proc", sub), AppSettings{}));
    EXPECT_EQ(FindSettingsFile("/proc", sub).file, sub + "/" + kSettingsFileName);
    EXPECT_FALSE(WriteINI({"/proc/x.ini", "/proc"}, AppSettings{}));
}

mode_t ModeOf(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

TEST_F(SettingsTest, AFileWhoseFolderTakesNoNewFileIsWrittenInPlaceKeepingItsMode) {
    WriteFile(where.file, std::string(500, 'x'));
    ASSERT_EQ(::chmod(where.file.c_str(), 0640), 0);
    // The folder refuses the temporary file (as a read-only folder does).
    const auto refused = [](std::string&) {
        errno = EACCES;
        return -1;
    };
    EXPECT_EQ(WriteWholeFile(where.file, "[A]\nk=v\n", refused), WriteOutcome::kInPlace);
    EXPECT_EQ(ReadFile(where.file), "[A]\nk=v\n");  // the longer old text is cut off
    EXPECT_EQ(ModeOf(where.file), 0640u);
    EXPECT_EQ(WriteWholeFile(dir / "no/such/folder.ini", "x", refused), WriteOutcome::kFailed);

    EXPECT_EQ(WriteWholeFile(where.file, "[A]\nk=w\n"), WriteOutcome::kReplaced);
    EXPECT_EQ(ModeOf(where.file), 0640u);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1)
        << "no temporary file is left";
}

TEST_F(SettingsTest, SettingsInAReadOnlyFolderAreSaved) {
    ASSERT_TRUE(WriteINI(where, AppSettings{}));
    AppSettings s;
    s.comm.EPort = "2202";
    ASSERT_EQ(::chmod(dir.path().c_str(), 0555), 0);
    const bool root = ::geteuid() == 0;
    const bool written = WriteINI(where, s);
    ::chmod(dir.path().c_str(), 0755);
    if (root) GTEST_SKIP() << "root writes into any folder: the fallback is shown above";
    EXPECT_TRUE(written);
    AppSettings read;
    ReadINI(where, read);
    EXPECT_EQ(read.comm.EPort, "2202");
}

TEST_F(SettingsTest, ALinkedSettingsFileIsWrittenThroughTheLink) {
    testing::ScratchFolder elsewhere;
    const std::string target = elsewhere / "kept.ini";
    WriteFile(target, "[Other]\nKeep=1\n");
    ASSERT_EQ(::chmod(target.c_str(), 0600), 0);
    std::filesystem::create_symlink(target, where.file);
    AppSettings s;
    s.comm.EAddress = "10.1.2.3";
    ASSERT_TRUE(WriteINI(where, s));
    EXPECT_TRUE(std::filesystem::is_symlink(where.file));
    EXPECT_EQ(ModeOf(target), 0600u);
    const std::string text = ReadFile(target);
    EXPECT_NE(text.find("[Other]\nKeep=1\n"), std::string::npos);
    EXPECT_NE(text.find("EAddress=10.1.2.3\n"), std::string::npos);

    // A relative link to a file not there yet makes the file it names.
    std::filesystem::create_symlink("new.ini", elsewhere / "link.ini");
    EXPECT_EQ(WriteWholeFile(elsewhere / "link.ini", "[A]\n"), WriteOutcome::kReplaced);
    EXPECT_TRUE(std::filesystem::is_symlink(elsewhere / "link.ini"));
    EXPECT_EQ(ReadFile(elsewhere / "new.ini"), "[A]\n");
}

TEST_F(SettingsTest, SettingsThatCannotBeWrittenAreReportedAtShutdown) {
    testing::ScriptedDialogs dialogs;
    EXPECT_TRUE(WriteINIAtShutdown(where, AppSettings{}, dialogs));
    EXPECT_TRUE(dialogs.messages.empty());
    // /proc takes no file, not even from root.
    EXPECT_FALSE(WriteINIAtShutdown({"/proc/Delvar Comm.ini", "/proc"}, AppSettings{}, dialogs));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.LastText(),
              "The settings could not be saved to /proc/Delvar Comm.ini: the file or its folder "
              "cannot be written. The settings changed in this session are lost.");
}

TEST_F(SettingsTest, IniFileReadsLikeAPrivateProfile) {
    WriteFile(where.file, "[A]\nName=one,two,three\nOn=yes\nNum=2.5e1kg\nLong=" +
                              std::string(300, 'x') + "\n[B]\nk=v\n");
    cFile ini;
    ini.FileName(dir / "missing.ini");
    EXPECT_EQ(ini.FileName(), "");
    ini.FileName(where.file);
    EXPECT_EQ(ini.ReadIniStr("a", "NAME", "d", 2), "two");
    EXPECT_EQ(ini.ReadIniStr("A", "Name", "d", 9), "three");
    EXPECT_EQ(ini.ReadIniStr("A", "None", "d"), "d");
    EXPECT_EQ(ini.ReadIniStr("A", "Long", "").size(), 254u);
    EXPECT_TRUE(ini.ReadIniBool("A", "On", "0"));
    EXPECT_FLOAT_EQ(ini.ReadIniSingle("A", "Num", 1), 25.0f);
    EXPECT_EQ(ini.ReadIniInt("A", "Num", 4), 4);
    ASSERT_TRUE(ini.WriteIniStr("A", "on", "no") && ini.WriteIniStr("A", "New", "1"));
    ASSERT_TRUE(ini.ClearIniSection("B"));
    const std::string text = ReadFile(where.file);
    EXPECT_LT(text.find("On=no"), text.find("New=1"));
    EXPECT_EQ(text.find("[B]"), std::string::npos);
}

}  // namespace
}  // namespace delvar::app
