# The plugin's own sources, listed once for every build that compiles them:
# the Linux module and its tests (CMakeLists.txt, which the benchmark
# builds too), the Windows modules (cmake/windows.cmake) and the fuzz
# targets (fuzz/CMakeLists.txt, and fuzz/replay.cmake when the Linux build
# replays them). Paths are absolute, so any of them can include this file.
get_filename_component(KELVO_SOURCE_ROOT "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)

# Everything but the platform layer, the same on every platform.
set(KELVO_CORE_SOURCES
  src/arraytable/arraytable.cpp
  src/arraytable/arraytable_options.cpp
  src/arraytable/split_arguments.cpp
  src/convert/contraction.cpp
  src/convert/deentitize.cpp
  src/convert/doctype.cpp
  src/convert/entag.cpp
  src/convert/entitize.cpp
  src/convert/entity_table.cpp
  src/convert/hcomment.cpp
  src/convert/hex_keepset.cpp
  src/convert/hexdec.cpp
  src/convert/hexdec_blocks.cpp
  src/convert/hexenc.cpp
  src/convert/makeentity.cpp
  src/convert/tag.cpp
  src/frame/boundary.cpp
  src/frame/charclass_table.cpp
  src/frame/error_report.cpp
  src/frame/help.cpp
  src/frame/help_texts.cpp
  src/frame/numbers.cpp
  src/frame/registration.cpp
  src/frame/text.cpp
  src/options/kelvo_command.cpp
  src/options/plugin_options.cpp)
set(KELVO_POSIX_SOURCES src/frame/platform_posix.cpp)
# The kelvo shell's line runner without its platform layer (not part of
# the plugin): the shell's fuzz target links it with services that open
# no file.
set(KELVO_SHELL_RUNNER_SOURCES host/shell_run.cpp host/shell_commands.cpp host/shell_text.cpp
  host/shell_help.cpp host/shell_redirect.cpp host/shell_batch_text.cpp)
set(KELVO_WIN32_SOURCES src/frame/platform_win32.cpp src/frame/dllmain.cpp)

list(TRANSFORM KELVO_CORE_SOURCES PREPEND "${KELVO_SOURCE_ROOT}/")
list(TRANSFORM KELVO_POSIX_SOURCES PREPEND "${KELVO_SOURCE_ROOT}/")
list(TRANSFORM KELVO_WIN32_SOURCES PREPEND "${KELVO_SOURCE_ROOT}/")
list(TRANSFORM KELVO_SHELL_RUNNER_SOURCES PREPEND "${KELVO_SOURCE_ROOT}/")
