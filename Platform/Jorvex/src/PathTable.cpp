#include "PathTable.h"

namespace Jorvex {

PathTable::PathTable() { nodes_.push_back(Node{kRoot, 0, false, 0, {}}); }

JorvexStatus PathTable::Add(Node node, uint64_t& id) {
    // A value at path length L sits inside L containers.
    if (nodes_[node.parent].length >= JORVEX_MAX_DEPTH) {
        return JORVEX_E_TOO_DEEP;
    }
    node.length = nodes_[node.parent].length + 1;
    id = nodes_.size();
    nodes_.push_back(std::move(node));
    return JORVEX_OK;
}

JorvexStatus PathTable::Member(uint64_t parent, const std::string& key, uint64_t& id) {
    auto found = members_.find({parent, key});
    if (found != members_.end()) {
        id = found->second;
        return JORVEX_OK;
    }
    uint64_t added = 0;
    const JorvexStatus status = Add(Node{parent, 0, false, 0, key}, added);
    if (status != JORVEX_OK) {
        return status;
    }
    try {
        members_.emplace(std::make_pair(parent, key), added);
    } catch (...) {
        nodes_.pop_back();
        throw;
    }
    id = added;
    return JORVEX_OK;
}

JorvexStatus PathTable::Element(uint64_t parent, uint32_t index, uint64_t& id) {
    auto found = elements_.find({parent, index});
    if (found != elements_.end()) {
        id = found->second;
        return JORVEX_OK;
    }
    uint64_t added = 0;
    const JorvexStatus status = Add(Node{parent, 0, true, index, {}}, added);
    if (status != JORVEX_OK) {
        return status;
    }
    try {
        elements_.emplace(std::make_pair(parent, index), added);
    } catch (...) {
        nodes_.pop_back();
        throw;
    }
    id = added;
    return JORVEX_OK;
}

std::vector<PathStep> PathTable::Steps(uint64_t id) const {
    std::vector<PathStep> steps(nodes_[id].length);
    for (size_t i = steps.size(); i-- > 0; id = nodes_[id].parent) {
        const Node& node = nodes_[id];
        steps[i] = PathStep{node.isIndex, node.index, &node.key};
    }
    return steps;
}

}  // namespace Jorvex
