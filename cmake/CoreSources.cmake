# The core: standard C++ only, no windows.h. MinGW builds it into plix.exe
# and pdh.dll; clang builds it natively with its tests and fuzzers under
# AddressSanitizer and UndefinedBehaviorSanitizer (tests/native). Both builds
# include this file, so a core source or test is added here, once.
get_filename_component(PLIX_SOURCE_ROOT ${CMAKE_CURRENT_LIST_DIR}/.. ABSOLUTE)

set(CORE_SOURCES
  common/DisplayScale.cpp
  counters/CounterStatus.cpp
  gauges/GaugeLabel.cpp
  gauges/ProcessorOrder.cpp
  gauges/SampleAverager.cpp
  gauges/StripPicture.cpp
  hostcounters/CounterPath.cpp
  hostcounters/NodeTopology.cpp
  hostcounters/ProcText.cpp
  settings/SettingsRecord.cpp
  ui/ConfigField.cpp
  ui/PlacementMath.cpp
  ui/StripLayout.cpp
  ui/WindowPlan.cpp
  ui/WindowState.cpp
)

# Built into native_core_tests.
set(CORE_TEST_SOURCES
  tests/core/ConfigFieldTest.cpp
  tests/core/CounterPathTest.cpp
  tests/core/CounterStatusTest.cpp
  tests/core/DisplayScaleTest.cpp
  tests/core/GaugeLabelTest.cpp
  tests/core/HandleTableTest.cpp
  tests/core/NodeTopologyTest.cpp
  tests/core/PlacementMathTest.cpp
  tests/core/ProcessorOrderTest.cpp
  tests/core/ProcTextTest.cpp
  tests/core/SampleAveragerTest.cpp
  tests/core/SettingsRecordTest.cpp
  tests/core/StripLayoutTest.cpp
  tests/core/WindowPlanTest.cpp
)

# libFuzzer targets: tests/fuzz/NAME.cpp, seeded from tests/fuzz/corpus/NAME.
set(CORE_FUZZERS
  fuzz_config_field
  fuzz_proc_text
  fuzz_processor_order
  fuzz_settings
  fuzz_strip_layout
  fuzz_strip_picture
  fuzz_window_plan
)

list(TRANSFORM CORE_SOURCES PREPEND ${PLIX_SOURCE_ROOT}/)
list(TRANSFORM CORE_TEST_SOURCES PREPEND ${PLIX_SOURCE_ROOT}/)
