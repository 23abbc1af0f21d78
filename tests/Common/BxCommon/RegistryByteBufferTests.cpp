// ByteBuffer: filled once, by Allocate, and every refusal leaves it as it was.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>

#include "Common/BxCommon/BxComn_Registry.h"

using BxCommon::Storage::ByteBuffer;

namespace {

TEST(ByteBuffer, AllocateFillsAnEmptyBufferWithZeros) {
    ByteBuffer buffer;
    EXPECT_TRUE(buffer.IsEmpty());
    EXPECT_EQ(nullptr, buffer.GetData());
    DWORD error = 0xDEAD;
    ASSERT_TRUE(buffer.Allocate(16, &error));
    EXPECT_EQ(0u, error);
    ASSERT_NE(nullptr, buffer.GetData());
    EXPECT_EQ(16u, buffer.GetSize());
    for (int i = 0; i < 16; ++i) EXPECT_EQ(0, buffer.GetData()[i]) << i;
}

TEST(ByteBuffer, RefusalsReportTheirCodeAndChangeNothing) {
    ByteBuffer buffer;
    DWORD error = 0;
    EXPECT_FALSE(buffer.Allocate(0, &error));
    EXPECT_EQ(static_cast<DWORD>(ERROR_BAD_ARGUMENTS), error);
    EXPECT_TRUE(buffer.IsEmpty());

    // More than the address space can give: new yields nothing.
    EXPECT_FALSE(buffer.Allocate(SIZE_MAX / 2, &error));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), error);
    EXPECT_TRUE(buffer.IsEmpty());

    ASSERT_TRUE(buffer.Allocate(4, &error));
    buffer.GetData()[0] = 0x11;
    const BYTE* block = buffer.GetData();
    EXPECT_FALSE(buffer.Allocate(4, &error));
    EXPECT_EQ(static_cast<DWORD>(ERROR_OBJECT_ALREADY_EXISTS), error);
    EXPECT_EQ(block, buffer.GetData());
    EXPECT_EQ(4u, buffer.GetSize());
    EXPECT_EQ(0x11, buffer.GetData()[0]);

    // Without an error place only the result tells.
    ByteBuffer quiet;
    EXPECT_FALSE(quiet.Allocate(0, nullptr));
    EXPECT_FALSE(quiet.Allocate(SIZE_MAX / 2, nullptr));
    EXPECT_TRUE(quiet.Allocate(1, nullptr));
    EXPECT_FALSE(quiet.Allocate(1, nullptr));
}

}  // namespace
