# The ctest entries of the ARM64 build, which scripts/test.sh makes in
# build/arm64 with scripts/lib-arm64.sh before ctest runs (the zig that
# builds it comes from the npm registry, so it is not a target of this
# build). `bash scripts/test.sh -R arm64` runs these alone.
set(PLIX_ARM64_BINARY_DIR ${CMAKE_BINARY_DIR}/arm64)
# What the shipped ARM64 plix.exe must be, held against the x64 one.
add_test(NAME arm64_exe_checks
  COMMAND ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/tests/arm64/check_exe.py
          ${PLIX_ARM64_BINARY_DIR}/plix.exe $<TARGET_FILE:plix> ${PLIX_ALLOWED_IMPORTS}
          ${PROJECT_SOURCE_DIR} ${CMAKE_BINARY_DIR})
# plix on Wine on arm64 Debian under qemu: skipped (77) where that desk
# cannot run, with the reason. Making the desk the first time takes minutes.
add_test(NAME arm64_smoke COMMAND bash ${PROJECT_SOURCE_DIR}/tests/arm64/smoke.sh)
set_tests_properties(arm64_smoke PROPERTIES
  SKIP_RETURN_CODE 77
  TIMEOUT 2700
  ENVIRONMENT "PLIX_BUILD_DIR=${CMAKE_BINARY_DIR}")
