// The exception key as a damaged or tampered registry may leave it: ten
// thousand values, nearly all of them no stored folder at all. Each is
// skipped; the one real folder among them still filters its application,
// and the rest of the list is what it is without the junk.
#include <windows.h>

#include <cstdio>
#include <random>

#include "Cases.h"
#include "Conversation.h"
#include "Scene.h"
#include "SettingFixtures.h"

namespace Faults {
namespace {

constexpr int kEntries = 10000;
constexpr int kRealEntry = 5000;  // halfway, so junk comes before and after it

std::wstring EntryName(int index) {
    wchar_t name[16];
    std::swprintf(name, 16, L"Entry%05d", index);
    return name;
}

std::wstring HexDigits(std::mt19937& random, size_t count) {
    static constexpr wchar_t kDigits[] = L"0123456789ABCDEF";
    std::wstring digits;
    for (size_t i = 0; i < count; ++i) digits += kDigits[random() % 16];
    return digits;
}

// One junk value of the kind `index` picks.
void AddJunk(ExceptionKey& key, int index, std::mt19937& random) {
    const std::wstring name = EntryName(index);
    switch (index) {
        case 1:  // an odd digit count past any sane length
            key.SetString(name, HexDigits(random, 100001));
            return;
        case 2: {  // a string of an odd byte count, without its terminator
            const char bytes[] = {'4', '\0', '1'};
            key.SetRaw(name, REG_SZ, bytes, sizeof bytes);
            return;
        }
        case 3: {  // a list of strings, each a well-formed block of digits
            const std::wstring list = HexDigits(random, 32) + L'\0' + HexDigits(random, 32) + L'\0' + L'\0';
            key.SetRaw(name, REG_MULTI_SZ, list.c_str(), static_cast<DWORD>(list.size() * sizeof(wchar_t)));
            return;
        }
    }
    switch (index % 7) {
        case 0:
            key.SetString(name, L"not hexadecimal at all, entry " + std::to_wstring(index));
            return;
        case 1:
            key.SetString(name, HexDigits(random, 1 + 2 * (index % 40)));
            return;
        case 2:
            key.SetString(name, HexDigits(random, 31));
            return;
        case 3:
            key.SetString(name, L"");
            return;
        case 4: {
            const DWORD value = static_cast<DWORD>(index);
            key.SetRaw(name, REG_DWORD, &value, sizeof value);
            return;
        }
        case 5: {
            BYTE block[16];
            for (BYTE& b : block) b = static_cast<BYTE>(random());
            key.SetRaw(name, REG_BINARY, block, sizeof block);
            return;
        }
        default: {  // a block's worth of digits with one that is not
            std::wstring digits = HexDigits(random, 32);
            digits[index % 32] = L'G';
            key.SetString(name, digits);
            return;
        }
    }
}

}  // namespace

void ExceptionKeyJunk(Verdict& verdict) {
    Scene scene;
    const std::wstring games = scene.Scratch(L"Games");
    const std::wstring solitaire = games + L"\\Solitaire\\Solitaire.exe";
    PlaceProgram(solitaire);
    PlaceShortcut(scene.Menu(L"Chess.lnk"), scene.Program(L"Chess"));
    PlaceShortcut(scene.Menu(L"Paint.lnk"), scene.Program(L"Paint"));
    PlaceShortcut(scene.Menu(L"Solitaire.lnk"), solitaire);
    ProductPathSetting product(scene.ProductFolder());
    ExceptionKey exceptions;
    exceptions.AddFolder(EntryName(kRealEntry), games);

    double cleanSeconds = 0;
    const AppList clean = ListApplications(verdict, &cleanSeconds);
    verdict.Expect(
        clean.Names() == std::vector<std::wstring>{L"Chess", L"Paint"},
        L"with the real folder alone, Chess and Paint are listed and Solitaire is not; got " + Joined(clean.Names()));

    std::mt19937 random(20261207);
    for (int index = 0; index < kEntries; ++index) {
        if (index != kRealEntry) AddJunk(exceptions, index, random);
    }
    double junkSeconds = 0;
    const AppList withJunk = ListApplications(verdict, &junkSeconds);
    verdict.Expect(withJunk.Names() == clean.Names(),
                   L"with the junk, the same applications are listed; got " + Joined(withJunk.Names()));
    for (size_t i = 0; i < withJunk.apps.size() && i < clean.apps.size(); ++i) {
        verdict.Expect(withJunk.apps[i].path == clean.apps[i].path, L"the same path for " + clean.apps[i].name);
    }
    verdict.Note(L"task 1 with 1 exception entry: " + SecondsText(cleanSeconds));
    verdict.Note(L"task 1 with " + std::to_wstring(kEntries) + L" exception entries: " + SecondsText(junkSeconds));
}

}  // namespace Faults
