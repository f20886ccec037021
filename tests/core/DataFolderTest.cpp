// Where an installed program and one in the build tree find their read-only files.
#include <gtest/gtest.h>

#include <filesystem>

#include "core/AppInfo.h"
#include "support/ScratchFolder.h"

namespace delvar::core {
namespace {

namespace fs = std::filesystem;

TEST(DataFolder, BesideTheProgramInTheBuildTreeElseUnderShare) {
    testing::ScratchFolder prefix;
    const std::string bin = prefix / "bin";
    const std::string share = prefix / "share/delvar-comm";
    fs::create_directories(bin);
    // Neither beside it nor installed: the program's folder, as before.
    EXPECT_EQ(DataFolderFor(bin), bin);
    fs::create_directories(share);
    EXPECT_EQ(DataFolderFor(bin), share) << "installed: <prefix>/share/delvar-comm";
    testing::WriteFile(bin + "/" + BlankTemplateFileName(), "");
    EXPECT_EQ(DataFolderFor(bin), bin) << "a build tree's files beside the program win";
    EXPECT_EQ(DataFolderFor(""), "");
    EXPECT_EQ(BlankTemplateFileName(), std::to_string(kVersionMajor) +
                                           std::to_string(kVersionMinor) +
                                           std::to_string(kVersionPatch) + "_Blank.mdb");
}

}  // namespace
}  // namespace delvar::core
