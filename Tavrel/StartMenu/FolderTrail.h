// Keeps a walk over a folder tree from going round in circles: a junction or
// link below a folder can lead back up to it.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace Tavrel::StartMenu {

// A folder whatever path leads to it: volume serial number and the 128-bit
// file id. A folder the file system cannot identify (an all-zero id, as ReFS
// and some network shares report, or no answer at all) stays unknown.
struct FolderIdentity {
    ULONGLONG volume = 0;
    BYTE id[16] = {};
    bool known = false;

    bool operator==(const FolderIdentity& other) const;
};

// The identity of `path`, or an unknown one.
FolderIdentity IdentifyFolder(const std::wstring& path);
// The identity that a file-id record describes; unknown for an all-zero id.
FolderIdentity FolderIdentityFrom(ULONGLONG volume, const BYTE (&id)[16]);

// The folders from the top of the walk down to the one being scanned.
class FolderTrail {
public:
    // Deep enough for any real Start Menu; the backstop against a loop made
    // of folders that cannot be identified.
    static constexpr size_t kMaxDepth = 64;

    // Whether the walk may go into `folder` below the current one: not when
    // it is known and already on the trail, nor below kMaxDepth folders.
    bool MayEnter(const FolderIdentity& folder) const;
    void Enter(const FolderIdentity& folder) { trail_.push_back(folder); }
    void Leave() { trail_.pop_back(); }

private:
    std::vector<FolderIdentity> trail_;
};

}  // namespace Tavrel::StartMenu
