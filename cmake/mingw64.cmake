# Cross build of the Windows x86_64 DLLs and programs with mingw-w64. The
# posix thread model of the compiler gives std::thread and std::mutex, which
# the test programs use; the library itself calls the Win32 services.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(LYRDUA_MINGW_TRIPLET x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw_common.cmake)
