# The Windows build, cross-compiled with mingw-w64 (see the toolchain
# files beside this one): kelvo.dll, the stand-in host TakeCmd.dll, the
# kelvo.exe shell, and the tests that read and run them.
#
# Every binary is linked statically against the compiler's runtime, so
# it needs nothing but Windows system DLLs (and TakeCmd.dll).
enable_language(RC)

set(KELVO_STATIC_RUNTIME -static -static-libgcc -static-libstdc++)
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(KELVO_X86 ON)
else()
  set(KELVO_X86 OFF)
endif()

# --- TakeCmd.def for this architecture. The file lists the __stdcall
# operations with their 32-bit decoration; x64 has none, so it is dropped.
set(TAKECMD_DEF_SOURCE ${PROJECT_SOURCE_DIR}/host/TakeCmd.def)
set(TAKECMD_DEF ${CMAKE_BINARY_DIR}/TakeCmd.def)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${TAKECMD_DEF_SOURCE})
file(READ ${TAKECMD_DEF_SOURCE} takecmd_def_text)
if(NOT KELVO_X86)
  string(REGEX REPLACE "([A-Za-z_][A-Za-z0-9_]*)@[0-9]+" "\\1" takecmd_def_text "${takecmd_def_text}")
endif()
file(WRITE ${TAKECMD_DEF}.tmp "${takecmd_def_text}")
configure_file(${TAKECMD_DEF}.tmp ${TAKECMD_DEF} COPYONLY)

# --- The import library for TakeCmd.dll, made from our own module
# definition: kill-at keeps the decorated symbols for the callers and
# imports the plain names. dlltool names symbols after the output path,
# so it writes in its own directory: no build path reaches kelvo.dll.
set(TAKECMD_IMPORT_DIR ${CMAKE_BINARY_DIR}/imports)
set(TAKECMD_IMPORT_LIB ${TAKECMD_IMPORT_DIR}/libTakeCmd.a)
file(MAKE_DIRECTORY ${TAKECMD_IMPORT_DIR})
add_custom_command(OUTPUT ${TAKECMD_IMPORT_LIB}
  COMMAND ${KELVO_DLLTOOL} --kill-at --input-def ${TAKECMD_DEF}
          --dllname TakeCmd.dll --output-lib libTakeCmd.a
  WORKING_DIRECTORY ${TAKECMD_IMPORT_DIR}
  DEPENDS ${TAKECMD_DEF}
  COMMENT "Import library for TakeCmd.dll")
add_custom_target(takecmd_import_lib DEPENDS ${TAKECMD_IMPORT_LIB})
add_library(takecmd_imports INTERFACE)
target_link_libraries(takecmd_imports INTERFACE ${TAKECMD_IMPORT_LIB})
add_dependencies(takecmd_imports takecmd_import_lib)
set_property(TARGET takecmd_imports PROPERTY INTERFACE_LINK_DEPENDS ${TAKECMD_IMPORT_LIB})

# --- The stand-in host library, TakeCmd.dll.
file(GLOB TAKECMD_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/host/takecmd_*.cpp)
add_library(takecmd SHARED ${TAKECMD_SOURCES} ${TAKECMD_DEF})
set_target_properties(takecmd PROPERTIES OUTPUT_NAME TakeCmd PREFIX ""
  IMPORT_PREFIX "" IMPORT_SUFFIX ".ld-implib.a")
target_include_directories(takecmd PUBLIC include host)
target_compile_definitions(takecmd PRIVATE KELVO_BUILDING_HOST)
target_compile_options(takecmd PRIVATE ${KELVO_WARNINGS})
target_link_options(takecmd PRIVATE ${KELVO_STATIC_RUNTIME})
if(KELVO_X86)
  target_link_options(takecmd PRIVATE -Wl,--kill-at)
endif()

# --- The plugin module, kelvo.dll: all of the plugin's sources with the
# Windows platform layer and load entry, its module definition and its
# version resource.
include(${CMAKE_CURRENT_LIST_DIR}/sources.cmake)
set(KELVO_SOURCES ${KELVO_CORE_SOURCES} ${KELVO_WIN32_SOURCES})

