// The process tree of the setup window as plain data: one node per process, its
// layers in chain order and each layer's film, with the keys the window's clicks
// come back with. The expanded state of a rebuilt tree is kept by node position.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "setup/SetupData.h"

namespace delvar::editors {

struct TreeNode {
    std::string key;   // "P"+p, "L"+l+",P"+p or "F"+f+",P"+p+",L"+l
    std::string text;  // shown in the tree
    std::vector<TreeNode> children;
};

enum class NodeKind { Process, Layer, Film };

// What a key names; layer and film are 0 where the kind has none.
struct NodeRef {
    NodeKind kind = NodeKind::Process;
    int process = 0;
    int layer = 0;
    int film = 0;
};

std::string ProcessKey(int process);
std::string LayerKey(int layer, int process);
std::string FilmKey(int film, int process, int layer);
// Nothing for a key not made by the functions above or naming a record outside its table.
std::optional<NodeRef> ParseNodeKey(std::string_view key);

// "Layer n", "Layer n.o" for the top layer of a CoDep group, "->Layer n.o" for its
// further members (n counts top layers, o is the layer's Output_Number).
std::vector<TreeNode> LayerNodes(const setup::SetupData& setup, int process);
// All 99 processes with their layers and films.
std::vector<TreeNode> ProcessNodes(const setup::SetupData& setup);

// Nodes of a tree in pre-order: a node, then its children; the order positions count in.
std::size_t CountNodes(const std::vector<TreeNode>& roots);
// Position of the node with key, nothing when the tree has none.
std::optional<std::size_t> PositionOf(const std::vector<TreeNode>& roots, std::string_view key);

// Most node positions whose expanded state a rebuild remembers (99 processes and the
// layer and film nodes of the 999 layers fit).
inline constexpr std::size_t kRememberedNodes = 2101;

// The expanded state for a rebuilt tree of nodeCount nodes: the state the old tree had
// at each position (up to kRememberedNodes), the rest collapsed.
std::vector<bool> KeepExpanded(const std::vector<bool>& before, std::size_t nodeCount);

}  // namespace delvar::editors
