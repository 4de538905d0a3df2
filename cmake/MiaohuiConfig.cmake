# miaohui_host_config(<target> [HOST_A v] ... [GROUP_LINK_HOST v])
# Makes an INTERFACE target whose generated header config/host_slots.h holds the host slots
# as compile-time constants. Slots not named take the cache values. The program uses the
# target "miaohui_config"; tests make their own with other values.
set(MIAOHUI_HOST_SLOT_NAMES HOST_A HOST_B HOST_C HOST_D HOST_E HOST_F HOST_G CHAT_LINK_HOST GROUP_LINK_HOST)

function(miaohui_host_config target)
  cmake_parse_arguments(PARSE_ARGV 1 ARG "" "${MIAOHUI_HOST_SLOT_NAMES}" "")
  foreach(slot IN LISTS MIAOHUI_HOST_SLOT_NAMES)
    if(DEFINED ARG_${slot})
      set(value "${ARG_${slot}}")
    else()
      set(value "${${slot}}")
    endif()
    if(NOT value MATCHES "^[A-Za-z0-9.-]+(:[0-9]+)?$")
      message(FATAL_ERROR "${slot}: \"${value}\" is not a host name with an optional :port")
    endif()
    set(SLOT_${slot} "${value}")
  endforeach()
  set(dir "${CMAKE_BINARY_DIR}/host-config/${target}")
  configure_file("${PROJECT_SOURCE_DIR}/src/config/host_slots.h.in" "${dir}/config/host_slots.h" @ONLY)
  add_library(${target} INTERFACE)
  target_include_directories(${target} INTERFACE "${dir}")
endfunction()
