# Toolchain for the Windows build: 64-bit Windows programs and DLLs, cross-built
# on Debian with mingw-w64 (g++-mingw-w64-x86-64-posix: the POSIX thread model,
# so std::thread and std::mutex work) and run under Wine.
#
# Everything links -static: libstdc++, libgcc and winpthread go into each
# program and DLL, so nothing needs libwinpthread-1.dll or libstdc++-6.dll
# beside it (under WINEDEBUG=-all a missing DLL shows only as exit code 53).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(ORVANTE_MINGW_TRIPLE x86_64-w64-mingw32)

set(CMAKE_C_COMPILER ${ORVANTE_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ORVANTE_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${ORVANTE_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${ORVANTE_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# pkg-config looks for Windows libraries only (Debian has none of ours).
set(ENV{PKG_CONFIG_LIBDIR} /usr/${ORVANTE_MINGW_TRIPLE}/lib/pkgconfig)
set(ENV{PKG_CONFIG_PATH} "")

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
# A DLL that exports all its symbols (the platform library) exports its own,
# not those of the static runtime libraries linked into it.
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -Wl,--exclude-libs,libstdc++.a:libgcc.a:libgcc_eh.a:libpthread.a:libwinpthread.a:libmingwex.a:libmingw32.a:libssp.a")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static")

# Test programs run under Wine (CTest and gtest_discover_tests use the
# emulator). wine64 is Debian's 64-bit loader; the environment (WINEPREFIX,
# WINEDEBUG, the test's wineserver) comes from the caller.
if(NOT CMAKE_CROSSCOMPILING_EMULATOR)
  find_program(ORVANTE_WINE64 NAMES wine64 PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
  if(ORVANTE_WINE64)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${ORVANTE_WINE64})
  endif()
endif()
