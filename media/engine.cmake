# The engine's operations exist once, in media/engine.h, each declaration ending in its
# ordinal ("// @N"). kx_engine_def(<file> [EXTRA <lines>...]) writes a .def that names every
# operation by its ordinal only (NONAME), decorated as the 32-bit stdcall symbol where that
# applies, followed by the EXTRA lines. It is rewritten only when its content changes.
set(KX_ENGINE_HEADER ${CMAKE_CURRENT_LIST_DIR}/engine.h)
set_property(DIRECTORY ${CMAKE_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${KX_ENGINE_HEADER})

function(kx_engine_def file)
  cmake_parse_arguments(ARG "" "" "EXTRA" ${ARGN})
  file(STRINGS ${KX_ENGINE_HEADER} declarations REGEX "^[A-Za-z].*KX_ENGINE_CALL.*// @[0-9]+$")
  set(lines "")
  set(ordinals "")
  foreach(declaration IN LISTS declarations)
    if(NOT declaration MATCHES "KX_ENGINE_CALL (ox[A-Za-z]+)\\(([^)]*)\\);  // @([0-9]+)$")
      message(FATAL_ERROR "engine.h: cannot read the declaration: ${declaration}")
    endif()
    set(name ${CMAKE_MATCH_1})
    set(parameters "${CMAKE_MATCH_2}")
    set(ordinal ${CMAKE_MATCH_3})
    list(APPEND ordinals ${ordinal})
    if(KX_ARCH STREQUAL "x86")
      # stdcall: the symbol carries the argument bytes, 4 per (32-bit) argument.
      string(REGEX REPLACE "[^,]" "" commas "${parameters}")
      string(LENGTH "${commas}" count)
      math(EXPR bytes "(${count} + 1) * 4")
      set(name "${name}@${bytes}")
    endif()
    string(APPEND lines "  ${name} @${ordinal} NONAME\n")
  endforeach()

  # Ordinals 1 to 67 without 38, each once.
  set(expected "")
  foreach(ordinal RANGE 1 67)
    if(NOT ordinal EQUAL 38)
      list(APPEND expected ${ordinal})
    endif()
  endforeach()
  if(NOT ordinals STREQUAL expected)
    message(FATAL_ERROR "engine.h: the ordinals must be 1 to 67 without 38, in order; found ${ordinals}")
  endif()

  foreach(line IN LISTS ARG_EXTRA)
    string(APPEND lines "  ${line}\n")
  endforeach()
  file(CONFIGURE OUTPUT ${file} CONTENT "LIBRARY Ondrix.dll\nEXPORTS\n${lines}" @ONLY)
endfunction()
