// Formatting that never cuts its text; the runtime's conversions themselves
// are checked with the debug line that uses them.
#include <gtest/gtest.h>

#include "Common/BxCommon/BxComn_String.h"

using BxCommon::String::Format;
using BxCommon::String::FormatV;
using BxCommon::String::kMaxFormatSize;

// 255 characters and the terminator fill the first buffer of 256 exactly;
// longer texts take more attempts. An invalid format fails at once, without
// growing; so does a text beyond the bound, which is refused rather than cut.
TEST(StringFormat, TextsComeOutWholeOrNotAtAll) {
    for (size_t length : {0u, 255u, 256u, 511u, 512u, 5000u}) {
        const std::wstring text(length, L'x');
        std::wstring out = L"previous";
        EXPECT_TRUE(Format(out, L"%s", text.c_str())) << length;
        EXPECT_EQ(text, out) << length;
    }
    std::wstring out = L"previous";
    EXPECT_FALSE(Format(out, L"abc%"));
    EXPECT_EQ(L"", out);
    EXPECT_FALSE(Format(out, nullptr));
    va_list none{};
    size_t size = 256;
    EXPECT_FALSE(FormatV(out, size, L"%y", none));
    EXPECT_EQ(256u, size);
    const std::wstring huge(kMaxFormatSize, L'x');
    size = kMaxFormatSize;
    out = L"previous";
    EXPECT_FALSE(FormatV(out, size, huge.c_str(), none));
    EXPECT_EQ(kMaxFormatSize, size);
    EXPECT_EQ(L"", out);
}
