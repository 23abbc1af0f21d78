// Turns every exception into a status at the exported functions: nothing may
// unwind into a caller that was built with another compiler.
#pragma once

#include <exception>
#include <new>
#include <stdexcept>

#include "Json.h"
#include "Jorvex/JsonValue.h"

namespace Jorvex {

// Thrown by the parser callback to stop at the first container too deep.
struct NestingTooDeep : std::exception {};

template <typename Body>
JorvexStatus Guarded(Body&& body) noexcept {
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return JORVEX_E_NO_MEMORY;
    } catch (const std::length_error&) {
        return JORVEX_E_NO_MEMORY;
    } catch (const NestingTooDeep&) {
        return JORVEX_E_TOO_DEEP;
    } catch (const Json::parse_error&) {
        return JORVEX_E_PARSE;
    } catch (const Json::out_of_range&) {
        return JORVEX_E_OUT_OF_RANGE;
    } catch (const Json::type_error&) {
        return JORVEX_E_WRONG_TYPE;
    } catch (...) {
        return JORVEX_E_INTERNAL;
    }
}

}  // namespace Jorvex
