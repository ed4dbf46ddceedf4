// The rest of what the compiler and the C++ headers expect of a run-time:
// exit handlers, the clock, and the last resort of code that cannot go on.
#include <windows.h>

#include <cstdint>

#include "framework/runtime/Exit.h"

namespace {

// Static destructors register here: a few per translation unit that has any.
constexpr int kMaxExitHandlers = 64;
void (*g_exitHandlers[kMaxExitHandlers])();
int g_exitHandlerCount = 0;

// The code of a process that meets a condition it cannot go on from (a pure
// virtual call, a container asked beyond its limits).
constexpr int kFatalExit = 3;

[[noreturn]] void Fatal() { ExitRelease(kFatalExit); }

}  // namespace

void ExitRelease(int code) {
    while (g_exitHandlerCount > 0) g_exitHandlers[--g_exitHandlerCount]();
    ExitProcess(static_cast<UINT>(code));
}

extern "C" {

int atexit(void (*handler)()) {
    if (handler == nullptr || g_exitHandlerCount == kMaxExitHandlers) return -1;
    g_exitHandlers[g_exitHandlerCount++] = handler;
    return 0;
}

// Seconds since 1970-01-01 00:00 UTC, from the system's 100-ns count since
// 1601. mingw-w64's <ctime> makes time() an inline call of this, with the
// 32-bit time_t of the era's run-time.
long _time32(long* result) {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    const std::uint64_t ticks = (static_cast<std::uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    constexpr std::uint64_t kTicksTo1970 = 116444736000000000ull;
    const long seconds = static_cast<long>(ticks >= kTicksTo1970 ? (ticks - kTicksTo1970) / 10000000u : 0);
    if (result != nullptr) *result = seconds;
    return seconds;
}

// The headers declare _time32 as a DLL import, so callers go through this
// pointer, which the import table would otherwise hold.
long (*_imp___time32)(long*) = &_time32;

void __cxa_pure_virtual() { Fatal(); }

}  // extern "C"

// The C++ headers' out-of-line failure paths (with exceptions off they are
// still called, by the containers' size checks and the like).
namespace std {
[[noreturn]] void __throw_bad_alloc() { Fatal(); }
[[noreturn]] void __throw_bad_array_new_length() { Fatal(); }
[[noreturn]] void __throw_length_error(const char*) { Fatal(); }
[[noreturn]] void __throw_out_of_range(const char*) { Fatal(); }
[[noreturn]] void __throw_out_of_range_fmt(const char*, ...) { Fatal(); }
[[noreturn]] void __throw_logic_error(const char*) { Fatal(); }
[[noreturn]] void __throw_invalid_argument(const char*) { Fatal(); }
}  // namespace std
