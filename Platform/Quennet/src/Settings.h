// The configured level of each module: read once when the service starts and
// never changed afterwards, so Log_GetLogLevel reads it without a lock.
#pragma once

#include <stdint.h>

#include <string>
#include <string_view>
#include <vector>

namespace Quennet {

class LevelTable {
public:
    // The level of modules that neither the settings file nor the
    // environment names: failures only.
    static constexpr uint32_t DefaultLevel = 5;

    // Applies the lines of a settings file: `Module=Level` or `*=Level`;
    // `;` and `#` start a comment; blanks around names and values are
    // ignored; malformed lines are skipped. A later line wins over an earlier one.
    void ApplySettings(std::wstring_view text);

    // Applies the environment override over what is there: a bare number sets
    // every module (earlier entries are dropped); otherwise a comma-separated
    // list of `Module=Level` / `*=Level`, malformed items skipped.
    void ApplyOverride(std::wstring_view text);

    // The level of `module` (not null), names compared without regard to case.
    uint32_t LevelOf(const wchar_t* module) const noexcept;

private:
    // False when the entry is malformed; the table is then unchanged.
    bool ApplyEntry(std::wstring_view entry);

    struct Entry {
        std::wstring name;
        uint32_t level;
    };
    std::vector<Entry> entries_;
    uint32_t default_ = DefaultLevel;
};

// Builds the table from `<folder>\Quennet.ini` (UTF-8, or UTF-16 with its
// byte-order mark; a missing or unreadable file, or one over 1 MB, counts as
// empty) and then the environment variable QUENNET_LOG_LEVEL.
LevelTable LoadLevels(const std::wstring& folder);

}  // namespace Quennet
