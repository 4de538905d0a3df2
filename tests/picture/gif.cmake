# The GIF decoder and its playback: crafted pictures, the public GIF suites, and a
# differential check against giflib (a test-only reference, never linked into the program).
find_path(GIFLIB_INCLUDE_DIR gif_lib.h)
find_library(GIFLIB_LIBRARY gif)

set(gif_test_sources
  gif_corpus_tests.cpp
  gif_playback_tests.cpp
  gif_reference.cpp
  gif_still_tests.cpp)
set(gif_test_libs miaohui_decode)
if(GIFLIB_INCLUDE_DIR AND GIFLIB_LIBRARY)
  list(APPEND gif_test_sources gif_giflib_tests.cpp)
  list(APPEND gif_test_libs ${GIFLIB_LIBRARY})
else()
  message(WARNING "giflib not found (libgif-dev): the GIF differential test is left out")
endif()

miaohui_add_test(picture_gif_tests LABEL picture
  SOURCES ${gif_test_sources}
  LIBS ${gif_test_libs})
