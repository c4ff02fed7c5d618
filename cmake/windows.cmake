# The Windows runtime: the framework cross-compiled with MinGW-w64
# (scripts/build-windows.sh configures it with cmake/mingw-w64.cmake). Its
# libraries come from the prefix scripts/windows-deps.sh fills, all static, and
# so are the compiler's own (libstdc++, libgcc, winpthread): a player needs no
# DLL beyond Windows' own. It has no tests, benchmarks or fuzzers of its own
# (they would not run on this machine; the Wine tests drive the runtime).
set(TARNWICK_TESTS OFF CACHE BOOL "" FORCE)
set(TARNWICK_BENCH OFF CACHE BOOL "" FORCE)
set(TARNWICK_FUZZ OFF CACHE BOOL "" FORCE)
set(TARNWICK_SANITIZE OFF CACHE BOOL "" FORCE)

# The static GLEW. FindGLEW looks for MSVC's names of it only (.lib): MinGW's
# is found here first.
set(GLEW_USE_STATIC_LIBS ON)
find_library(GLEW_STATIC_LIBRARY_RELEASE glew32s)
# Stripped: players get no use of the symbol table, a third of the file.
add_link_options(-static -s)

# tarnwick_windows_runtime(TARGET): the runtime executable. A window
# application: started from Explorer it opens no console (the log then goes
# to a file). Its main calls SDL_SetMainReady itself, so no SDL2main.
function(tarnwick_windows_runtime target)
  set_target_properties(${target} PROPERTIES WIN32_EXECUTABLE ON)
endfunction()
