# The Windows build (cmake/mingw-w64-x86_64.cmake): the same tree configured
# for 64-bit Windows. Included by the top-level CMakeLists.txt when WIN32.
#
# What it needs from outside, each named by a cache variable that
# scripts/test-windows fills:
#   ORVANTE_SQLITE_SOURCE_DIR  a folder holding SQLite's amalgamation
#                              (sqlite3.c, sqlite3.h): Debian has no SQLite for
#                              mingw, so the runway database compiles it in.
#   ORVANTE_GTEST_SOURCE_DIR   GoogleTest's sources (Debian's googletest
#                              package, /usr/src/googletest), built here for
#                              the tests.
#   ORVANTE_HOST_SIM_DIR       the simulator folder of a Linux build: the data
#                              files the build makes with programs that run on
#                              the build machine (runway table, default voice)
#                              are copied from it.
set(ORVANTE_SQLITE_SOURCE_DIR "" CACHE PATH "Folder with SQLite's amalgamation (sqlite3.c, sqlite3.h)")
set(ORVANTE_GTEST_SOURCE_DIR "/usr/src/googletest" CACHE PATH "GoogleTest's sources")
set(ORVANTE_HOST_SIM_DIR "" CACHE PATH "Simulator folder of a Linux build (runway table, default voice)")

# Windows 7 and later: the API the platform layer calls.
add_compile_definitions(_WIN32_WINNT=0x0601 WINVER=0x0601 WIN32_LEAN_AND_MEAN NOMINMAX)
# Programs and DLLs go to bin/ (the loader finds a program's DLLs beside it);
# import libraries to lib/.
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)

# SQLite, compiled from its amalgamation into a static library with the
# target name find_package(SQLite3) gives on Linux.
if(NOT ORVANTE_SQLITE_SOURCE_DIR OR NOT EXISTS ${ORVANTE_SQLITE_SOURCE_DIR}/sqlite3.c)
  message(FATAL_ERROR "The Windows build needs SQLite's amalgamation: set ORVANTE_SQLITE_SOURCE_DIR "
                      "to a folder with sqlite3.c and sqlite3.h (scripts/test-windows makes one from Debian's sources)")
endif()
add_library(orvante_sqlite3 STATIC ${ORVANTE_SQLITE_SOURCE_DIR}/sqlite3.c)
target_include_directories(orvante_sqlite3 SYSTEM PUBLIC ${ORVANTE_SQLITE_SOURCE_DIR})
# The features Debian's own build enables that the runway query uses (the
# R*Tree index over runway positions).
target_compile_definitions(orvante_sqlite3 PRIVATE SQLITE_THREADSAFE=1 SQLITE_ENABLE_RTREE=1
  SQLITE_ENABLE_MATH_FUNCTIONS SQLITE_OMIT_LOAD_EXTENSION)
target_compile_options(orvante_sqlite3 PRIVATE -w)
add_library(SQLite::SQLite3 ALIAS orvante_sqlite3)

# zlib (the runway importer reads gzip-compressed airport files): Debian's
# libz-mingw-w64-dev, linked in as everything else is.
set(ZLIB_USE_STATIC_LIBS ON)

# GoogleTest for the tests, built from its sources with this toolchain.
if(ORVANTE_TESTS)
  if(NOT EXISTS ${ORVANTE_GTEST_SOURCE_DIR}/CMakeLists.txt)
    message(FATAL_ERROR "The Windows tests need GoogleTest's sources at ORVANTE_GTEST_SOURCE_DIR "
                        "(Debian package googletest installs them in /usr/src/googletest)")
  endif()
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
  add_subdirectory(${ORVANTE_GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest-build EXCLUDE_FROM_ALL)
  # (GoogleTest's own build names its library GTest::gtest as well.)
  if(NOT TARGET GTest::gtest)
    add_library(GTest::gtest ALIAS gtest)
  endif()
  set(GTest_FOUND TRUE)
endif()

# The parts of the tree built for Windows. Each part left out says why.
set(ORVANTE_WINDOWS_PARTS common platform gauges xact simconnect audio module addovar sim tools sim/program)
set(ORVANTE_WINDOWS_LEFT_OUT
  "bench: benchmarks measure the Linux build"
  "fuzz: libFuzzer targets need clang's Linux runtime")
foreach(reason ${ORVANTE_WINDOWS_LEFT_OUT})
  message(STATUS "Windows build leaves out ${reason}")
endforeach()

# Tells the Windows build leaves out a folder of tools/ or tests/, and why.
function(orvante_windows_left_out what reason)
  message(STATUS "Windows build leaves out ${what}: ${reason}")
endfunction()

# Gives a program or DLL its version resource (VERSIONINFO compiled by
# windres): the build's file version, which GetFileVersionInfo reads back.
function(orvante_windows_version_resource target description file_name)
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "EXECUTABLE")
    set(ORVANTE_RC_FILE_TYPE VFT_APP)
  else()
    set(ORVANTE_RC_FILE_TYPE VFT_DLL)
  endif()
  string(REPLACE "." "," ORVANTE_RC_VERSION_COMMAS "${ORVANTE_FILE_VERSION}")
  set(ORVANTE_RC_DESCRIPTION "${description}")
  set(ORVANTE_RC_NAME "${target}")
  set(ORVANTE_RC_FILE_NAME "${file_name}")
  set(rc ${CMAKE_BINARY_DIR}/resources/${target}.rc)
  configure_file(${CMAKE_SOURCE_DIR}/cmake/version.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
endfunction()

# What the Windows build adds once every part is defined: version resources,
# and the deliverables where a simulator folder keeps them.
function(orvante_windows_finish)
  orvante_windows_default_voice()
  if(TARGET ORVANTE)
    orvante_windows_version_resource(ORVANTE "Orvante runway awareness and advisory unit" "ORVANTE.dll")
    set_target_properties(ORVANTE PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${ORVANTE_SIM_DIR}/ORVANTE)
  endif()
  if(TARGET SimConnect)
    orvante_windows_version_resource(SimConnect "SimConnect client of the Orvante stand-in simulator" "SimConnect.dll")
  endif()
  if(TARGET orvante_platform)
    orvante_windows_version_resource(orvante_platform "Orvante platform layer" "liborvante_platform.dll")
  endif()
  if(TARGET orvante-sim)
    orvante_windows_version_resource(orvante-sim "Orvante stand-in simulator" "orvante-sim.exe")
  endif()
endfunction()

# The default voice of the simulator folder, made on the build machine
# (espeak-ng) by the Linux build.
function(orvante_windows_default_voice)
  set(voice ${ORVANTE_HOST_SIM_DIR}/ORVANTE/SoundSets)
  if(NOT ORVANTE_HOST_SIM_DIR OR NOT EXISTS ${voice})
    message(STATUS "Windows build: no default voice (ORVANTE_HOST_SIM_DIR names no Linux simulator folder with one)")
    return()
  endif()
  add_custom_target(orvante_default_voice ALL
    COMMAND ${CMAKE_COMMAND} -E copy_directory ${voice} ${ORVANTE_SIM_DIR}/ORVANTE/SoundSets
    COMMENT "Copying the default voice of the Linux build into the simulator folder")
endfunction()
