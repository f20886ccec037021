#include "core/DialogService.h"

namespace delvar::core {

std::string FilterSuffix(const std::string& filter) {
    // "Label|*.a;*.b|..." or a lone pattern: the first pattern is after the first "|".
    const std::size_t bar = filter.find('|');
    std::string pattern = bar == std::string::npos ? filter : filter.substr(bar + 1);
    pattern = pattern.substr(0, pattern.find_first_of(";|"));
    const std::size_t begin = pattern.find_first_not_of(' ');
    if (begin == std::string::npos) return {};
    pattern = pattern.substr(begin, pattern.find_last_not_of(' ') - begin + 1);
    if (pattern.rfind("*.", 0) != 0) return {};
    const std::string suffix = pattern.substr(2);
    return suffix.find_first_of("*?") == std::string::npos ? suffix : std::string();
}

}  // namespace delvar::core
