#include "tavrel-host/Explanation.h"

#include <algorithm>

#include "tavrel-host/Console.h"

namespace TavrelHost {
namespace {

using nlohmann::ordered_json;
using ParentControl::ExceptionCheck;
using ParentControl::ExceptionOutcome;
using ParentControl::FilterReport;
using ParentControl::FilterRule;
using Tavrel::StartMenu::AppExamination;
using Tavrel::StartMenu::AppOutcome;

constexpr size_t kLabelWidth = 20;

std::wstring Quoted(const std::wstring& text) { return L"\"" + text + L"\""; }

std::wstring InPath(const std::wstring& folder, bool inPath) {
    return folder + (inPath ? L" is in the path" : L" is not in the path");
}

class StepWriter {
public:
    explicit StepWriter(std::vector<ExplainedStep>& steps) : steps_(steps) {}

    ordered_json& Add(std::string name, std::wstring label, std::wstring result, bool dropped = false) {
        steps_.push_back({std::move(name), std::move(label), std::move(result), dropped, ordered_json::object()});
        return steps_.back().details;
    }

private:
    std::vector<ExplainedStep>& steps_;
};

void AddTargetSteps(StepWriter& steps, const AppExamination& examination) {
    const bool notExecutable = examination.outcome == AppOutcome::kNotExecutable;
    steps.Add("exe", L".exe test", notExecutable ? L"no \".exe\" in the target" : L"passed", notExecutable)["target"] =
        ToUtf8(examination.target);
    if (notExecutable) return;
    steps.Add("expansion", L"expansion",
              examination.expanded.empty() ? L"(nothing)" : examination.expanded)["expanded"] =
        ToUtf8(examination.expanded);
    const bool missing = examination.outcome == AppOutcome::kTargetMissing;
    steps.Add("existence", L"existence", missing ? L"does not exist" : L"exists", missing)["exists"] = !missing;
}

void AddWindowsFolderStep(StepWriter& steps, const FilterReport& filter) {
    const bool inPath = filter.decidedBy == FilterRule::kWindowsFolder;
    const std::wstring result =
        filter.windowsFolder.empty() ? L"unknown, and so in every path" : InPath(filter.windowsFolder, inPath);
    ordered_json& details = steps.Add("windows-folder", L"Windows folder", result, inPath);
    details["folder"] = ToUtf8(filter.windowsFolder);
    details["inPath"] = inPath;
}

void AddProductFolderStep(StepWriter& steps, const FilterReport& filter) {
    const bool inPath = filter.decidedBy == FilterRule::kProductFolder;
    std::wstring result;
    if (!filter.productFolderTested) {
        result = L"ProductPath is longer than MAX_PATH: not tested";
    } else if (filter.installedFolder.empty()) {
        result = L"ProductPath is missing or empty, and so every path is left out";
    } else {
        result =
            InPath(filter.productParent, inPath) + L" (it holds ProductPath " + Quoted(filter.installedFolder) + L")";
    }
    ordered_json& details = steps.Add("product-folder", L"product's folder", result, inPath);
    details["productPath"] = ToUtf8(filter.installedFolder);
    details["folder"] = ToUtf8(filter.productParent);
    details["tested"] = filter.productFolderTested;
    details["inPath"] = inPath;
}

std::wstring ExceptionResult(const ExceptionCheck& check) {
    switch (check.outcome) {
        case ExceptionOutcome::kUnreadable:
            return L"not a string value (error " + std::to_wstring(check.readError) + L"): skipped";
        case ExceptionOutcome::kEmptyValue:
            return L"empty value: skipped";
        case ExceptionOutcome::kUndecryptable:
            return L"cannot be decrypted: skipped";
        case ExceptionOutcome::kEmptyFolder:
            return L"decrypts to empty text: skipped";
        case ExceptionOutcome::kNotInPath:
        case ExceptionOutcome::kInPath:
            break;
    }
    return InPath(check.folder, check.outcome == ExceptionOutcome::kInPath);
}

void AddExceptionSteps(StepWriter& steps, const FilterReport& filter) {
    if (filter.exceptionKeyError != ERROR_SUCCESS) {
        steps.Add("exception-key", L"exception folders",
                  L"the key cannot be read whole (error " + std::to_wstring(filter.exceptionKeyError) + L")")["error"] =
            filter.exceptionKeyError;
    } else if (filter.exceptions.empty()) {
        steps.Add("exception-key", L"exception folders", L"none stored")["error"] = 0;
    }
    for (const ExceptionCheck& check : filter.exceptions) {
        const bool inPath = check.outcome == ExceptionOutcome::kInPath;
        ordered_json& details =
            steps.Add("exception-folder", L"exception " + Quoted(check.valueName), ExceptionResult(check), inPath);
        details["valueName"] = ToUtf8(check.valueName);
        details["folder"] = ToUtf8(check.folder);
        details["inPath"] = inPath;
    }
}

void AddFilterSteps(StepWriter& steps, const FilterReport& filter) {
    AddWindowsFolderStep(steps, filter);
    if (filter.decidedBy == FilterRule::kWindowsFolder) return;
    AddProductFolderStep(steps, filter);
    if (filter.decidedBy == FilterRule::kProductFolder) return;
    AddExceptionSteps(steps, filter);
}

std::wstring FilterReason(const FilterReport& filter) {
    switch (filter.decidedBy) {
        case FilterRule::kWindowsFolder:
            return filter.windowsFolder.empty() ? L"the Windows folder is unknown, and so every application is left out"
                                                : L"in the Windows folder (" + filter.windowsFolder + L")";
        case FilterRule::kProductFolder:
            return filter.installedFolder.empty()
                       ? L"ProductPath is missing or empty, and so every application is left out"
                       : L"in the folder that holds the product's installation folder (" + filter.productParent + L")";
        case FilterRule::kExceptionFolder:
            return L"in the exception folder " + filter.exceptions.back().folder + L" (value " +
                   Quoted(filter.exceptions.back().valueName) + L")";
        case FilterRule::kNone:
            break;
    }
    return {};
}

std::wstring Reason(bool isShortcut, const AppExamination& examination) {
    switch (examination.outcome) {
        case AppOutcome::kNotExecutable:
            return isShortcut && !examination.resolved ? L"not a shortcut that resolves"
                                                       : L"the target is not an application (no \".exe\" in it)";
        case AppOutcome::kTargetMissing:
            return examination.expanded.empty() ? L"the target expands to nothing"
                                                : L"the target does not exist (" + examination.expanded + L")";
        case AppOutcome::kFiltered:
            return FilterReason(examination.filter);
        case AppOutcome::kListed:
            break;
    }
    return {};
}

std::wstring Verdict(const Explanation& explanation) {
    return explanation.listed ? L"listed" : L"not listed: " + explanation.reason;
}

}  // namespace

Explanation Explain(const std::wstring& path, bool isShortcut, const AppExamination& examination) {
    Explanation explanation{path, isShortcut, {}, examination.outcome == AppOutcome::kListed, {}};
    StepWriter steps(explanation.steps);
    if (isShortcut) {
        ordered_json& details = steps.Add(
            "resolution", L"shortcut",
            examination.resolved ? L"resolves to " + examination.target + L" (" + Quoted(examination.description) + L")"
                                 : L"does not resolve (not a shortcut, or a damaged one)");
        details["resolved"] = examination.resolved;
        details["target"] = ToUtf8(examination.target);
        details["description"] = ToUtf8(examination.description);
    }
    AddTargetSteps(steps, examination);
    if (examination.outcome == AppOutcome::kFiltered || examination.outcome == AppOutcome::kListed) {
        AddFilterSteps(steps, examination.filter);
    }
    explanation.reason = Reason(isShortcut, examination);
    return explanation;
}

std::wstring ExplanationText(const Explanation& explanation) {
    std::wstring text = explanation.path + (explanation.isShortcut ? L"  (shortcut)\n" : L"  (application)\n");
    for (const ExplainedStep& step : explanation.steps) {
        std::wstring label = step.label;
        label.resize(std::max(label.size() + 1, kLabelWidth), L' ');
        text += L"  " + label + step.result + L"\n";
    }
    return text + L"  " + Verdict(explanation) + L"\n";
}

std::wstring ExplanationJson(const Explanation& explanation) {
    ordered_json object;
    object["path"] = ToUtf8(explanation.path);
    object["kind"] = explanation.isShortcut ? "shortcut" : "application";
    object["steps"] = ordered_json::array();
    for (const ExplainedStep& step : explanation.steps) {
        ordered_json entry = {{"step", step.name}, {"result", ToUtf8(step.result)}, {"dropped", step.dropped}};
        entry.update(step.details);
        object["steps"].push_back(std::move(entry));
    }
    object["listed"] = explanation.listed;
    object["verdict"] = ToUtf8(Verdict(explanation));
    // Replaced, not thrown: a path from the file system may hold a lone surrogate.
    return FromUtf8(object.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace));
}

}  // namespace TavrelHost
