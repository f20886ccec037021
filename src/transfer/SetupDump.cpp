#include "transfer/SetupDump.h"

#include <charconv>
#include <fstream>
#include <stdexcept>

#include "commands/modCommFilm.h"
#include "commands/modCommProcess.h"

namespace delvar::transfer {

using namespace delvar::setup;
using namespace delvar::commands;

namespace {
constexpr int kFilmGroups = 5;  // A1 (the name) .. A5
constexpr int kMaxGroupParams = 99;

// value with a fixed number of decimals, independent of the locale.
std::string Fixed(double value, int decimals) {
    char buffer[64];
    auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    return std::string(buffer, result.ptr);
}

std::string FilmGroupLine(int number, const setup::FilmRec& film, int group) {
    std::string line = "Film " + std::to_string(number) + ", ";
    bool first = true;
    for (int p = 1; p <= kMaxGroupParams; ++p) {
        const std::string value = GetFilmParam(film, group * 100 + p);
        if (value.empty()) continue;
        line += (first ? "" : ",") + value;
        first = false;
    }
    return line;
}
}  // namespace

void DumpSetup(const setup::SetupData& setup, const std::string& fileName) {
    std::ofstream out(fileName, std::ios::trunc);
    if (!out) throw std::runtime_error("cannot write " + fileName);
    for (int n = 1; n <= setup::kMaxProcesses; ++n) {
        const auto& p = setup.processes[n];
        out << "Process " << n << ", " << p.Process_Name << "," << p.First_Layer << ","
            << p.Number_Layers << "," << p.Number_Act_Layers << "\n";
    }
    for (int n = 1; n <= setup::kMaxLayers; ++n) {
        out << "Layer " << n << ", ";
        for (int p = 1; p <= kLayerParamCount; ++p)
            out << (p > 1 ? "," : "") << GetLayerParam(setup.layers[n], p);
        out << "\n";
    }
    for (int n = 1; n <= setup::kMaxFilms; ++n)
        for (int group = 1; group <= kFilmGroups; ++group)
            out << FilmGroupLine(n, setup.films[n], group) << "\n";
    for (int n = 1; n <= setup::kMaxMaterials; ++n) {
        const auto& m = setup.materials[n];
        out << "Material " << n << ", " << m.Material << "," << Fixed(m.Density, 2) << ","
            << Fixed(m.ZFactor, 3) << "\n";
    }
    out.flush();
    if (!out) throw std::runtime_error("cannot write " + fileName);
}

}  // namespace delvar::transfer
