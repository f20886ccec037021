#include <gtest/gtest.h>

#include <filesystem>

#include "app/SettingsFile.h"
#include "app/cFile.h"
#include "support/TempFolder.h"

namespace delvar::app {
namespace {

using testing::ReadFile;
using testing::WriteFile;

struct SettingsTest : ::testing::Test {
    testing::TempFolder dir;
    SettingsLocation where{dir / kSettingsFileName, dir.path()};

    AppSettings Read(const std::string& text) {
        WriteFile(where.file, text);
        AppSettings s;
        s.comm.RS232Port = s.log.EndTime = s.Display = 99;  // must all be replaced
        ReadINI(where, s);
        return s;
    }
};

TEST_F(SettingsTest, EmptyFileGivesTheDefaults) {
    const AppSettings s = Read("");
    EXPECT_EQ(s.DatabaseFile, "Delvar.mdb");
    EXPECT_EQ(s.comm.Type, 0);
    EXPECT_EQ(s.comm.RS232Port, 1);
    EXPECT_EQ(s.comm.RS232Baud, 0);
    EXPECT_EQ(s.comm.USBDevice, "0");
    EXPECT_EQ(s.comm.EPort, "2101");
    EXPECT_EQ(s.comm.EAddress, "192.168.1.200");
    EXPECT_EQ(s.comm.CheckSum, 1);
    EXPECT_EQ(s.comm.Start, 1);
    EXPECT_EQ(s.UpDnAll + s.UpDnProcesses + s.UpDnSystem + s.UpDnMaterials, 0);
    EXPECT_EQ(s.log.File, "Delvar.txt");
    EXPECT_EQ(s.log.LogMode, 0);
    EXPECT_EQ(s.log.StartTime, 0);
    EXPECT_EQ(s.log.EndTime, 300);
    EXPECT_EQ(s.log.Interval, 1);
    EXPECT_EQ(s.Display, 0);
}

TEST_F(SettingsTest, BadNumbersGiveTheDefaultAndStartEndRoundThroughSingle) {
    const AppSettings s = Read(
        "[commsettings]\nType=3\nRS232Port=abc\nRS232Baud=4\nCheckSum=70000\nSTART=2x\n"
        "[DataLog]\nStart=12.6\nEnd=300\nInterval= 7 \nType=-1\n[Graph]\nDisplay=4\n");
    EXPECT_EQ(s.log.StartTime, 13);
    EXPECT_EQ(s.log.EndTime, 300);
    EXPECT_EQ(s.log.Interval, 7);
    EXPECT_EQ(s.log.LogMode, 0);
    EXPECT_EQ(s.comm.Type, 0);
    EXPECT_EQ(s.comm.RS232Port, 1);
    EXPECT_EQ(s.comm.RS232Baud, 0);
    EXPECT_EQ(s.comm.CheckSum, 1);
    EXPECT_EQ(s.comm.Start, 1);
    EXPECT_EQ(s.Display, 0);
}

TEST_F(SettingsTest, WriteKeepsTheKeyOrderAndReadsBack) {
    AppSettings s;
    s.comm = {.Type = 2,
              .RS232Port = 3,
              .RS232Baud = 1,
              .USBDevice = "AB12",
              .EPort = "2102",
              .EAddress = "10.0.0.5",
              .CheckSum = 0,
              .Start = 0};
    s.UpDnAll = 1;
    s.UpDnMaterials = 1;
    s.log = {.File = "Run.txt", .LogMode = 2, .StartTime = 60, .EndTime = 120, .Interval = 0};
    s.Display = 3;
    s.Debug = 1;  // never written
    ASSERT_TRUE(WriteINI(where, s));
    EXPECT_EQ(ReadFile(where.file),
              "[Database]\nFile=Delvar.mdb\n\n\n[CommSettings]\nType=2\nRS232Port=3\nRS232Baud=1\n"
              "USBDevice=AB12\nEPort=2102\nEAddress=10.0.0.5\nCheckSum=0\nStart=0\nUpDnAll=1\n"
              "UpDnProcesses=0\nUpDnSystem=0\nUpDnMaterials=1\n\n\n[DataLog]\nFile=Run.txt\n"
              "Type=2\nStart=60\nEnd=120\nInterval=0\n\n\n[Graph]\nDisplay=3\n");
    AppSettings back;
    ReadINI(where, back);
    EXPECT_EQ(back.comm.EAddress, "10.0.0.5");
    EXPECT_EQ(back.comm.Type, 2);
    EXPECT_EQ(back.UpDnMaterials, 1);
    EXPECT_EQ(back.log.Interval, 0);
    EXPECT_EQ(back.log.File, "Run.txt");
    EXPECT_EQ(back.Debug, 0);
}

TEST_F(SettingsTest, PathsBesideTheSettingsAreStoredBare) {
    EXPECT_EQ(BesideSettings("Delvar.txt", "/opt/dc"), "/opt/dc/Delvar.txt");
    EXPECT_EQ(BesideSettings("/var/log/x.txt", "/opt/dc"), "/var/log/x.txt");
    testing::TempFolder other;
    AppSettings s;
    s.DatabaseFile = dir / "Coat.mdb";
    s.log.File = other / "Run.txt";
    ASSERT_TRUE(WriteINI(where, s));
    const std::string text = ReadFile(where.file);
    EXPECT_NE(text.find("[Database]\nFile=Coat.mdb\n"), std::string::npos);
    EXPECT_NE(text.find("[DataLog]\nFile=" + (other / "Run.txt") + "\n"), std::string::npos);
    // A log file not made yet keeps its folder while the folder exists.
    AppSettings back;
    ReadINI(where, back);
    EXPECT_EQ(back.log.File, other / "Run.txt");
    const AppSettings gone = Read("[DataLog]\nFile=/no/such/folder/Run.txt\n");
    EXPECT_EQ(gone.log.File, "Run.txt");
}

TEST_F(SettingsTest, FirstRunCreatesTheFileInTheProgramOrConfigFolder) {
    testing::TempFolder program, config;
    SettingsLocation first = FindSettingsFile(program.path(), config.path());
    EXPECT_EQ(first.file, program / kSettingsFileName);
    ASSERT_TRUE(WriteINI(first, AppSettings{}));
    EXPECT_EQ(FindSettingsFile(program.path(), config.path()).file, first.file);

    // A folder where no one may create files, not even root.
    const std::string newConfig = config / "sub";
    SettingsLocation fallback = FindSettingsFile("/proc", newConfig);
    EXPECT_EQ(fallback.folder, newConfig);
    ASSERT_TRUE(WriteINI(fallback, AppSettings{}));
    EXPECT_EQ(FindSettingsFile("/proc", newConfig).file, newConfig + "/" + kSettingsFileName);
    EXPECT_FALSE(WriteINI({"/proc/" + std::string(kSettingsFileName), "/proc"}, AppSettings{}));
}

TEST_F(SettingsTest, IniFileReadsLikeAPrivateProfile) {
    WriteFile(where.file, "; kept\n[A]\nName=one,two,three\nOn=yes\nNum=2.5e1kg\nLong=" +
                              std::string(300, 'x') + "\n[B]\nk=v\n");
    cFile ini;
    ini.FileName(dir / "missing.ini");
    EXPECT_EQ(ini.FileName(), "");
    ini.FileName(where.file);
    EXPECT_EQ(ini.ReadIniStr("a", "NAME", "d"), "one,two,three");
    EXPECT_EQ(ini.ReadIniStr("A", "Name", "d", 2), "two");
    EXPECT_EQ(ini.ReadIniStr("A", "Name", "d", 9), "three");
    EXPECT_EQ(ini.ReadIniStr("A", "None", "d"), "d");
    EXPECT_EQ(ini.ReadIniStr("A", "Long", "").size(), 254u);
    EXPECT_TRUE(ini.ReadIniBool("A", "On", "0"));
    EXPECT_FALSE(ini.ReadIniBool("A", "Name", "1"));
    EXPECT_FLOAT_EQ(ini.ReadIniSingle("A", "Num", 1), 25.0f);
    EXPECT_EQ(ini.ReadIniInt("A", "Num", 4), 4);
    ASSERT_TRUE(ini.WriteIniStr("A", "on", "no"));
    ASSERT_TRUE(ini.WriteIniStr("A", "New", "1"));
    ASSERT_TRUE(ini.ClearIniSection("B"));
    const std::string text = ReadFile(where.file);
    EXPECT_NE(text.find("Num=2.5e1kg"), std::string::npos);
    EXPECT_LT(text.find("On=no"), text.find("New=1"));
    EXPECT_EQ(text.find("[B]"), std::string::npos);
}

}  // namespace
}  // namespace delvar::app
