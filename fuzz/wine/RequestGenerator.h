// Hostile requests and responses for Interface_FastCall_CallFunc, as JSON
// text. The same seed gives the same cases. Every stop-list pid is one that
// no process can have: 0, an integer that is no multiple of 4 (Windows
// hands out multiples of 4), or a value the module cannot read as a 32-bit
// unsigned number (negative, fractional, too large, not a number), which it
// then takes as 0. About 1% of the requests run task 1: a Start Menu scan
// costs some 25 ms under Wine, a stop request a tenth of a millisecond.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>

#include "Rng.h"

namespace WineFuzz {

struct CallCase {
    std::wstring request;
    std::wstring response;
};

class RequestGenerator {
public:
    explicit RequestGenerator(uint64_t seed) : rng_(seed) {}
    CallCase Next();

private:
    std::wstring Request();
    std::wstring TaskId();
    std::wstring TaskParam();
    std::wstring StopList();
    std::wstring StopItem();
    std::wstring Pid();
    std::wstring Path();
    std::wstring Response();
    // Members in the order given, each kept with probability perMille, plus
    // now and then a random member.
    std::wstring Object(std::initializer_list<std::pair<std::wstring, std::wstring>> members, unsigned perMille);
    // Cuts the text short or slips a stray character in.
    std::wstring Malformed(const std::wstring& text);

    Rng rng_;
};

}  // namespace WineFuzz
