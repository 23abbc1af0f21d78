// Without an installation folder every application counts as the suite's
// own: task 1 lists nothing, and says so by leaving the member out.
#include <optional>

#include "Cases.h"
#include "Conversation.h"
#include "Scene.h"
#include "SettingFixtures.h"

namespace Faults {

void NoProductPath(Verdict& verdict) {
    Scene scene;
    PlaceShortcut(scene.Menu(L"Chess.lnk"), scene.Program(L"Chess"));
    {
        // The control: the same Start Menu lists Chess once the folder is known.
        ProductPathSetting product(scene.ProductFolder());
        const AppList list = ListApplications(verdict);
        verdict.Expect(list.Names() == std::vector<std::wstring>{L"Chess"},
                       L"with ProductPath set, Chess is listed; got " + Joined(list.Names()));
    }
    auto expectNothing = [&](const std::wstring& situation) {
        const AppList list = ListApplications(verdict);
        verdict.Expect(!list.present, situation + L": no PcAppCtrlAppList; got " + Joined(list.Names()));
    };
    {
        ProductPathSetting product(std::nullopt);
        expectNothing(L"no ProductPath value");
    }
    {
        ProductPathSetting product{std::wstring()};
        expectNothing(L"an empty ProductPath");
    }
    RemoveProductKey();
    expectNothing(L"no product key at all");
}

}  // namespace Faults
