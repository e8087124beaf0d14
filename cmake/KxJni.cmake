# The Java declarations in java/ are the single source of native method names and
# signatures: javac -h turns them into the JNI headers that every definition includes, and
# scripts/jniexports.py derives the 32-bit export names and the export check from them.

find_package(Java 17 REQUIRED COMPONENTS Development Runtime)
find_package(Python3 REQUIRED COMPONENTS Interpreter)
get_filename_component(_kx_javac ${Java_JAVAC_EXECUTABLE} REALPATH)
get_filename_component(KX_JDK_HOME ${_kx_javac} DIRECTORY)
get_filename_component(KX_JDK_HOME ${KX_JDK_HOME} DIRECTORY)

set(KX_JAVA_CLASSES ${CMAKE_BINARY_DIR}/java/classes)
set(KX_JNI_HEADERS ${CMAKE_BINARY_DIR}/java/include)
file(GLOB_RECURSE KX_JAVA_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/java/*.java)
set(KX_HEADER_KXWINDOWS ${KX_JNI_HEADERS}/kx_util_windows_KXWindows.h)
set(KX_HEADER_KXMEDIA ${KX_JNI_HEADERS}/kx_util_kxmedia_KXMediaNative.h)
set(KX_EXPORTS_SCRIPT ${CMAKE_SOURCE_DIR}/scripts/jniexports.py)

add_custom_command(
  OUTPUT ${KX_HEADER_KXWINDOWS} ${KX_HEADER_KXMEDIA} ${KX_JNI_HEADERS}/kx_native_methods.inc
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${KX_JAVA_CLASSES}
  COMMAND ${Java_JAVAC_EXECUTABLE} -encoding UTF-8 -Xlint:all -Werror -h ${KX_JNI_HEADERS}
          -d ${KX_JAVA_CLASSES} ${KX_JAVA_SOURCES}
  COMMAND ${Python3_EXECUTABLE} ${KX_EXPORTS_SCRIPT} table --header ${KX_HEADER_KXWINDOWS}
          --header ${KX_HEADER_KXMEDIA} --out ${KX_JNI_HEADERS}/kx_native_methods.inc
  DEPENDS ${KX_JAVA_SOURCES} ${KX_EXPORTS_SCRIPT}
  COMMENT "Java declarations -> JNI headers"
  VERBATIM)
add_custom_target(kx_java_declarations DEPENDS ${KX_HEADER_KXWINDOWS} ${KX_HEADER_KXMEDIA})

# Everything that includes jni.h or a generated header links this.
add_library(kx_jni_headers INTERFACE)
add_dependencies(kx_jni_headers kx_java_declarations)
if(WIN32)
  target_include_directories(kx_jni_headers INTERFACE ${CMAKE_SOURCE_DIR}/cmake/windows-jni)
else()
  target_include_directories(kx_jni_headers INTERFACE ${KX_JDK_HOME}/include/linux)
endif()
target_include_directories(kx_jni_headers INTERFACE ${KX_JNI_HEADERS} ${KX_JDK_HOME}/include)

# kx_jni_library(<name> HEADER <generated header> SOURCES ... [LIBRARIES ...]
#                [IMPORTS_BY_ORDINAL <dll>...] [REQUIRE_ALL_EXPORTS])
# Builds <name> as a JNI library from an object library <name>_objects (which tests may link
# directly), exports exactly the native methods that the objects define, and registers the
# export check against the declarations (which also requires that the DLL imports only
# Windows' own DLLs, plus IMPORTS_BY_ORDINAL ones by ordinal only).
function(kx_jni_library name)
  cmake_parse_arguments(ARG "REQUIRE_ALL_EXPORTS" "HEADER;DESCRIPTION" "SOURCES;LIBRARIES;IMPORTS_BY_ORDINAL" ${ARGN})
  add_library(${name}_objects OBJECT ${ARG_SOURCES})
  set_target_properties(${name}_objects PROPERTIES POSITION_INDEPENDENT_CODE ON)
  target_link_libraries(${name}_objects PUBLIC kx_jni_headers ${ARG_LIBRARIES})
  target_include_directories(${name}_objects PUBLIC ${CMAKE_SOURCE_DIR})

  add_library(${name} SHARED $<TARGET_OBJECTS:${name}_objects>)
  # Object libraries hand their objects only to targets that link them directly: list in
  # LIBRARIES every object library whose code the DLL holds.
  target_link_libraries(${name} PRIVATE ${name}_objects ${ARG_LIBRARIES})
  if(NOT WIN32)
    return()
  endif()

  set(KX_VERSION_NAME ${name})
  set(KX_VERSION_DESCRIPTION "${ARG_DESCRIPTION}")
  configure_file(${CMAKE_SOURCE_DIR}/cmake/version.rc.in ${CMAKE_CURRENT_BINARY_DIR}/${name}_version.rc @ONLY)
  target_sources(${name} PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/${name}_version.rc)

  if(KX_ARCH STREQUAL "x86")
    # The 32-bit JVM looks up "_Java_..._name@N": the .def renames each defined method to that.
    set(def ${CMAKE_CURRENT_BINARY_DIR}/${name}.def)
    add_custom_command(
      OUTPUT ${def}
      COMMAND ${Python3_EXECUTABLE} ${KX_EXPORTS_SCRIPT} def --header ${ARG_HEADER}
              --nm ${KX_MINGW_TRIPLE}-nm --library ${name}.dll --out ${def}
              $<TARGET_OBJECTS:${name}_objects>
      DEPENDS ${name}_objects $<TARGET_OBJECTS:${name}_objects> ${KX_EXPORTS_SCRIPT}
      COMMAND_EXPAND_LISTS VERBATIM)
    add_custom_target(${name}_def DEPENDS ${def})
    add_dependencies(${name} ${name}_def)
    target_link_options(${name} PRIVATE ${def})
    set_property(TARGET ${name} APPEND PROPERTY LINK_DEPENDS ${def})
  endif()

  if(KX_TESTS)
    set(require "")
    if(ARG_REQUIRE_ALL_EXPORTS)
      set(require --require-all)
    endif()
    foreach(dll IN LISTS ARG_IMPORTS_BY_ORDINAL)
      list(APPEND require --by-ordinal ${dll})
    endforeach()
    add_test(NAME ${name}.exports
      COMMAND ${Python3_EXECUTABLE} ${KX_EXPORTS_SCRIPT} check --target ${KX_ARCH}
              --header ${ARG_HEADER} --objdump ${KX_MINGW_TRIPLE}-objdump --dll $<TARGET_FILE:${name}> ${require})
  endif()
endfunction()
