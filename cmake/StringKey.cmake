# The 16-byte key of the suite's encrypted settings comes from a file outside
# the sources: -DTAVREL_STRING_KEY_FILE=/path/to/key.bin (16 raw bytes). The
# default, cmake/development-string-key.bin, is ours, for development and
# tests; a release is built with the suite's file, which is never committed.
#
# No binary may hold the key's bytes together, so the build writes it as two
# arrays of four words whose XOR it is: the mask below, which stays the same,
# and the key's pieces against it. The same key file gives the same header,
# and so the same binary.
set(TAVREL_STRING_KEY_FILE ${CMAKE_CURRENT_LIST_DIR}/development-string-key.bin
    CACHE FILEPATH "File of the 16-byte key of the suite's encrypted settings")

set(TAVREL_STRING_KEY_MASK 0x5D3A9C17 0xE8046BB2 0x1FC7D259 0x9A6E30C4)

# Writes OUTPUT_DIR/BxComn_StringKeyPieces.h for the 16 bytes of KEY_FILE.
function(tavrel_string_key_header key_file output_dir)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${key_file})
    file(READ ${key_file} key HEX)
    string(LENGTH "${key}" digits)
    if(NOT digits EQUAL 32)
        math(EXPR bytes "${digits} / 2")
        message(FATAL_ERROR "${key_file} holds ${bytes} bytes; a string key is 16")
    endif()
    set(mask_words "")
    set(key_words "")
    foreach(word RANGE 3)
        list(GET TAVREL_STRING_KEY_MASK ${word} mask)
        # The key's bytes are little-endian words: byte 0 is the lowest.
        set(value "0x")
        foreach(byte 3 2 1 0)
            math(EXPR at "(${word} * 4 + ${byte}) * 2")
            string(SUBSTRING "${key}" ${at} 2 pair)
            string(APPEND value "${pair}")
        endforeach()
        math(EXPR piece "${value} ^ ${mask}" OUTPUT_FORMAT HEXADECIMAL)
        list(APPEND mask_words ${mask})
        list(APPEND key_words ${piece})
    endforeach()
    list(JOIN mask_words ", " mask_text)
    list(JOIN key_words ", " key_text)
    file(CONFIGURE OUTPUT ${output_dir}/BxComn_StringKeyPieces.h CONTENT
"// Generated from the build's string key file (cmake/StringKey.cmake): the key
// is the XOR of these two arrays, and neither holds it. Read as volatile, so
// that the compiler cannot fold them into the key.
#pragma once

namespace BxCommon::Cryptograph {

volatile const DWORD kMaskPieces[4] = {${mask_text}};
volatile const DWORD kKeyPieces[4] = {${key_text}};

}  // namespace BxCommon::Cryptograph
")
endfunction()
