#include "Tavrel/StartMenu/FolderTrail.h"

#include <algorithm>
#include <cstring>

#include "Common/BxCommon/BxComn_UniqueResource.h"

namespace Tavrel::StartMenu {
namespace {

// FileIdInfo and its record (Windows 8 and later), which the SDK shows only
// to builds for Windows 8. Windows 7 refuses the query: unknown folders.
constexpr auto kFileIdInfo = static_cast<FILE_INFO_BY_HANDLE_CLASS>(18);
struct FileIdRecord {
    ULONGLONG volumeSerialNumber;
    BYTE fileId[16];
};

}  // namespace

bool FolderIdentity::operator==(const FolderIdentity& other) const {
    return known == other.known && volume == other.volume && std::memcmp(id, other.id, sizeof id) == 0;
}

FolderIdentity FolderIdentityFrom(ULONGLONG volume, const BYTE (&id)[16]) {
    FolderIdentity identity;
    identity.volume = volume;
    std::memcpy(identity.id, id, sizeof id);
    identity.known = std::any_of(std::begin(id), std::end(id), [](BYTE b) { return b != 0; });
    return identity;
}

FolderIdentity IdentifyFolder(const std::wstring& path) {
    BxCommon::UniqueFileHandle folder(CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    FileIdRecord record{};
    if (!folder || !GetFileInformationByHandleEx(folder.Get(), kFileIdInfo, &record, sizeof record)) return {};
    return FolderIdentityFrom(record.volumeSerialNumber, record.fileId);
}

bool FolderTrail::MayEnter(const FolderIdentity& folder) const {
    if (trail_.size() >= kMaxDepth) return false;
    return !folder.known || std::find(trail_.begin(), trail_.end(), folder) == trail_.end();
}

}  // namespace Tavrel::StartMenu
