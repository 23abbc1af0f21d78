// The 16-byte string key. It is never stored whole: it is assembled on the
// stack from constant pieces for each use and wiped when the use ends.
#pragma once

#include "Common/BxCommon/BxComn_PortableTypes.h"

namespace BxCommon::Cryptograph {

class StringKey {
public:
    static constexpr DWORD kLength = 16;

    StringKey();
    ~StringKey();
    StringKey(const StringKey&) = delete;
    StringKey& operator=(const StringKey&) = delete;

    const BYTE* Bytes() const { return bytes_; }

private:
    BYTE bytes_[kLength];
};

}  // namespace BxCommon::Cryptograph
