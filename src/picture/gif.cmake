# The GIF decoder: block structure, LZW, frame drawing, the still picture and the playback.
target_sources(miaohui_decode PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/gif_draw.cpp
  ${CMAKE_CURRENT_LIST_DIR}/gif_lzw.cpp
  ${CMAKE_CURRENT_LIST_DIR}/gif_parse.cpp)
