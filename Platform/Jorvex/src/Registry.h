// The library's state: every live tree and every owning handle.
//
// One mutex guards all of it, trees included; callers hold the lock (Lock())
// across a whole call. Tree and owner ids come from 64-bit counters that are
// never reset, so a released handle stays unknown for the life of the process.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <unordered_map>

#include "Json.h"
#include "Jorvex/JsonValue.h"
#include "PathTable.h"

namespace Jorvex {

struct Tree {
    Json root;
    PathTable paths;
    uint64_t owners = 0;
};

// What a live handle designates: a path in a tree.
struct Target {
    Tree* tree;
    uint64_t treeId;
    uint64_t path;
};

class Registry {
public:
    static Registry& Instance();

    std::unique_lock<std::mutex> Lock() { return std::unique_lock<std::mutex>(mutex_); }

    // The members below expect the lock to be held.

    // A new tree with a null root, and its first owning handle.
    JsonHandle CreateTree();
    // A new owning handle designating target.
    JsonHandle AddOwner(const Target& target);
    // Releases an owning handle. When it was the tree's last, the tree moves
    // to `doomed`, so the caller can free it after unlocking.
    JorvexStatus Release(const JsonHandle& handle, std::unique_ptr<Tree>& doomed);
    // Empty for anything but a live owning handle or a view of a live tree.
    std::optional<Target> Resolve(const JsonHandle& handle);
    JsonHandle MakeView(uint64_t treeId, uint64_t path) const;
    size_t OwnerCount() const { return owners_.size(); }

private:
    struct Owner {
        uint64_t treeId;
        uint64_t path;
    };

    std::mutex mutex_;
    std::unordered_map<uint64_t, std::unique_ptr<Tree>> trees_;
    std::unordered_map<uint64_t, Owner> owners_;
    uint64_t nextTreeId_ = 1;
    uint64_t nextOwnerId_ = 1;
};

}  // namespace Jorvex
