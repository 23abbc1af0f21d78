// The ground each case stands on: a scratch tree on drive C for programs and
// the product's folder, and the case's own Start Menu folder, both created
// empty and removed at the end. Settings stay each case's own business.
#pragma once

#include <string>

#include "FileFixtures.h"

namespace Faults {

class Scene {
public:
    Scene();

    // C:\TavrelFaults\Suite\Pellam, which exists; its parent is filtered
    // once "ProductPath" names it.
    std::wstring ProductFolder() const { return scratch_.Path(L"Suite\\Pellam"); }
    // A program at <scratch>\Apps\<name>\<name>.exe, outside every filtered
    // folder; answers its path.
    std::wstring Program(const std::wstring& name) const;
    // <scratch>\<relative>
    std::wstring Scratch(const std::wstring& relative) const { return scratch_.Path(relative); }
    // <the case's Start Menu folder>\<relative>
    std::wstring Menu(const std::wstring& relative) const { return menu_.Path(relative); }

private:
    ScratchTree scratch_;
    ScratchTree menu_;
};

}  // namespace Faults
