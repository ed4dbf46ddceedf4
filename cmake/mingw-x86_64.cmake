# Same program as 64-bit PE: the build that the Wine tests run. GoogleTest needs
# std::mutex, which only the posix thread model provides.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(MINGW_TRIPLET x86_64-w64-mingw32)
set(MINGW_THREADS posix)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
