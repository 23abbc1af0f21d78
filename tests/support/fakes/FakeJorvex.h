// An in-process stand-in for the JSON library, linked into a test in place of
// Jorvex.dll's import library: it records every call and answers as scripted.
// Handles it hands out carry a fresh id in their second word.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "Platform/Jorvex/include/Jorvex/JsonValue.h"

namespace FakeJorvex {

struct Call {
    std::string function;   // e.g. "GetAtKey"
    uint64_t handleId = 0;  // second word of the handle the call worked on
    std::wstring text;      // key, string put, or Reader text
    uint32_t number = 0;    // index, number put, or the length passed in
    uint64_t outId = 0;     // id of the handle written out, if any
};

void Reset();
// The next call of `function` answers `status` (and writes nothing out).
void FailNext(const std::string& function, int32_t status);
// GetString answers this text for every value.
void SetString(const std::wstring& text);
// GetUInt on a view looked up by `key` answers value; other reads fail.
void SetUInt(const std::wstring& key, uint32_t value);
// GetAtKey with `key` calls `raise`, which throws; by default
// std::runtime_error("injected failure").
void ThrowOnKey(const std::wstring& key, std::function<void()> raise = {});

const std::vector<Call>& Calls();
int CountOf(const std::string& function);
// Ids of handles that Create or Share handed out successfully.
std::vector<uint64_t> OwnedIds();
std::vector<uint64_t> DestroyedIds();

uint64_t IdOf(const JsonHandle& handle);
JsonHandle MakeHandle(uint64_t id);

}  // namespace FakeJorvex
