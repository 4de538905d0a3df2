# The GIF decoder and its playback: crafted pictures, the public GIF suites, and a
# differential check against giflib (a test-only reference, never linked into the program).
find_path(GIF_REFERENCE_INCLUDE gif_lib.h)
find_library(GIF_REFERENCE_LIBRARY gif)

miaohui_add_test(picture_gif_tests LABEL picture
  SOURCES gif_still_tests.cpp gif_playback_tests.cpp
  LIBS miaohui_decode)
