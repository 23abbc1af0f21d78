// The paths of one tree, interned.
//
// A view names a value by path, never by address: nlohmann containers move
// their elements when they grow, so a pointer kept between calls would dangle.
// Each path node is (parent, member key or element index) and gets an id the
// first time it is asked for; asking again returns the same id, so walking an
// array repeatedly does not grow the table. Nodes live as long as the tree,
// so an id never changes meaning.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "Jorvex/JsonValue.h"

namespace Jorvex {

struct PathStep {
    bool isIndex;
    uint32_t index;
    const std::string* key;  // owned by the table; stable while the tree lives
};

class PathTable {
public:
    static constexpr uint64_t kRoot = 0;

    PathTable();

    bool Contains(uint64_t id) const { return id < nodes_.size(); }
    // The number of steps from the root.
    uint32_t Length(uint64_t id) const { return nodes_[id].length; }

    // The id of a child path, interned on first use. A child that could only
    // sit deeper than JORVEX_MAX_DEPTH containers is refused (TOO_DEEP).
    JorvexStatus Member(uint64_t parent, const std::string& key, uint64_t& id);
    JorvexStatus Element(uint64_t parent, uint32_t index, uint64_t& id);

    // The steps from the root to the path, outermost first.
    std::vector<PathStep> Steps(uint64_t id) const;

private:
    struct Node {
        uint64_t parent;
        uint32_t length;
        bool isIndex;
        uint32_t index;
        std::string key;
    };

    JorvexStatus Add(Node node, uint64_t& id);

    // A deque, so that the keys PathStep points at do not move on growth.
    std::deque<Node> nodes_;
    std::map<std::pair<uint64_t, std::string>, uint64_t> members_;
    std::map<std::pair<uint64_t, uint32_t>, uint64_t> elements_;
};

}  // namespace Jorvex