# The version resource is stamped whenever the module's code is rebuilt.
set(KELVO_VERSION_RC ${CMAKE_BINARY_DIR}/version.rc)
add_library(kelvo_objects OBJECT ${KELVO_SOURCES})
target_include_directories(kelvo_objects PRIVATE include ${KELVO_GENERATED_DIR} src host)
# The same sources give the same module wherever they and the build
# directory are: no path of either goes into the code or its debug data.
target_compile_options(kelvo_objects PRIVATE ${KELVO_WARNINGS}
  -ffile-prefix-map=${PROJECT_SOURCE_DIR}=kelvo -ffile-prefix-map=${CMAKE_BINARY_DIR}=build)
add_custom_command(OUTPUT ${KELVO_VERSION_RC}
  COMMAND ${CMAKE_COMMAND} -DTEMPLATE=${PROJECT_SOURCE_DIR}/src/frame/version.rc.in
          -DOUTPUT=${KELVO_VERSION_RC} -DKELVO_VERSION=${KELVO_VERSION}
          "-DKELVO_TOOLCHAIN=${KELVO_MINGW_PREFIX} GCC ${CMAKE_CXX_COMPILER_VERSION}"
          -P ${PROJECT_SOURCE_DIR}/cmake/version_resource.cmake
  DEPENDS ${PROJECT_SOURCE_DIR}/src/frame/version.rc.in
          ${PROJECT_SOURCE_DIR}/cmake/version_resource.cmake
          $<TARGET_OBJECTS:kelvo_objects>
  COMMENT "Stamping the version resource of kelvo.dll")

add_library(kelvo_plugin SHARED $<TARGET_OBJECTS:kelvo_objects>
  ${PROJECT_SOURCE_DIR}/src/frame/kelvo.def ${KELVO_VERSION_RC})
set_target_properties(kelvo_plugin PROPERTIES OUTPUT_NAME kelvo PREFIX ""
  IMPORT_PREFIX "" IMPORT_SUFFIX ".ld-implib.a")
target_link_libraries(kelvo_plugin PRIVATE takecmd_imports user32)
# Entry points are exported from the module definition only; on x86 the
# plain names there stand for the decorated __stdcall symbols. No link
# time in the header: the version resource says when the module was built.
target_link_options(kelvo_plugin PRIVATE ${KELVO_STATIC_RUNTIME} -Wl,--no-undefined
  -Wl,--no-insert-timestamp)
if(KELVO_X86)
  target_link_options(kelvo_plugin PRIVATE -Wl,--enable-stdcall-fixup)
endif()

# Optimised builds let the compiler work across files, as on Linux.
include(CheckIPOSupported)
check_ipo_supported(RESULT KELVO_IPO LANGUAGES CXX)
if(KELVO_IPO)
  set_target_properties(kelvo_objects kelvo_plugin PROPERTIES
    INTERPROCEDURAL_OPTIMIZATION_RELEASE ON
    INTERPROCEDURAL_OPTIMIZATION_RELWITHDEBINFO ON)
endif()

# --- The kelvo shell, kelvo.exe, beside the two DLLs.
file(GLOB SHELL_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/host/shell_*.cpp)
if(SHELL_SOURCES)
  add_executable(kelvo_shell ${SHELL_SOURCES} ${PROJECT_SOURCE_DIR}/host/kelvo_shell.rc)
  set_target_properties(kelvo_shell PROPERTIES OUTPUT_NAME kelvo)
  target_include_directories(kelvo_shell PRIVATE include host)
  target_compile_options(kelvo_shell PRIVATE ${KELVO_WARNINGS})
  target_compile_definitions(kelvo_shell PRIVATE KELVO_SHELL_VERSION="${PROJECT_VERSION}")
  target_link_libraries(kelvo_shell PRIVATE takecmd_imports)
  target_link_options(kelvo_shell PRIVATE ${KELVO_STATIC_RUNTIME})
  add_dependencies(kelvo_shell takecmd kelvo_plugin)
  # The manifest carries the project version; the resource script finds
  # the written copy on the include path.
  configure_file(${PROJECT_SOURCE_DIR}/host/kelvo_shell.manifest.in
    ${KELVO_GENERATED_DIR}/kelvo_shell.manifest @ONLY)
  target_include_directories(kelvo_shell PRIVATE ${KELVO_GENERATED_DIR})
  set_property(SOURCE ${PROJECT_SOURCE_DIR}/host/kelvo_shell.rc APPEND PROPERTY
    OBJECT_DEPENDS ${KELVO_GENERATED_DIR}/kelvo_shell.manifest)
endif()

if(KELVO_TESTS)
  enable_testing()
  add_subdirectory(tests/windows)
endif()
