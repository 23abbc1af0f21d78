// A trace's own copy of a string, held inline for ordinary lengths so that a
// trace costs no heap allocation and cannot throw.
#pragma once

#include <cstddef>
#include <memory>

namespace Tavrel::Log {

class TraceText {
public:
    // Copies `text` (null copies as empty). A text too long for the inline
    // room goes to the heap; if even that fails, the copy refers to `text`
    // itself, which callers give as a literal that outlives the copy.
    explicit TraceText(const wchar_t* text) noexcept;
    TraceText(const TraceText&) = delete;
    TraceText& operator=(const TraceText&) = delete;

    const wchar_t* c_str() const noexcept { return text_; }

private:
    // Room for every function name and source path of this module.
    static constexpr size_t kInlineLength = 80;

    wchar_t inline_[kInlineLength + 1];
    std::unique_ptr<wchar_t[]> heap_;
    const wchar_t* text_;
};

}  // namespace Tavrel::Log
