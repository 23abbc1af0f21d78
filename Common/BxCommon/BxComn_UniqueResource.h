// One owner for every Windows resource: move-only, releases exactly once.
//
//   BxCommon::UniqueHandle process(OpenProcess(...));
//   if (!process) ...;
#pragma once

#include <windows.h>

#include <utility>

namespace BxCommon {

template <typename Traits>
class UniqueResource {
public:
    using Type = typename Traits::Type;

    UniqueResource() noexcept : value_(Traits::Invalid()) {}
    explicit UniqueResource(Type value) noexcept : value_(value) {}
    ~UniqueResource() { Reset(); }

    UniqueResource(UniqueResource&& other) noexcept : value_(other.Release()) {}
    UniqueResource& operator=(UniqueResource&& other) noexcept {
        if (this != &other) Reset(other.Release());
        return *this;
    }
    UniqueResource(const UniqueResource&) = delete;
    UniqueResource& operator=(const UniqueResource&) = delete;

    Type Get() const noexcept { return value_; }
    explicit operator bool() const noexcept { return value_ != Traits::Invalid(); }

    // For out-parameters: releases what is held and hands out the slot.
    Type* Put() noexcept {
        Reset();
        return &value_;
    }
    Type Release() noexcept { return std::exchange(value_, Traits::Invalid()); }
    void Reset(Type value = Traits::Invalid()) noexcept {
        Type old = std::exchange(value_, value);
        if (old != Traits::Invalid()) Traits::Close(old);
    }

private:
    Type value_;
};

struct KernelHandleTraits {
    using Type = HANDLE;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type handle) noexcept { ::CloseHandle(handle); }
};

struct FindHandleTraits {
    using Type = HANDLE;
    static Type Invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void Close(Type handle) noexcept { ::FindClose(handle); }
};

// CreateFileW answers INVALID_HANDLE_VALUE, not null, when it fails.
struct FileHandleTraits {
    using Type = HANDLE;
    static Type Invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void Close(Type handle) noexcept { ::CloseHandle(handle); }
};

struct RegistryKeyTraits {
    using Type = HKEY;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type key) noexcept { ::RegCloseKey(key); }
};

struct ModuleTraits {
    using Type = HMODULE;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type module) noexcept { ::FreeLibrary(module); }
};

// Handles that are null when they fail (processes, events, threads).
using UniqueHandle = UniqueResource<KernelHandleTraits>;
// Files and folders opened with CreateFileW.
using UniqueFileHandle = UniqueResource<FileHandleTraits>;
// FindFirstFileW listings, INVALID_HANDLE_VALUE when they fail.
using UniqueFindHandle = UniqueResource<FindHandleTraits>;
// Libraries loaded with LoadLibraryW.
using UniqueHModule = UniqueResource<ModuleTraits>;
// Open registry keys (RegOpenKeyExW, RegCreateKeyExW); linking needs advapi32.
using UniqueHKey = UniqueResource<RegistryKeyTraits>;

}  // namespace BxCommon
