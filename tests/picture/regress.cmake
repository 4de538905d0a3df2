# Inputs the fuzzers found, kept as files under tests/fuzz-regressions.
miaohui_add_test(picture_regression_tests LABEL picture
  SOURCES regress_test.cpp
  LIBS miaohui_decode)
target_compile_definitions(picture_regression_tests PRIVATE
  MIAOHUI_FUZZ_REGRESSIONS_DIR="${PROJECT_SOURCE_DIR}/tests/fuzz-regressions")
