# Release build: 32-bit PE, the artifact Orvane.scr. It must load on Windows 95/98
# and NT 4.0, so it uses the win32 thread model: the posix one links winpthreads,
# whose imports (GetTickCount64, vectored exception handlers, ...) those lack.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(MINGW_TRIPLET i686-w64-mingw32)
set(MINGW_THREADS win32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
