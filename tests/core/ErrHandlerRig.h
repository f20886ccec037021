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
    std::filesystem::path path;
    TempFolder() {
        char name[] = "/tmp/delvar-err-XXXXXX";
        path = mkdtemp(name);
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
};

inline std::string Slurp(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The lines of a CR LF text file; a "\r" or "\n" not part of a CR LF pair, or a last
// line without its CR LF, shows as a line of its own marked "<bad line end>".
inline std::vector<std::string> CrLfLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find("\r\n", start);
        std::string line = text.substr(start, end == std::string::npos ? end : end - start);
        if (line.find_first_of("\r\n") != std::string::npos || end == std::string::npos) {
            lines.push_back("<bad line end>" + line);
            break;
        }
        lines.push_back(line);
        start = end + 2;
    }
    return lines;
}

inline constexpr const char* kFixedTime = "12/07/2026 05:00:00";

struct HandlerRig {
    TempFolder folder;
    ScriptedDialogs dialogs;
    std::unique_ptr<core::CErrHandler> handler;

    HandlerRig() {
        core::AppInfo info;
        info.path = "/opt/delvar";
        handler = std::make_unique<core::CErrHandler>(dialogs, info, Report().string(),
                                                     folder.path.string(),
                                                     [] { return std::string(kFixedTime); });
    }
    std::filesystem::path Report() const { return folder.path / "ERRORS.TXT"; }
    std::vector<std::string> ReportLines() const { return CrLfLines(Slurp(Report())); }
};

}  // namespace delvar::testing
