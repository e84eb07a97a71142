#pragma once
// The edge between the library and its C callers: whatever a service throws
// (an allocation refused, a length the standard library will not take) ends
// as the service's failure value, never as a terminated caller.

namespace tessin {

// Runs `body`; on any exception runs `onFailure` (which records the reason)
// and returns `failureValue`. An exception from `onFailure` itself is dropped.
template <class Result, class Body, class OnFailure>
Result CallGuarded(Result failureValue, Body&& body, OnFailure&& onFailure) noexcept {
    try {
        return body();
    } catch (...) {
        try {
            onFailure();
        } catch (...) {
        }
        return failureValue;
    }
}

template <class Result, class Body>
Result CallGuarded(Result failureValue, Body&& body) noexcept {
    return CallGuarded(failureValue, static_cast<Body&&>(body), [] {});
}

}  // namespace tessin
