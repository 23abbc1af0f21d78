// tavrel-host explain against task 1 over one prepared Start Menu: a file
// that the explanation calls listed is exactly one that the list holds.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>
#include <utility>

#include <nlohmann/json.hpp>

#include "ChildProcess.h"
#include "Common/BxCommon/BxComn_String.h"
#include "ExceptionFolders.h"
#include "ExpectedText.h"
#include "ProductRegistry.h"
#include "Shortcuts.h"
#include "TempFolder.h"
#include "TextFile.h"

using namespace TestSupport;
using nlohmann::json;

namespace {

std::string Utf8(const std::wstring& text) { return BxCommon::String::WideToUtf8(text); }

// One of each verdict, in a folder of the Start Menu of its own; the
// settings and the environment as they were afterwards.
class Explain : public ::testing::Test {
protected:
    void SetUp() override {
        PlaceExecutable(apps_ / L"Chess\\chess.exe");
        PlaceExecutable(apps_ / L"Games\\sol.exe");
        PlaceExecutable(apps_ / L"Suite\\Pellam\\console.exe");
        WriteEmptyFile(apps_ / L"readme.txt");
        exceptions_.AddString(L"Broken", L"not hex");
        exceptions_.AddFolder(L"Games", apps_ / L"Games");

        WriteShortcut(menu_ / L"Chess.lnk", apps_ / L"Chess\\chess.exe", L"Play chess");
        WriteShortcut(menu_ / L"Games\\Solitaire.lnk", apps_ / L"Games\\sol.exe");
        WriteShortcut(menu_ / L"Notepad.lnk", L"C:\\windows\\notepad.exe");
        WriteShortcut(menu_ / L"Console.lnk", apps_ / L"Suite\\Pellam\\console.exe");
        WriteShortcut(menu_ / L"Readme.lnk", apps_ / L"readme.txt");
        PlaceExecutable(apps_ / L"Gone\\gone.exe");
        WriteShortcut(menu_ / L"Gone.lnk", apps_ / L"Gone\\gone.exe");
        DeleteFileW((apps_ / L"Gone\\gone.exe").c_str());
        ASSERT_TRUE(WriteUtf8File(menu_ / L"Broken.lnk", L"not a shell link"));
        ASSERT_TRUE(WriteUtf8File(menu_ / L"Notes.txt", L"not a shortcut"));
    }

    // Every line of `explain --json` over the files, by path.
    std::map<std::wstring, json> Explained(const std::vector<std::wstring>& files) {
        std::wstring arguments = L"explain --json";
        for (const std::wstring& file : files) arguments += L" " + Quote(file);
        const ProcessResult result = Host(arguments);
        EXPECT_EQ(0u, result.exitCode) << result.err;
        std::map<std::wstring, json> byPath;
        size_t start = 0;
        for (size_t end; (end = result.out.find(L'\n', start)) != std::wstring::npos; start = end + 1) {
            json object = json::parse(Utf8(result.out.substr(start, end - start)));
            byPath[BxCommon::String::Utf8ToWide(object["path"].get<std::string>())] = object;
        }
        EXPECT_EQ(files.size(), byPath.size()) << result.out;
        return byPath;
    }

    TempFolder menu_{StartMenuFolder() + L"\\Programs\\TavrelExplainTest"};
    TempFolder apps_;
    ProductPathScope product_{apps_ / L"Suite\\Pellam"};
    ExceptionFoldersScope exceptions_;
    ComScope com_;
};

}  // namespace

TEST_F(Explain, ListedShortcutsAreExactlyTheApplicationsTheListAnswers) {
    std::vector<std::wstring> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(StartMenuFolder())) {
        if (entry.is_regular_file()) files.push_back(entry.path().wstring());
    }
    const std::map<std::wstring, json> explained = Explained(files);

    // (name, target) of every shortcut that explain calls listed ...
    std::multiset<std::pair<std::string, std::string>> listedByExplain;
    for (const auto& [path, object] : explained) {
        if (object["kind"] != "shortcut" || !object["listed"].get<bool>()) continue;
        std::wstring name = path.substr(path.find_last_of(L'\\') + 1);
        name = name.substr(0, name.rfind(L".lnk"));
        const auto expansion = std::find_if(object["steps"].begin(), object["steps"].end(),
                                            [](const json& step) { return step["step"] == "expansion"; });
        ASSERT_NE(object["steps"].end(), expansion);
        listedByExplain.emplace(Utf8(name), (*expansion)["expanded"].get<std::string>());
    }
    // ... and of every application of task 1.
    const ProcessResult list = Host(L"list --json");
    ASSERT_EQ(0u, list.exitCode) << list.err;
    std::multiset<std::pair<std::string, std::string>> listedByTask;
    const json answer = json::parse(Utf8(list.out));
    for (const json& item : answer["PcAppCtrlAppList"]) {
        listedByTask.emplace(item["PcAppCtrlFileName"].get<std::string>(),
                             item["PcAppCtrlFilePath"].get<std::string>());
    }
    EXPECT_EQ(listedByTask, listedByExplain) << list.out;
    EXPECT_EQ(1u, listedByExplain.size()) << "Chess";
}

TEST_F(Explain, EachVerdictNamesTheStepThatDecided) {
    const std::string apps = Utf8(apps_.Path());
    const std::string lowerApps = Lower(apps);
    const std::vector<std::pair<std::wstring, std::string>> expected = {
        {menu_ / L"Chess.lnk", "listed"},
        {menu_ / L"Games\\Solitaire.lnk",
         "not listed: in the exception folder " + lowerApps + "\\games (value \"Games\")"},
        {menu_ / L"Notepad.lnk", "not listed: in the Windows folder (c:\\windows)"},
        {menu_ / L"Console.lnk",
         "not listed: in the folder that holds the product's installation folder (" + lowerApps + "\\suite)"},
        {menu_ / L"Readme.lnk", "not listed: the target is not an application (no \".exe\" in it)"},
        {menu_ / L"Gone.lnk", "not listed: the target does not exist (" + apps + "\\Gone\\gone.exe)"},
        {menu_ / L"Broken.lnk", "not listed: not a shortcut that resolves"},
        {apps_ / L"Chess\\chess.exe", "listed"},
    };
    std::vector<std::wstring> files;
    for (const auto& [path, verdict] : expected) files.push_back(path);
    const std::map<std::wstring, json> explained = Explained(files);
    for (const auto& [path, verdict] : expected) EXPECT_EQ(verdict, explained.at(path)["verdict"]) << Utf8(path);

    // The steps up to the deciding one, in order; the undecryptable entry is
    // named and passed over.
    std::vector<std::string> steps;
    for (const json& step : explained.at(menu_ / L"Games\\Solitaire.lnk")["steps"]) {
        steps.push_back(step["step"].get<std::string>() + (step["dropped"].get<bool>() ? "!" : ""));
    }
    EXPECT_EQ((std::vector<std::string>{"resolution", "exe", "expansion", "existence", "windows-folder",
                                        "product-folder", "exception-folder", "exception-folder!"}),
              steps);
    EXPECT_EQ("application", explained.at(apps_ / L"Chess\\chess.exe")["kind"]);

    const ProcessResult text = Host(L"explain " + Quote(menu_ / L"Notepad.lnk"));
    EXPECT_EQ(0u, text.exitCode) << text.err;
    EXPECT_NE(std::wstring::npos, text.out.find(L"  Windows folder      c:\\windows is in the path\n")) << text.out;
    EXPECT_NE(std::wstring::npos, text.out.find(L"\n  not listed: in the Windows folder (c:\\windows)\n")) << text.out;
}
