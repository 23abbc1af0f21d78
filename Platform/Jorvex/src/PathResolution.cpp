#include "PathResolution.h"

#include <algorithm>
#include <utility>

namespace Jorvex {

namespace {

Json Wrap(const PathStep& step, Json&& inner) {
    Json container = step.isIndex ? Json::array() : Json::object();
    if (step.isIndex) {
        container.push_back(std::move(inner));
    } else {
        container.emplace(*step.key, std::move(inner));
    }
    return container;
}

}  // namespace

const Json* Find(const Json& root, const std::vector<PathStep>& steps) {
    const Json* current = &root;
    for (const PathStep& step : steps) {
        if (step.isIndex) {
            if (!current->is_array() || step.index >= current->size()) {
                return nullptr;
            }
            current = &(*current)[step.index];
        } else {
            if (!current->is_object()) {
                return nullptr;
            }
            auto found = current->find(*step.key);
            if (found == current->end()) {
                return nullptr;
            }
            current = &*found;
        }
    }
    return current;
}

JorvexStatus Place(Json& root, const std::vector<PathStep>& steps, Json&& value) {
    if (steps.size() + NestingDepth(value) > JORVEX_MAX_DEPTH) {
        return JORVEX_E_TOO_DEEP;
    }
    // Walk the part of the path that exists; stop at the first step to create.
    Json* current = &root;
    size_t reached = 0;
    for (; reached < steps.size() && !current->is_null(); ++reached) {
        const PathStep& step = steps[reached];
        if (step.isIndex) {
            if (!current->is_array()) {
                return JORVEX_E_WRONG_TYPE;
            }
            if (step.index > current->size()) {
                return JORVEX_E_OUT_OF_RANGE;
            }
            if (step.index == current->size()) {
                break;
            }
            current = &(*current)[step.index];
        } else {
            if (!current->is_object()) {
                return JORVEX_E_WRONG_TYPE;
            }
            auto found = current->find(*step.key);
            if (found == current->end()) {
                break;
            }
            current = &*found;
        }
    }
    if (reached == steps.size()) {
        *current = std::move(value);
        return JORVEX_OK;
    }
    // Every container below `current` is new, hence empty: only index 0 fits.
    const bool startsNew = current->is_null();
    for (size_t i = startsNew ? reached : reached + 1; i < steps.size(); ++i) {
        if (steps[i].isIndex && steps[i].index != 0) {
            return JORVEX_E_OUT_OF_RANGE;
        }
    }
    // Build the missing part apart and attach it with one insertion, so an
    // allocation failure cannot leave half a path behind.
    Json tail = std::move(value);
    for (size_t i = steps.size(); i-- > reached + 1;) {
        tail = Wrap(steps[i], std::move(tail));
    }
    const PathStep& first = steps[reached];
    if (startsNew) {
        *current = Wrap(first, std::move(tail));
    } else if (first.isIndex) {
        current->push_back(std::move(tail));
    } else {
        current->emplace(*first.key, std::move(tail));
    }
    return JORVEX_OK;
}

size_t NestingDepth(const Json& value) {
    if (!value.is_structured()) {
        return 0;
    }
    // Iterative, so a deep value cannot exhaust the stack.
    size_t deepest = 0;
    std::vector<std::pair<const Json*, size_t>> pending{{&value, 1}};
    while (!pending.empty()) {
        const auto [node, depth] = pending.back();
        pending.pop_back();
        deepest = std::max(deepest, depth);
        for (const Json& child : *node) {
            if (child.is_structured()) {
                pending.emplace_back(&child, depth + 1);
            }
        }
    }
    return deepest;
}

}  // namespace Jorvex
