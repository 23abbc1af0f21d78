#include <cerrno>
#include <cwchar>
#include <memory>

#include "Common/BxCommon/BxComn_String.h"

namespace BxCommon::String {

bool FormatV(std::wstring& out, size_t& size, const wchar_t* format, va_list args) {
    out.clear();
    if (format == nullptr || size == 0 || size > kMaxFormatSize) return false;

    std::unique_ptr<wchar_t[]> buffer(new wchar_t[size]());
    errno = 0;
    int written = _vsnwprintf_s(buffer.get(), size, _TRUNCATE, format, args);
    if (written >= 0) {
        out.assign(buffer.get(), static_cast<size_t>(written));
        return true;
    }
    // The runtime answers -1 both for a text that does not fit and for a
    // format it refuses; only the first fills the buffer to its last
    // character without flagging an invalid argument. Anything else would
    // fail again at every size.
    bool truncated = errno != EINVAL && wcsnlen(buffer.get(), size) == size - 1;
    if (truncated && size + kFormatStep <= kMaxFormatSize) size += kFormatStep;
    return false;
}

bool FormatList(std::wstring& out, const wchar_t* format, va_list args) {
    out.clear();
    size_t size = kFormatStep;
    for (;;) {
        const size_t attempted = size;
        // Every attempt formats from the start of the arguments.
        va_list attempt;
        va_copy(attempt, args);
        const bool done = FormatV(out, size, format, attempt);
        va_end(attempt);
        if (done) return true;
        if (size == attempted) return false;
    }
}

bool Format(std::wstring& out, const wchar_t* format, ...) {
    va_list args;
    va_start(args, format);
    const bool done = FormatList(out, format, args);
    va_end(args);
    return done;
}

}  // namespace BxCommon::String
