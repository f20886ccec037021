// A handler writing into a fresh temporary folder, with a fixed clock and scripted dialogs.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "core/CErrHandler.h"
#include "support/ScriptedDialogs.h"

namespace delvar::testing {

struct TempFolder {
    std::filesystem::path path = mkdtemp(std::string("/tmp/delvar-err-XXXXXX").data());
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
};

inline std::string Slurp(const std::filesystem::path& path) {
    std::stringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    return text.str();
}

// The lines of a CR LF text file; a "\r" or "\n" not part of a CR LF pair, or a last
// line without its CR LF, ends the list with a line marked "<bad line end>".
inline std::vector<std::string> CrLfLines(const std::string& text) {
    std::vector<std::string> lines;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = text.find("\r\n", start);
        const std::string line = text.substr(start, end - start);
        const bool bad = end == std::string::npos || line.find_first_of("\r\n") != line.npos;
        lines.push_back(bad ? "<bad line end>" + line : line);
        if (bad) break;
        start = end + 2;
    }
    return lines;
}

inline constexpr const char* kFixedTime = "12/07/2026 05:00:00";

struct HandlerRig {
    TempFolder folder;
    ScriptedDialogs dialogs;
    std::unique_ptr<core::CErrHandler> handler = std::make_unique<core::CErrHandler>(
        dialogs, core::AppInfo{.path = "/opt/delvar"}, Report().string(), folder.path.string(),
        [] { return std::string(kFixedTime); });

    std::filesystem::path Report() const { return folder.path / "ERRORS.TXT"; }
    std::vector<std::string> ReportLines() const { return CrLfLines(Slurp(Report())); }
};

}  // namespace delvar::testing
