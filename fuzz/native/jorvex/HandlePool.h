// The handles one fuzz input has made: the owning ones, which it must
// destroy again, and views. Hands out live, released, mutated and made-up
// handles alike, since every function must refuse a handle it does not know.
#pragma once

#include <cstddef>
#include <vector>

#include "Jorvex/JsonValue.h"
#include "support/ByteReader.h"

namespace Fuzz {

class HandlePool {
public:
    HandlePool() = default;
    // Destroys what is still owned, then checks that no owning handle is
    // left alive and that every view has gone with its tree.
    ~HandlePool();
    HandlePool(const HandlePool&) = delete;
    HandlePool& operator=(const HandlePool&) = delete;

    JsonHandle Pick(ByteReader& in) const;
    void AddOwned(const JsonHandle& handle) { owned_.push_back(handle); }
    void AddView(const JsonHandle& handle);

    // Destroys a handle from Pick, or an owned one, and checks the answer
    // against what the pool knows about it.
    void Destroy(ByteReader& in);

    // The library's count of live owning handles is the pool's.
    void CheckLiveCount() const;

private:
    static constexpr std::size_t kMaxViews = 64;

    std::vector<JsonHandle> owned_;
    std::vector<JsonHandle> views_;
    std::size_t nextView_ = 0;
};

bool SameHandle(const JsonHandle& a, const JsonHandle& b);

}  // namespace Fuzz
