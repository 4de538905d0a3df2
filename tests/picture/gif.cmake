# The GIF decoder and its playback: crafted pictures, the public GIF suites, and a
# differential check against giflib (a test-only reference, never linked into the program).
miaohui_add_test(picture_gif_tests LABEL picture
  SOURCES
    gif_corpus_tests.cpp
    gif_playback_tests.cpp
    gif_reference.cpp
    gif_still_tests.cpp
  LIBS miaohui_decode)
