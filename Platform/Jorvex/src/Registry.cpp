#include "Registry.h"

#include "HandleCodec.h"

namespace Jorvex {

namespace {

// At namespace scope rather than in Instance(): a function-local static
// would link the runtime's guard machinery, which keeps per-thread records
// of its own. Built when the library loads, before any export can run.
Registry g_registry;

}  // namespace

Registry& Registry::Instance() { return g_registry; }

JsonHandle Registry::CreateTree() {
    const uint64_t treeId = nextTreeId_++;
    trees_.emplace(treeId, std::make_unique<Tree>());
    try {
        return AddOwner(Target{trees_[treeId].get(), treeId, PathTable::kRoot});
    } catch (...) {
        trees_.erase(treeId);
        throw;
    }
}

JsonHandle Registry::AddOwner(const Target& target) {
    const uint64_t ownerId = nextOwnerId_++;
    owners_.emplace(ownerId, Owner{target.treeId, target.path});
    ++target.tree->owners;
    return EncodeHandle(HandleKind::Owner, ownerId, target.treeId);
}

JorvexStatus Registry::Release(const JsonHandle& handle, std::unique_ptr<Tree>& doomed) {
    const auto fields = DecodeHandle(handle);
    if (!fields || fields->kind != HandleKind::Owner) {
        return JORVEX_E_BAD_HANDLE;
    }
    auto owner = owners_.find(fields->first);
    if (owner == owners_.end() || owner->second.treeId != fields->second) {
        return JORVEX_E_BAD_HANDLE;
    }
    auto tree = trees_.find(owner->second.treeId);
    owners_.erase(owner);
    if (--tree->second->owners == 0) {
        doomed = std::move(tree->second);
        trees_.erase(tree);
    }
    return JORVEX_OK;
}

std::optional<Target> Registry::Resolve(const JsonHandle& handle) {
    const auto fields = DecodeHandle(handle);
    if (!fields) {
        return std::nullopt;
    }
    uint64_t treeId = fields->first;
    uint64_t path = fields->second;
    if (fields->kind == HandleKind::Owner) {
        auto owner = owners_.find(fields->first);
        if (owner == owners_.end() || owner->second.treeId != fields->second) {
            return std::nullopt;
        }
        treeId = owner->second.treeId;
        path = owner->second.path;
    }
    auto tree = trees_.find(treeId);
    if (tree == trees_.end() || !tree->second->paths.Contains(path)) {
        return std::nullopt;
    }
    return Target{tree->second.get(), treeId, path};
}

JsonHandle Registry::MakeView(uint64_t treeId, uint64_t path) const {
    return EncodeHandle(HandleKind::View, treeId, path);
}

}  // namespace Jorvex
