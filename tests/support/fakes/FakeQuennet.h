// An in-process stand-in for the logging service, linked into a test in place
// of Quennet.dll's import library: it records every call the facade makes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace FakeQuennet {

struct Message {
    std::wstring module;
    uint32_t level = 0;
    std::wstring sourceFile;
    uint32_t line = 0;
    uint32_t byteCount = 0;
    std::wstring text;
};

// Forgets everything; the service then answers `handle` (0: not running) and
// the configured level `level` for every module.
void Reset(uintptr_t handle = 0x1234, uint32_t level = 2);
const std::vector<Message>& Messages();
std::vector<std::wstring> Texts();
// The module names of the level queries made, in order.
const std::vector<std::wstring>& LevelQueries();

}  // namespace FakeQuennet
