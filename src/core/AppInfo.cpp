#include "core/AppInfo.h"

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace delvar::core {

std::string ProgramFolder() {
    std::error_code error;
    const fs::path program = fs::read_symlink("/proc/self/exe", error);
    return error ? std::string() : program.parent_path().string();
}

std::string BlankTemplateFileName() {
    return std::to_string(kVersionMajor) + std::to_string(kVersionMinor) +
           std::to_string(kVersionPatch) + "_Blank.mdb";
}

std::string DataFolderFor(const std::string& programFolder) {
    std::error_code error;
    if (programFolder.empty() ||
        fs::exists(fs::path(programFolder) / BlankTemplateFileName(), error))
        return programFolder;
    const fs::path shared = fs::path(programFolder).parent_path() / "share" / "delvar-comm";
    return fs::is_directory(shared, error) ? shared.string() : programFolder;
}

std::string DataFolder() {
    return DataFolderFor(ProgramFolder());
}

bool RunsInstalled() {
    const std::string program = ProgramFolder();
    return DataFolderFor(program) != program;
}

}  // namespace delvar::core
