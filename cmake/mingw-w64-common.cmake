# Shared part of the mingw-w64 toolchain files; KELVO_MINGW_PREFIX names
# the target triplet. The win32 thread model is preferred: it needs no
# winpthread, so a static link leaves only Windows system DLLs.
find_program(CMAKE_CXX_COMPILER NAMES ${KELVO_MINGW_PREFIX}-g++-win32 ${KELVO_MINGW_PREFIX}-g++ REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${KELVO_MINGW_PREFIX}-windres REQUIRED)
find_program(KELVO_DLLTOOL NAMES ${KELVO_MINGW_PREFIX}-dlltool REQUIRED)
find_program(KELVO_OBJDUMP NAMES ${KELVO_MINGW_PREFIX}-objdump)

set(CMAKE_FIND_ROOT_PATH /usr/${KELVO_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
