# Writes kelvo.dll's version resource script from its template, with the
# time of the build and the name of the machine it ran on. Run as
#   cmake -DTEMPLATE=... -DOUTPUT=... -DKELVO_VERSION=x.y.z
#         -DKELVO_TOOLCHAIN="..." -P version_resource.cmake
# from a build step, so the stamp is that of the build, not of the
# configuration.
#
# With SOURCE_DATE_EPOCH set (seconds since 1970, as for any reproducible
# build), the time is that one and "Built On" names the compiler instead
# of the machine, so two builds of the same sources give the same bytes.
string(REPLACE "." ";" parts "${KELVO_VERSION}")
list(GET parts 0 KELVO_VERSION_MAJOR)
list(GET parts 1 KELVO_VERSION_MINOR)
list(GET parts 2 KELVO_VERSION_PATCH)
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  if(NOT "$ENV{SOURCE_DATE_EPOCH}" MATCHES "^[0-9]+$")
    message(FATAL_ERROR "SOURCE_DATE_EPOCH is not a number of seconds: '$ENV{SOURCE_DATE_EPOCH}'")
  endif()
  # string(TIMESTAMP) takes its time from SOURCE_DATE_EPOCH when it is set.
  string(TIMESTAMP KELVO_BUILD_TIME "%Y-%m-%d %H:%M:%S UTC" UTC)
  set(KELVO_BUILD_HOST "${KELVO_TOOLCHAIN}")
else()
  string(TIMESTAMP KELVO_BUILD_TIME "%Y-%m-%d %H:%M:%S UTC" UTC)
  cmake_host_system_information(RESULT KELVO_BUILD_HOST QUERY HOSTNAME)
endif()
# A quote or backslash in a host name would end or escape the string.
string(REGEX REPLACE "[\"\\\\]" "_" KELVO_BUILD_HOST "${KELVO_BUILD_HOST}")
if(KELVO_BUILD_HOST STREQUAL "")
  set(KELVO_BUILD_HOST "unknown")
endif()
configure_file("${TEMPLATE}" "${OUTPUT}" @ONLY)
