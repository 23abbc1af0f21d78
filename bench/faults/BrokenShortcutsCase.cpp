// Shortcut files that are no shortcuts: random bytes, nothing at all, and a
// folder that merely has a shortcut's name. The broken files are left out;
// the folder is scanned as a folder, so the shortcut inside it is listed.
#include <random>

#include "Cases.h"
#include "Conversation.h"
#include "Scene.h"
#include "SettingFixtures.h"

namespace Faults {
namespace {

std::string RandomBytes(size_t count) {
    std::mt19937 random(7);
    std::string bytes(count, '\0');
    for (char& b : bytes) b = static_cast<char>(random());
    return bytes;
}

// Random bytes behind the fixed start of a shell link (header size 0x4C and
// the link's class id), so the shell gets past its first check and parses on.
// Wine 8's shell takes about 15 s to refuse this one (reading its chunks).
std::string RandomBytesBehindLinkHeader(size_t count) {
    const std::string header("\x4C\0\0\0\x01\x14\x02\0\0\0\0\0\xC0\0\0\0\0\0\0\x46", 20);
    return header + RandomBytes(count);
}

}  // namespace

void BrokenShortcuts(Verdict& verdict) {
    Scene scene;
    PlaceFile(scene.Menu(L"Corrupt.lnk"), RandomBytes(4096));
    PlaceFile(scene.Menu(L"Corrupt behind a header.lnk"), RandomBytesBehindLinkHeader(4096));
    PlaceFile(scene.Menu(L"Empty.lnk"), "");
    PlaceShortcut(scene.Menu(L"Valid.lnk"), scene.Program(L"Chess"));
    const std::wstring paint = scene.Program(L"Paint");
    PlaceShortcut(scene.Menu(L"x.lnk\\Inside.lnk"), paint);
    ProductPathSetting product(scene.ProductFolder());

    double seconds = 0;
    const AppList list = ListApplications(verdict, &seconds);
    verdict.Expect(list.Names() == std::vector<std::wstring>{L"Valid", L"Inside"},
                   L"Valid and Inside (in the folder x.lnk) are listed, in that order; got " + Joined(list.Names()));
    if (list.apps.size() == 2) verdict.Expect(list.apps[1].path == paint, L"Inside leads to " + paint);
    verdict.Note(L"task 1: " + SecondsText(seconds));
}

}  // namespace Faults
