#include "monitor/ChartLook.h"

#include <charconv>
#include <cmath>
#include <optional>

#include "monitor/GraphSetup.h"
#include "util/Text.h"

namespace delvar::monitor {

namespace {

constexpr std::string_view kHeader = "DelvarChartLook 1";

constexpr std::array<Rgb, 4> kSeriesColours = {Rgb{0, 200, 0}, Rgb{230, 220, 0}, Rgb{50, 130, 255},
                                               Rgb{240, 40, 40}};

std::optional<double> Number(std::string_view text) {
    std::string trimmed = util::Trim(text);
    double value = 0;
    auto result = std::from_chars(trimmed.data(), trimmed.data() + trimmed.size(), value);
    if (trimmed.empty() || result.ec != std::errc() ||
        result.ptr != trimmed.data() + trimmed.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<Rgb> Colour(std::string_view text) {
    std::string trimmed = util::Trim(text);
    if (trimmed.size() != 7 || trimmed[0] != '#') return std::nullopt;
    unsigned value = 0;
    auto result = std::from_chars(trimmed.data() + 1, trimmed.data() + 7, value, 16);
    if (result.ec != std::errc() || result.ptr != trimmed.data() + 7) return std::nullopt;
    return Rgb{int(value >> 16), int((value >> 8) & 0xff), int(value & 0xff)};
}

std::optional<LegendPlace> Legend(std::string_view text) {
    std::string word = util::Trim(text);
    if (word == "none") return LegendPlace::kNone;
    if (word == "top") return LegendPlace::kTop;
    if (word == "bottom") return LegendPlace::kBottom;
    if (word == "left") return LegendPlace::kLeft;
    if (word == "right") return LegendPlace::kRight;
    return std::nullopt;
}

template <typename T>
void Take(std::optional<T> value, T& field) {
    if (value) field = *value;
}

void TakePositive(std::optional<double> value, double& field) {
    if (value && *value > 0) field = *value;
}

void TakeLine(std::string_view key, std::string_view value, ChartLook& look) {
    if (key == "title") {
        look.title = util::Trim(value);
    } else if (key == "background") {
        Take(Colour(value), look.background);
    } else if (key == "plot_area") {
        Take(Colour(value), look.plotArea);
    } else if (key == "text") {
        Take(Colour(value), look.text);
    } else if (key == "grid") {
        Take(Colour(value), look.grid);
    } else if (key == "axis") {
        Take(Colour(value), look.axis);
    } else if (key == "font_size") {
        std::optional<double> size = Number(value);
        if (size && *size >= 4 && *size <= 72) look.fontSize = int(*size);
    } else if (key == "line_width") {
        std::optional<double> width = Number(value);
        if (width && *width > 0 && *width <= 20) look.lineWidth = *width;
    } else if (key == "legend") {
        Take(Legend(value), look.legend);
    } else if (key == "x_min") {
        Take(Number(value), look.axes.XMin);
    } else if (key == "x_wide") {
        TakePositive(Number(value), look.axes.XWide);
    } else if (key == "x_div") {
        TakePositive(Number(value), look.axes.XDiv);
    } else if (key == "x_grid") {
        if (auto flag = Number(value)) look.axes.XGrid = *flag == 1;
    } else if (key == "y_min") {
        Take(Number(value), look.axes.YMin);
    } else if (key == "y_max") {
        Take(Number(value), look.axes.YMax);
    } else if (key == "y_div") {
        TakePositive(Number(value), look.axes.YDiv);
    } else if (key == "y_grid") {
        if (auto flag = Number(value)) look.axes.YGrid = *flag == 1;
    } else if (key.size() == 7 && key.substr(0, 6) == "series" && key[6] >= '1' && key[6] <= '4') {
        std::size_t bar = value.rfind('|');
        std::optional<Rgb> colour =
            bar == std::string_view::npos ? std::nullopt : Colour(value.substr(bar + 1));
        if (!colour) return;
        SeriesLook& series = look.series[key[6] - '1'];
        series.name = util::Trim(value.substr(0, bar));
        series.colour = *colour;
    }
}

}  // namespace

ChartLook DefaultLook(int graph) {
    static constexpr std::array<const char*, 4> kTitles = {
        "Output Rate (\u00c5/s)", "Output Deviation (%)", "Output Power (%)",
        "Sensor Rate (\u00c5/s)"};
    static constexpr std::array<GraphAxes, 4> kAxes = {
        GraphAxes{0, 60, 10, true, 0, 20, 2, true}, GraphAxes{0, 60, 10, true, -50, 50, 10, true},
        GraphAxes{0, 60, 10, true, 0, 100, 10, true}, GraphAxes{0, 60, 10, true, 0, 20, 2, true}};
    if (graph < 0 || graph > 3) graph = 0;
    ChartLook look;
    look.title = kTitles[graph];
    look.axes = kAxes[graph];
    const char* kind = graph == 3 ? "Sensor " : "Output ";
    for (int s = 0; s < 4; ++s) look.series[s] = {kind + std::to_string(s + 1), kSeriesColours[s]};
    return look;
}

bool ParseChartLook(std::string_view text, ChartLook& look) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);  // UTF-8 mark
    std::size_t end = text.find('\n');
    std::string first = util::Trim(util::StripChar(text.substr(0, end), '\r'));
    if (first != kHeader) return false;
    ChartLook read = look;
    while (end != std::string_view::npos) {
        text.remove_prefix(end + 1);
        end = text.find('\n');
        std::string line = util::Trim(util::StripChar(text.substr(0, end), '\r'));
        if (line.empty() || line[0] == '#') continue;  // "#" inside a value is a colour
        std::size_t equals = line.find('=');
        if (equals == std::string::npos) continue;
        TakeLine(util::Trim(line.substr(0, equals)), line.substr(equals + 1), read);
    }
    if (!AxesProblem(read.axes).empty()) return false;
    look = read;
    return true;
}

}  // namespace delvar::monitor
