// Registry storage: one object reaches one key, opened in one of four access
// modes, and reads, writes, deletes and lists through it.
//
//   BxCommon::Storage::Registry storage(2);  // 64-bit view
//   storage.OpenForRead(BxCommon::Storage::Key(HKEY_LOCAL_MACHINE, L"Software\\A"), L"");
//   std::wstring text = storage.GetStringValue(L"Name", L"");
//   storage.Close(false);
//
// Every failure is thrown as a pointer to a heap BxCommon::Storage::Exception
// (or RegException for a value); the catcher deletes it. Only the quiet read
// forms turn failures into a default and an error code.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "Common/BxCommon/BxComn_StorageException.h"
#include "Common/BxCommon/BxComn_UniqueResource.h"

namespace BxCommon::Storage {

// A key name: a root and a path below it. The path is borrowed, not copied:
// it must outlive every use of the Key. Either may be null.
class Key {
public:
    Key(HKEY root, const wchar_t* path) noexcept : root_(root), path_(path) {}
    virtual ~Key() = default;

    HKEY GetRoot() const noexcept { return root_; }
    const wchar_t* GetPath() const noexcept { return path_; }

private:
    HKEY root_;
    const wchar_t* path_;
};

// The block that binary values are read into and written from. Filled once,
// by Allocate; frees its block when destroyed.
class ByteBuffer {
public:
    ByteBuffer() noexcept = default;
    ByteBuffer(const ByteBuffer&) = delete;
    ByteBuffer& operator=(const ByteBuffer&) = delete;

    // Fills an empty buffer with size zero bytes and reports 0. On failure
    // the buffer is unchanged and false comes back with the code reported:
    // ERROR_OBJECT_ALREADY_EXISTS (5010) when the buffer is not empty,
    // ERROR_BAD_ARGUMENTS (160) for size 0, ERROR_INVALID_HANDLE (6) when the
    // block cannot be allocated. A code is reported only when errorOut is
    // non-null.
    bool Allocate(const size_t& size, DWORD* errorOut);

    BYTE* GetData() noexcept { return data_.get(); }
    const BYTE* GetData() const noexcept { return data_.get(); }
    ULONGLONG GetSize() const noexcept { return size_; }
    bool IsEmpty() const noexcept { return !data_ && size_ == 0; }

private:
    std::unique_ptr<BYTE[]> data_;
    ULONGLONG size_ = 0;
};

// The storage interface. The declaration order is the virtual slot order;
// keep it. Where a body is given it is the default of a storage that does
// not support the operation.
class Base {
public:
    virtual ~Base() = default;

    virtual bool OpenForRead(const Key& key, const wchar_t* subKey) = 0;
    virtual bool Create(const Key& key, const wchar_t* subKey) = 0;
    virtual bool OpenForWrite(const Key&, const wchar_t*) { return false; }
    virtual bool OpenForEnum(const Key&, const wchar_t*) { return false; }
    virtual bool Close(const bool& flushFirst) = 0;
    virtual bool Flush() = 0;

    virtual bool GetBinaryValue(const std::wstring&, ByteBuffer&, DWORD*) { return false; }
    virtual bool GetBinaryValue(const std::wstring&, ByteBuffer&) { return false; }
    virtual std::wstring GetStringValue(const std::wstring&, const std::wstring& def, DWORD*) { return def; }
    virtual std::wstring GetStringValue(const std::wstring& name, const std::wstring& def) = 0;
    virtual ULONGLONG GetQwordValue(const std::wstring&, const ULONGLONG&, DWORD*) { return 0; }
    virtual ULONGLONG GetQwordValue(const std::wstring&) { return 0; }
    virtual DWORD GetDwordValue(const std::wstring&, const DWORD& def, DWORD*) { return def; }
    virtual DWORD GetDwordValue(const std::wstring& name) = 0;

    virtual bool SetBinaryValue(const std::wstring&, const ByteBuffer&) { return false; }
    virtual bool SetStringValue(const std::wstring& name, const std::wstring& value) = 0;
    virtual bool SetQwordValue(const std::wstring&, const ULONGLONG&) { return false; }
    virtual bool SetDwordValue(const std::wstring& name, const DWORD& value) = 0;

    virtual bool DeleteKey() = 0;
    virtual bool DeleteValue(const wchar_t* name) = 0;
    virtual bool DeleteValue(const std::wstring& name) = 0;

    virtual bool EnumSubKeys(std::vector<std::wstring>&) { return false; }
    virtual bool EnumValueNames(std::vector<std::wstring>&) { return false; }

protected:
    Base() = default;
    Base(const Base&) = default;
    Base& operator=(const Base&) = default;
};

// Registry views (the constructor's argument).
inline constexpr DWORD kView32 = 1;  // adds KEY_WOW64_32KEY to every access
inline constexpr DWORD kView64 = 2;  // adds KEY_WOW64_64KEY
// Any other value: the process's own view.

// The registry storage. Open means both root and handle are set; every
// operation other than opening and GetPath throws Exception(6,
// ERROR_INVALID_HANDLE) on a closed object. Operations that return bool
// return true or throw; they never return false.
class Registry : public Base {
public:
    explicit Registry(const DWORD& view) noexcept;
    // Closes an open key without flushing; a storage exception from closing
    // is deleted here, never passed on.
    ~Registry() override;
    Registry(const Registry&) = delete;
    Registry& operator=(const Registry&) = delete;

