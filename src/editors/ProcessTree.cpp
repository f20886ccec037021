#include "editors/ProcessTree.h"

#include <algorithm>
#include <charconv>

#include "setup/LayerChains.h"

namespace delvar::editors {

using setup::SetupData;

namespace {
using ProcessTable = setup::Table<setup::ProcessRec, setup::kMaxProcesses>;
using LayerTable = setup::Table<setup::LayerRec, setup::kMaxLayers>;
using FilmTable = setup::Table<setup::FilmRec, setup::kMaxFilms>;

// Reads letter and a number at the front of text, and the "," after it when more follows.
bool TakePart(std::string_view& text, char letter, int& number) {
    if (text.empty() || text.front() != letter) return false;
    const char* begin = text.data() + 1;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(begin, end, number);
    if (error != std::errc() || stop == begin) return false;
    text.remove_prefix(std::size_t(stop - text.data()));
    if (text.empty()) return true;
    if (text.front() != ',') return false;
    text.remove_prefix(1);
    return !text.empty();
}

void CountFrom(const std::vector<TreeNode>& nodes, std::size_t& count) {
    for (const TreeNode& node : nodes) {
        ++count;
        CountFrom(node.children, count);
    }
}

bool Find(const std::vector<TreeNode>& nodes, std::string_view key, std::size_t& position) {
    for (const TreeNode& node : nodes) {
        if (node.key == key) return true;
        ++position;
        if (Find(node.children, key, position)) return true;
    }
    return false;
}
}  // namespace

std::string ProcessKey(int process) {
    return "P" + std::to_string(process);
}

std::string LayerKey(int layer, int process) {
    return "L" + std::to_string(layer) + ",P" + std::to_string(process);
}

std::string FilmKey(int film, int process, int layer) {
    return "F" + std::to_string(film) + ",P" + std::to_string(process) + ",L" +
           std::to_string(layer);
}

std::optional<NodeRef> ParseNodeKey(std::string_view key) {
    NodeRef ref;
    std::string_view rest = key;
    const auto done = [&](bool valid) { return valid && rest.empty(); };
    bool valid = false;
    if (!key.empty() && key.front() == 'P') {
        ref.kind = NodeKind::Process;
        valid = done(TakePart(rest, 'P', ref.process));
    } else if (!key.empty() && key.front() == 'L') {
        ref.kind = NodeKind::Layer;
        valid = TakePart(rest, 'L', ref.layer) && done(TakePart(rest, 'P', ref.process)) &&
                LayerTable::Valid(ref.layer);
    } else if (!key.empty() && key.front() == 'F') {
        ref.kind = NodeKind::Film;
        valid = TakePart(rest, 'F', ref.film) && TakePart(rest, 'P', ref.process) &&
                done(TakePart(rest, 'L', ref.layer)) && LayerTable::Valid(ref.layer) &&
                FilmTable::Valid(ref.film);
    }
    if (!valid || !ProcessTable::Valid(ref.process)) return std::nullopt;
    return ref;
}

std::vector<TreeNode> LayerNodes(const SetupData& setup, int process) {
    std::vector<setup::ChainStep> steps;
    setup::WalkChain(setup, process, setup::WalkLength::Recorded,
                     [&steps](const setup::ChainStep& step) {
                         steps.push_back(step);
                         return true;
                     });
    std::vector<TreeNode> nodes;
    nodes.reserve(steps.size());
    for (std::size_t i = 0; i < steps.size(); ++i) {
        const setup::ChainStep& step = steps[i];
        const setup::LayerRec& layer = setup.layers[step.layer];
        const bool groupTop = i + 1 < steps.size() && steps[i + 1].member == 2;
        std::string text = (step.member > 1 ? "->Layer " : "Layer ") + std::to_string(step.top);
        if (step.member > 1 || groupTop) text += "." + std::to_string(layer.Output_Number);
        TreeNode node{LayerKey(step.layer, process), std::move(text), {}};
        // A layer naming no film (a damaged record) shows without a film node.
        if (const setup::FilmRec* film = setup.films.Find(layer.Film_Number))
            node.children.push_back(
                {FilmKey(layer.Film_Number, process, step.layer), film->Film_Name, {}});
        nodes.push_back(std::move(node));
    }
    return nodes;
}

std::vector<TreeNode> ProcessNodes(const SetupData& setup) {
    std::vector<TreeNode> nodes;
    nodes.reserve(setup::kMaxProcesses);
    for (int p = 1; p <= setup::kMaxProcesses; ++p)
        nodes.push_back({ProcessKey(p), setup.processes[p].Process_Name, LayerNodes(setup, p)});
    return nodes;
}

std::size_t CountNodes(const std::vector<TreeNode>& roots) {
    std::size_t count = 0;
    CountFrom(roots, count);
    return count;
}

std::optional<std::size_t> PositionOf(const std::vector<TreeNode>& roots, std::string_view key) {
    std::size_t position = 0;
    if (!Find(roots, key, position)) return std::nullopt;
    return position;
}

std::vector<bool> KeepExpanded(const std::vector<bool>& before, std::size_t nodeCount) {
    std::vector<bool> expanded(nodeCount, false);
    const std::size_t kept = std::min({before.size(), nodeCount, kRememberedNodes});
    std::copy_n(before.begin(), kept, expanded.begin());
    return expanded;
}

}  // namespace delvar::editors
