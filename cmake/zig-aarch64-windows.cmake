# Cross-compiles plix for Windows on Arm (aarch64-windows-gnu) with zig 0.11,
# a clang with MinGW-w64 for that target, fetched by scripts/lib-arm64.sh
# (plix_fetch_zig) into PLIX_ZIG_HOME. cmake/zig/zig-wrap gives the x64
# build's MinGW flags the same meaning there, so CMakeLists.txt sets them
# once for both builds. CMake takes zig for a MinGW compiler: MINGW is set.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ARM64)

if(NOT PLIX_ZIG_HOME)
  set(PLIX_ZIG_HOME $ENV{PLIX_ZIG_HOME})
endif()
if(NOT EXISTS "${PLIX_ZIG_HOME}/zig")
  message(FATAL_ERROR "no zig in PLIX_ZIG_HOME (${PLIX_ZIG_HOME}): "
                      "scripts/lib-arm64.sh plix_fetch_zig fetches the pinned one")
endif()
# try_compile's projects read this file again and need the folder too.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES PLIX_ZIG_HOME)

# CMake wants one program per tool: small launchers, in zig's folder, that
# call zig-wrap with the tool's name. Its RC rules are windres' when the
# name ends so.
set(_plix_launchers ${PLIX_ZIG_HOME}/launchers)
foreach(_tool cc c++ windres)
  file(CONFIGURE OUTPUT ${_plix_launchers}/aarch64-w64-mingw32-${_tool}
    CONTENT "#!/bin/sh\nexec \"${CMAKE_CURRENT_LIST_DIR}/zig/zig-wrap\" ${_tool} \"${PLIX_ZIG_HOME}\" \"$@\"\n"
    @ONLY)
  file(CHMOD ${_plix_launchers}/aarch64-w64-mingw32-${_tool}
    PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
endforeach()
set(CMAKE_C_COMPILER   ${_plix_launchers}/aarch64-w64-mingw32-cc)
set(CMAKE_CXX_COMPILER ${_plix_launchers}/aarch64-w64-mingw32-c++)
set(CMAKE_RC_COMPILER  ${_plix_launchers}/aarch64-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
