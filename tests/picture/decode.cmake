# The decoder suites: detection, each format's crafted pictures, the public corpora, a
# reference decoder compared pixel by pixel, bad input and in-process mutation.
find_package(JPEG REQUIRED)
find_package(PNG REQUIRED)
find_package(ZLIB REQUIRED)

# Writers for crafted test pictures (libjpeg's and libpng's encoders).
add_library(picture_decode_test_support STATIC decode_encode.cpp)
target_include_directories(picture_decode_test_support PUBLIC "${PROJECT_SOURCE_DIR}/tests")
target_link_libraries(picture_decode_test_support
  PUBLIC miaohui_decode PRIVATE miaohui_warnings JPEG::JPEG PNG::PNG ZLIB::ZLIB)

# stb_image, the reference decoder for JPEG, PNG and BMP (test and benchmark use only).
if(NOT TARGET picture_reference_stb)
  find_path(STB_INCLUDE_DIR stb/stb_image.h REQUIRED)
  add_library(picture_reference_stb STATIC reference_stb_image.c)
  target_include_directories(picture_reference_stb SYSTEM PUBLIC "${STB_INCLUDE_DIR}")
  target_link_libraries(picture_reference_stb PRIVATE m)
endif()

miaohui_add_test(picture_decode_tests LABEL picture
  SOURCES
    decode_detect_test.cpp
    decode_bmp_test.cpp
    decode_png_test.cpp
    decode_jpeg_test.cpp
    decode_ico_test.cpp
    decode_pcx_test.cpp
    decode_corpus_test.cpp
    decode_reference_test.cpp
    decode_bad_input_test.cpp
  LIBS picture_decode_test_support picture_reference_stb)

# picture-dump run as a program (the tools folder is added after the tests).
if(EXISTS "${PROJECT_SOURCE_DIR}/tools/picture-dump/CMakeLists.txt")
  miaohui_add_test(picture_dump_tests LABEL picture
    SOURCES picture_dump_test.cpp
    LIBS miaohui_common)
  target_compile_definitions(picture_dump_tests PRIVATE PICTURE_DUMP_PATH="$<TARGET_FILE:picture-dump>")
  add_dependencies(picture_dump_tests picture-dump)
endif()
