// The verbs of delvar-cli. Each returns the process exit status.
#pragma once

#include "cli/CliLink.h"
#include "cli/CliOptions.h"

namespace delvar::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

int RunSend(CliLink& link, const std::vector<std::string>& args);
int RunInfoVerb(CliLink& link, const std::vector<std::string>& args);
int RunStatusVerb(CliLink& link, const std::vector<std::string>& args);
int RunWatchVerb(CliLink& link, const std::vector<std::string>& args);
int RunRunVerb(CliLink& link, const std::vector<std::string>& args);
int RunPowerVerb(CliLink& link, const std::vector<std::string>& args);
int RunAutoVerb(CliLink& link, const std::vector<std::string>& args);
int RunSelectVerb(CliLink& link, const std::vector<std::string>& args);
int RunUnlockVerb(CliLink& link, const std::vector<std::string>& args);
int RunUploadVerb(CliLink& link, const std::vector<std::string>& args);
int RunDownloadVerb(CliLink& link, const std::vector<std::string>& args);
int RunDbVerb(CliLink& link, const std::vector<std::string>& args);

}  // namespace delvar::cli
