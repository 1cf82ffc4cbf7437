# The native build of the core (tests/native), driven from the cross build
# so that one configure, one build and one ctest run cover both. Its
# executables are registered by absolute path: ctest runs them directly,
# not through Wine.
include(ExternalProject)
include(${CMAKE_CURRENT_LIST_DIR}/CoreSources.cmake)

set(NATIVE_BINARY_DIR ${CMAKE_BINARY_DIR}/native)
ExternalProject_Add(native_core
  SOURCE_DIR ${PLIX_SOURCE_ROOT}/tests/native
  BINARY_DIR ${NATIVE_BINARY_DIR}
  CMAKE_ARGS -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14
             -DCMAKE_BUILD_TYPE=RelWithDebInfo
  INSTALL_COMMAND ""
  BUILD_ALWAYS ON)

add_test(NAME native_core_tests COMMAND ${NATIVE_BINARY_DIR}/native_core_tests --gtest_brief=1)

foreach(fuzzer ${CORE_FUZZERS})
  add_test(NAME ${fuzzer}
    COMMAND ${CMAKE_COMMAND} -DFUZZER=${NATIVE_BINARY_DIR}/${fuzzer}
            -DSEEDS=${PLIX_SOURCE_ROOT}/tests/fuzz/corpus/${fuzzer}
            -DWORK=${NATIVE_BINARY_DIR}/fuzz/${fuzzer}
            -P ${PLIX_SOURCE_ROOT}/tests/native/RunFuzzer.cmake)
endforeach()
