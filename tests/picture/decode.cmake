# The decoder suites: detection, each format's crafted pictures, the public corpora, a
# reference decoder compared pixel by pixel, bad input and in-process mutation.
miaohui_add_test(picture_decode_tests LABEL picture
  SOURCES
    decode_detect_test.cpp
    decode_bmp_test.cpp
  LIBS miaohui_decode)
