// Why a file is or is not in the application list: the steps that the list
// applies to it, each with its result, as people read them and as JSON.
#pragma once

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "Tavrel/StartMenu/AppExamination.h"

namespace TavrelHost {

struct ExplainedStep {
    std::string name;      // the JSON "step"
    std::wstring label;    // the step as people read it
    std::wstring result;   // what it found
    bool dropped = false;  // this step leaves the application out
    nlohmann::ordered_json details = nlohmann::ordered_json::object();
};

struct Explanation {
    std::wstring path;
    bool isShortcut = false;  // else an application path, examined from the ".exe" test on
    std::vector<ExplainedStep> steps;
    bool listed = false;
    std::wstring reason;  // why not, when not listed
};

Explanation Explain(const std::wstring& path, bool isShortcut, const Tavrel::StartMenu::AppExamination& examination);

std::wstring ExplanationText(const Explanation& explanation);
// One line of JSON.
std::wstring ExplanationJson(const Explanation& explanation);

}  // namespace TavrelHost
