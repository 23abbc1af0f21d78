// A Start Menu of 5,000 shortcuts in 50 folders, some nested three deep, all
// to one program: every one is listed, depth first in listing order.
#include <windows.h>

#include <cstdio>

#include "Cases.h"
#include "Conversation.h"
#include "Scene.h"
#include "SettingFixtures.h"
#include "tavrel-host/HostError.h"

namespace Faults {
namespace {

constexpr int kFolders = 50;
constexpr int kShortcutsPerFolder = 100;
constexpr int kNestedEvery = 10;  // folders 0, 10, ... spread their shortcuts
constexpr int kNestingDepth = 3;  // over themselves and three folders below

// Shortcut names start with "X" and the folder below is "Deeper", so in any
// listing sorted by name (Windows and Wine alike) the folder comes first.
std::wstring ShortcutName(int folder, int level, int number) {
    wchar_t name[32];
    std::swprintf(name, 32, L"X-F%02d-L%d-%03d", folder, level, number);
    return name;
}

// Copies `model` to `count` shortcuts in `path` and the folders below it
// (`levels` of them), appending their names in the order a depth-first walk
// meets them.
void Populate(const std::wstring& model, const std::wstring& path, int folder, int level, int levels, int count,
              std::vector<std::wstring>& expected) {
    CreateDirectoryW(path.c_str(), nullptr);
    const int here = count / (levels - level + 1);
    if (level < levels) Populate(model, path + L"\\Deeper", folder, level + 1, levels, count - here, expected);
    for (int number = 0; number < here; ++number) {
        const std::wstring name = ShortcutName(folder, level, number);
        if (!CopyFileW(model.c_str(), (path + L"\\" + name + L".lnk").c_str(), FALSE)) {
            throw TavrelHost::HostError(L"cannot copy a shortcut into " + path);
        }
        expected.push_back(name);
    }
}

}  // namespace

void LargeStartMenu(Verdict& verdict) {
    Scene scene;
    const std::wstring chess = scene.Program(L"Chess");
    ProductPathSetting product(scene.ProductFolder());
    // Saving through the shell costs far more than copying: one model, copied.
    const std::wstring model = scene.Scratch(L"Model.lnk");
    PlaceShortcut(model, chess);

    std::vector<std::wstring> expected;
    for (int folder = 0; folder < kFolders; ++folder) {
        wchar_t name[8];
        std::swprintf(name, 8, L"F%02d", folder);
        const int levels = folder % kNestedEvery == 0 ? kNestingDepth : 0;
        Populate(model, scene.Menu(name), folder, 0, levels, kShortcutsPerFolder, expected);
    }

    double seconds = 0;
    const AppList list = ListApplications(verdict, &seconds);
    verdict.Expect(list.apps.size() == expected.size(), L"task 1 lists " + std::to_wstring(expected.size()) +
                                                            L" applications; got " + std::to_wstring(list.apps.size()));
    size_t firstWrong = 0;
    while (firstWrong < list.apps.size() && firstWrong < expected.size() &&
           list.apps[firstWrong].name == expected[firstWrong] && list.apps[firstWrong].path == chess) {
        ++firstWrong;
    }
    if (firstWrong < list.apps.size() && firstWrong < expected.size()) {
        verdict.Expect(false, L"entry " + std::to_wstring(firstWrong) + L" is " + expected[firstWrong] + L" -> " +
                                  chess + L"; got " + list.apps[firstWrong].name + L" -> " +
                                  list.apps[firstWrong].path);
    }
    verdict.Note(L"task 1 over " + std::to_wstring(expected.size()) + L" shortcuts: " + SecondsText(seconds));
}

}  // namespace Faults
