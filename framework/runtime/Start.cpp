// The release's process entry, in place of the mingw-w64 start-up code
// (crt2.o), which imports MSVCRT.DLL and carries Pentium Pro instructions.
#include <windows.h>

#include <cstddef>

#include "framework/runtime/CommandTail.h"
#include "framework/runtime/Exit.h"
#include "framework/runtime/X87.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR cmdLine, int cmdShow);

// The linker's table of static constructors: -1, the constructors, 0. They
// run from the last to the first, as GCC's own start-up runs them.
typedef void (*Constructor)();
extern "C" Constructor __CTOR_LIST__[];

namespace {

void RunConstructors() {
    std::size_t count = 0;
    while (__CTOR_LIST__[count + 1] != nullptr) ++count;
    for (std::size_t i = count; i >= 1; --i) __CTOR_LIST__[i]();
}

}  // namespace

extern "C" void WinMainCRTStartup() {
    SetX87DoublePrecision();
    RunConstructors();
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    GetStartupInfoA(&startup);
    const int show = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : SW_SHOWDEFAULT;
    const int code = WinMain(GetModuleHandleA(nullptr), nullptr, const_cast<LPSTR>(CommandTail(GetCommandLineA())), show);
    ExitRelease(code);
}
