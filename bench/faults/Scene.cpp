#include "Scene.h"

#include "Common/BxCommon/BxComn_FolderTree.h"

namespace Faults {

Scene::Scene() : scratch_(L"C:\\TavrelFaults"), menu_(StartMenuFolder() + L"\\Programs\\Tavrel Faults") {
    BxCommon::FolderTree::CreateFolders(ProductFolder());
}

std::wstring Scene::Program(const std::wstring& name) const {
    const std::wstring path = scratch_.Path(L"Apps\\" + name + L"\\" + name + L".exe");
    PlaceProgram(path);
    return path;
}

}  // namespace Faults
