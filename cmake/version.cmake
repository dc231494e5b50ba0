# The plugin's version is the project version of the top-level
# CMakeLists.txt. This writes it into kelvo/version.h under
# KELVO_GENERATED_DIR, for the plugin's code and the tests, and sets
# KELVO_VERSION (x.y.z) and its three parts for the rest of the build.
# A project that builds the plugin's code on its own (the fuzz targets)
# reads the version from the top-level file.
if(PROJECT_NAME STREQUAL "kelvo")
  set(KELVO_VERSION ${PROJECT_VERSION})
else()
  file(STRINGS ${CMAKE_CURRENT_LIST_DIR}/../CMakeLists.txt declaration
    REGEX "^project\\(kelvo VERSION ")
  string(REGEX MATCH "VERSION ([0-9]+\\.[0-9]+\\.[0-9]+)" matched "${declaration}")
  if(NOT matched)
    message(FATAL_ERROR "No 'project(kelvo VERSION x.y.z' line in the top-level CMakeLists.txt")
  endif()
  set(KELVO_VERSION ${CMAKE_MATCH_1})
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
    ${CMAKE_CURRENT_LIST_DIR}/../CMakeLists.txt)
endif()

string(REPLACE "." ";" version_parts "${KELVO_VERSION}")
list(LENGTH version_parts version_part_count)
if(NOT version_part_count EQUAL 3)
  message(FATAL_ERROR "The plugin's version has three numbers, not '${KELVO_VERSION}'")
endif()
list(GET version_parts 0 KELVO_VERSION_MAJOR)
list(GET version_parts 1 KELVO_VERSION_MINOR)
list(GET version_parts 2 KELVO_VERSION_PATCH)

set(KELVO_GENERATED_DIR ${CMAKE_CURRENT_BINARY_DIR}/generated)
configure_file(${CMAKE_CURRENT_LIST_DIR}/../include/kelvo/version.h.in
  ${KELVO_GENERATED_DIR}/kelvo/version.h @ONLY)
