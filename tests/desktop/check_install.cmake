# cmake -DBUILD_DIR=<dir> -DPREFIX=<scratch> -DWITH_PROGRAM=ON|OFF -P check_install.cmake
# Installs the build into a scratch prefix and checks that every file a desktop needs is there.
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}"
  RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${result}")
endif()

set(expected
  share/applications/miaohui.desktop
  share/metainfo/io.github.miaohui.metainfo.xml
  share/icons/hicolor/scalable/apps/miaohui.svg
  share/doc/miaohui/copyright)
foreach(size 16 32 48 128 256)
  list(APPEND expected share/icons/hicolor/${size}x${size}/apps/miaohui.png)
endforeach()
if(WITH_PROGRAM)
  list(APPEND expected bin/miaohui)
endif()

file(GLOB_RECURSE installed RELATIVE "${PREFIX}" "${PREFIX}/*")
list(SORT installed)
list(SORT expected)
if(NOT installed STREQUAL expected)
  string(REPLACE ";" "\n  " installed_text "${installed}")
  string(REPLACE ";" "\n  " expected_text "${expected}")
  message(FATAL_ERROR "installed:\n  ${installed_text}\nexpected:\n  ${expected_text}")
endif()
if(WITH_PROGRAM)
  execute_process(COMMAND test -x "${PREFIX}/bin/miaohui" RESULT_VARIABLE not_executable)
  if(not_executable)
    message(FATAL_ERROR "bin/miaohui is not executable")
  endif()
endif()
file(REMOVE_RECURSE "${PREFIX}")