    // The four open modes. The key opened is key's path, a "\" unless that
    // path is empty or already ends in one, then subKey (null counts as
    // empty). Access is the mode's rights plus the view's flag:
    //   OpenForRead  KEY_QUERY_VALUE
    //   Create       KEY_QUERY_VALUE | KEY_SET_VALUE | KEY_CREATE_SUB_KEY;
    //                creates a missing key with the registry-key descriptor
    //                of SecurityAttributes
    //   OpenForWrite DELETE | KEY_SET_VALUE
    //   OpenForEnum  KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS
    // Throws Exception: ERROR_BAD_ARGUMENTS (160) when key's root is null,
    // else the registry's result (2 for a missing key). On failure the
    // object is unchanged: still open on its earlier key if it was open.
    // On success a key held before is closed.
    bool OpenForRead(const Key& key, const wchar_t* subKey) override;
    bool Create(const Key& key, const wchar_t* subKey) override;
    bool OpenForWrite(const Key& key, const wchar_t* subKey) override;
    bool OpenForEnum(const Key& key, const wchar_t* subKey) override;

    // Flushes first when asked; a failed flush or close throws and leaves
    // the key open. Afterwards the object is closed and may be opened again.
    bool Close(const bool& flushFirst) override;
    bool Flush() override;

    // Value reads are strict: a value comes back only when the registry
    // holds it with exactly the expected type (and size for numbers).
    // Failures throw RegException (key path and value name) with the
    // registry's result or ERROR_INVALID_DATA (13) for a wrong type or size.
    //
    // REG_BINARY only. A zero-length value leaves out untouched. out must be
    // empty: otherwise 5010 and out is unchanged.
    bool GetBinaryValue(const std::wstring& name, ByteBuffer& out) override;
    // REG_SZ, REG_EXPAND_SZ (not expanded) or REG_MULTI_SZ (its first
    // string); the text up to the first zero character, terminated or not.
    std::wstring GetStringValue(const std::wstring& name, const std::wstring& def) override;
    // REG_QWORD of 8 bytes.
    ULONGLONG GetQwordValue(const std::wstring& name) override;
    // REG_DWORD of 4 bytes; a longer value gives ERROR_MORE_DATA (234).
    DWORD GetDwordValue(const std::wstring& name) override;

    // Quiet reads: run the throwing form above (through the virtual table)
    // and turn a storage exception into the default (false for binary),
    // storing its code in *errorOut when errorOut is non-null. On success
    // *errorOut is not touched. Other exceptions pass through.
    bool GetBinaryValue(const std::wstring& name, ByteBuffer& out, DWORD* errorOut) override;
    std::wstring GetStringValue(const std::wstring& name, const std::wstring& def, DWORD* errorOut) override;
    ULONGLONG GetQwordValue(const std::wstring& name, const ULONGLONG& def, DWORD* errorOut) override;
    DWORD GetDwordValue(const std::wstring& name, const DWORD& def, DWORD* errorOut) override;

    // Writes; a failure throws RegException with the registry's result.
    // Binary: the buffer's bytes (none for an empty buffer). String: always
    // REG_SZ of (length + 1) characters; characters after an embedded zero
    // are written as zeros.
    bool SetBinaryValue(const std::wstring& name, const ByteBuffer& data) override;
    bool SetStringValue(const std::wstring& name, const std::wstring& value) override;
    bool SetQwordValue(const std::wstring& name, const ULONGLONG& value) override;
    bool SetDwordValue(const std::wstring& name, const DWORD& value) override;

    // Deletes the open key itself (it must have no subkeys). The object stays
    // open on the deleted key until Close.
    bool DeleteKey() override;
    // Null stands for the empty name, the key's default value. Failures throw
    // plain Exception with the registry's result.
    bool DeleteValue(const wchar_t* name) override;
    bool DeleteValue(const std::wstring& name) override;

    // Append every name, in the registry's order, to names without clearing
    // it. A name of 255 characters or more throws ERROR_MORE_DATA (234); the
    // names before it stay appended.
    bool EnumSubKeys(std::vector<std::wstring>& names) override;
    bool EnumValueNames(std::vector<std::wstring>& names) override;

    // The path the open key was opened with (empty when closed).
    std::wstring GetPath() const;

protected:
    // The open key's handle, null when closed. For derived storages and
    // tests; the object keeps ownership.
    HKEY GetHandle() const noexcept { return handle_.Get(); }

private:
    bool IsOpen() const noexcept { return root_ != nullptr && handle_; }
    bool Open(const Key& key, const wchar_t* subKey, REGSAM rights, bool create);
    // A number read strictly: exactly `expectedType` and sizeof(Number) bytes.
    template <typename Number>
    Number ReadNumber(const std::wstring& name, DWORD expectedType);
    // The value's data in two passes (size, then data) into a zeroed block
    // of `size` + `spare` bytes; both passes must see a type that `accepted`
    // takes and the same size.
    std::unique_ptr<BYTE[]> ReadBlock(const std::wstring& name, bool (*accepted)(DWORD), size_t spare, DWORD& size);
    bool WriteValue(const std::wstring& name, DWORD type, const BYTE* data, DWORD size);

    HKEY root_ = nullptr;
    UniqueHKey handle_;
    std::wstring path_;
    DWORD view_;
};

}  // namespace BxCommon::Storage
