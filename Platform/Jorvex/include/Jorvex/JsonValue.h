// Jorvex: the suite's JSON value library (our stand-in).
//
// Values live inside the library and are reached through JsonHandle, three
// opaque 64-bit words that callers copy freely. A handle from CreateJsonHandle
// or ShareJsonHandle owns a reference to its value tree and must be released
// with DestroyJsonHandle. A handle from GetAtKey / GetAtIndex is a view into a
// tree: it is never released and stays usable while any owning handle of that
// tree lives.
//
// Every function answers a handle it does not know (the default value, zeros,
// garbage, a released handle) with a negative status and touches no memory
// other than its own out-parameters, which it leaves unwritten on failure
// unless stated otherwise. Statuses: 0 or more is success, negative failure.
// All strings are NUL-terminated UTF-16; an unpaired surrogate in text given
// to the library is stored as U+FFFD. All functions are thread-safe.
//
// No tree nests deeper than JORVEX_MAX_DEPTH containers: a put, Reader or view
// lookup that would go deeper fails with JORVEX_E_TOO_DEEP and changes nothing.
#pragma once

#include <stdint.h>
#include <wchar.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(JORVEX_BUILDING)
#define JORVEX_API __declspec(dllexport)
#else
#define JORVEX_API
#endif
#define JORVEX_CALL __stdcall

typedef struct JsonHandle {
    uint64_t Words[3];
} JsonHandle;

// The value a handle holds before the library fills it in.
#define JSON_HANDLE_DEFAULT_INIT \
    {                            \
        { 1, 0, 0 }              \
    }

typedef int32_t JorvexStatus;

#define JORVEX_OK 0
#define JORVEX_E_BAD_HANDLE (-1)        // unknown, released or malformed handle
#define JORVEX_E_BAD_ARGUMENT (-2)      // null pointer where one is required
#define JORVEX_E_NOT_FOUND (-3)         // the member or element does not exist
#define JORVEX_E_WRONG_TYPE (-4)        // the value is not of the kind asked for
#define JORVEX_E_OUT_OF_RANGE (-5)      // number or index out of range
#define JORVEX_E_BUFFER_TOO_SMALL (-6)  // capacity below length + 1
#define JORVEX_E_PARSE (-7)             // malformed JSON text
#define JORVEX_E_TOO_DEEP (-8)          // nesting deeper than JORVEX_MAX_DEPTH
#define JORVEX_E_NO_MEMORY (-9)
#define JORVEX_E_INTERNAL (-10)

#define JORVEX_MAX_DEPTH 256

// A new, empty (null) value. Member puts turn it into an object, Reader sets it.
JORVEX_API JorvexStatus JORVEX_CALL VESK_PA_JsonValue_CreateJsonHandle(JsonHandle* out);

// A new owning handle that designates the same value as source (which may be
// an owning handle or a view): writes through one are seen through the other.
JORVEX_API JorvexStatus JORVEX_CALL VESK_PA_JsonValue_ShareJsonHandle(JsonHandle source, JsonHandle* out);

// Releases an owning handle and sets *handle to JSON_HANDLE_DEFAULT_INIT; the
// tree is freed with its last owning handle. Views and unknown handles are
// refused (negative status), nothing is freed and *handle is left as it was.
JORVEX_API JorvexStatus JORVEX_CALL VESK_PA_JsonValue_DestroyJsonHandle(JsonHandle* handle);

// A view of the member `key` of the object designated by `object`. Whenever
// `object` is a live handle, *out is written, even when the member does not
// exist (status JORVEX_E_NOT_FOUND): a later put through that view, or through
// an element view made from it, creates the member (turning a null parent into
// an object). Gets through a view of a missing value fail. A value that is
// neither an object nor null fails with JORVEX_E_WRONG_TYPE and *out is not
// written.
JORVEX_API JorvexStatus JORVEX_CALL VESK_PA_JsonValue_GetAtKey(JsonHandle object, JsonHandle* out, const wchar_t* key);

// As GetAtKey for element `index`. A put through the element whose index
// equals the array's size appends; on a missing or null value a put through
// index 0 creates an array of one element; a put beyond the size fails with
// JORVEX_E_OUT_OF_RANGE. A value that is neither an array nor null fails with
// JORVEX_E_WRONG_TYPE and *out is not written.
JORVEX_API JorvexStatus JORVEX_CALL VESK_PA_JsonValue_GetAtIndex(JsonHandle array, JsonHandle* out, uint32_t index);

// The number of elements of an array; 0 for anything else, including a
// missing value or a bad handle.
JORVEX_API uint32_t JORVEX_CALL VESK_PA_JsonValue_GetSize(JsonHandle array);

// Reads a non-negative integer that fits 32 bits. A number written with a
// fraction part of zero (3.0, 1e2) counts as that integer. Negatives, fractions,
// larger values and non-numbers fail and leave *out unwritten.
JORVEX_API JorvexStatus JORVEX_CALL VESK_PA_JsonValue_GetUInt(JsonHandle value, uint32_t* out);

// Two-call convention: with buffer null, *length receives the string's length
// in UTF-16 units without terminator. With a buffer, *length is its capacity
// in UTF-16 units; the string and its terminator are written when they fit,
// otherwise JORVEX_E_BUFFER_TOO_SMALL, the buffer is untouched and *length
// receives the length needed without terminator. On success *length is the
// length written without terminator. A null length is JORVEX_E_BAD_ARGUMENT.
JORVEX_API JorvexStatus JORVEX_CALL VESK_PA_JsonValue_GetString(JsonHandle value, wchar_t* buffer, uint32_t* length);

JORVEX_API JorvexStatus JORVEX_CALL VESK_PA_JsonValue_PutUInt(JsonHandle value, uint32_t number);
JORVEX_API JorvexStatus JORVEX_CALL VESK_PA_JsonValue_PutString(JsonHandle value, const wchar_t* text);
JORVEX_API JorvexStatus JORVEX_CALL VESK_PA_JsonValue_PutBool(JsonHandle value, uint8_t flag);

// target becomes a deep copy of source's value; releasing source later does
// not affect it.
JORVEX_API JorvexStatus JORVEX_CALL VESK_PA_JsonValue_PutJsonHandle(JsonHandle target, JsonHandle source);

// Sets the value from JSON text. Malformed text (JORVEX_E_PARSE), nesting
// deeper than JORVEX_MAX_DEPTH counted from the tree's root (JORVEX_E_TOO_DEEP)
// and numbers out of range such as 1e400 (JORVEX_E_OUT_OF_RANGE) fail and leave
// the value as it was. Unpaired surrogates in the text read as U+FFFD; an
// escaped one (\ud800 alone) is malformed.
JORVEX_API JorvexStatus JORVEX_CALL VESK_PA_JsonValue_Reader(JsonHandle value, const wchar_t* text);

// Not used by the plug-in; for hosts. Writes the value as compact JSON text,
// with the two-call length convention of GetString. Non-ASCII characters are
// written as they are, not as \u escapes.
JORVEX_API JorvexStatus JORVEX_CALL VESK_PA_JsonValue_Writer(JsonHandle value, wchar_t* buffer, uint32_t* length);

// Diagnostics for hosts and tests: the number of owning handles alive now.
JORVEX_API uint32_t JORVEX_CALL VESK_PA_JsonValue_GetLiveHandleCount(void);

#ifdef __cplusplus
}
#endif
