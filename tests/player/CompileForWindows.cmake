# Compiles each of SOURCES (under APP: app/ or engine/) for Windows with the
# MinGW-w64 compiler CXX; fails naming the first that does not compile, or
# the compiler when it is missing.
if(NOT CXX OR NOT EXISTS "${CXX}")
  message(FATAL_ERROR "no MinGW-w64 C++ compiler (x86_64-w64-mingw32-g++): install g++-mingw-w64-x86-64-posix "
                      "(tools/setup-debian --tests)")
endif()
get_filename_component(folder "${APP}" NAME)
foreach(source IN LISTS SOURCES)
  execute_process(
    COMMAND ${CXX} -std=c++17 -Wall -Wextra -Werror -I ${APP} -I ${INCLUDES} -c ${APP}/${source} -o windows.o
    RESULT_VARIABLE failed
    ERROR_VARIABLE messages)
  if(failed)
    message(FATAL_ERROR "${folder}/${source} does not compile for Windows:\n${messages}")
  endif()
  message(STATUS "${folder}/${source} compiles for Windows")
endforeach()
file(REMOVE windows.o)
