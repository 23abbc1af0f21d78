#!/usr/bin/env bash
# Post-link checks of the built binaries (unstripped, from the build folder).
#   CheckBinaries.sh runtime-hooks NM DLL...
#       Each DLL keeps the C++ runtime's exception state itself and links none
#       of the runtime's per-thread machinery: emulated TLS, guarded statics
#       and thread keys keep records that outlive a module and its threads. A
#       thread_local, a function-local static with a constructor or
#       std::call_once brings them back; so does losing our accessors.
#   CheckBinaries.sh stack-protector NM OBJDUMP BINARY...
#       Each binary carries the stack protector, linked in statically: no
#       runtime DLL of the compiler is imported.
set -uo pipefail
check=$1 nm=$2
shift 2
failed=0
fail() {
    echo "$1: $2"
    failed=1
}

case "$check" in
runtime-hooks)
    for dll in "$@"; do
        symbols=$("$nm" "$dll") || fail "$dll" "cannot be read"
        for machinery in __emutls_get_address __cxa_guard_acquire pthread_key_create pthread_getspecific; do
            grep -qE " $machinery\$" <<<"$symbols" && fail "$(basename "$dll")" "links $machinery"
        done
        accessors=$(grep -cE ' T __cxa_get_globals$' <<<"$symbols")
        [ "$accessors" -eq 1 ] || fail "$(basename "$dll")" "$accessors definitions of __cxa_get_globals"
        # The runtime's own accessors come in a section named after them.
        grep -qF '.text$__cxa_get_globals' <<<"$symbols" && fail "$(basename "$dll")" "links the runtime's own accessors"
        grep -qE ' T _ZN6Tavrel7Runtime25ThisThreadsExceptionStateEv$' <<<"$symbols" ||
            fail "$(basename "$dll")" "lacks the module's exception-state accessors"
    done
    ;;
stack-protector)
    objdump=$1
    shift
    for binary in "$@"; do
        symbols=$("$nm" "$binary") || fail "$binary" "cannot be read"
        grep -qE ' T __stack_chk_fail$' <<<"$symbols" || fail "$(basename "$binary")" "has no stack protector"
        imports=$("$objdump" -p "$binary" | sed -n 's/^\tDLL Name: //p')
        grep -qiE '^lib(ssp|gcc|stdc\+\+|winpthread)' <<<"$imports" &&
            fail "$(basename "$binary")" "imports a compiler runtime DLL: $(tr '\n' ' ' <<<"$imports")"
    done
    ;;
*)
    echo "usage: CheckBinaries.sh runtime-hooks NM DLL... | stack-protector NM OBJDUMP BINARY..."
    exit 2
    ;;
esac
[ "$failed" -eq 0 ] && echo "$check: $* pass"
exit "$failed"
