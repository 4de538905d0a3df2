# The picture box widget: painting, playback and the waiting helper, on the offscreen platform.
miaohui_add_test(picture_box_tests LABEL picture QT
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/box_fixtures.cpp
    ${CMAKE_CURRENT_LIST_DIR}/box_paint_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/box_playback_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/box_waiting_test.cpp
  LIBS miaohui_picture)
