# The release's 32-bit code with GoogleTest around it: the Windows unit tests
# built for i686, which need std::mutex and so the posix thread model. Only
# the tests come from this build, never the release file.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(MINGW_TRIPLET i686-w64-mingw32)
set(MINGW_THREADS posix)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
