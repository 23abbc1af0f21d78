#include "Tavrel/Plugin/LogFolder.h"

namespace Tavrel {

std::wstring BuildLogFolderPath(const std::wstring& installedFolder) {
    std::wstring folder = installedFolder;
    if (!folder.empty() && folder.back() != L'\\') folder += L'\\';
    folder += L"..\\VESK\\";
    return folder;
}

}  // namespace Tavrel
