# The web runtime: the framework compiled to WebAssembly with Emscripten
# (scripts/build-web.sh configures it). Its libraries come from the prefix
# scripts/web-deps.sh fills; it has no tests, benchmarks or fuzzers of its own
# (the browser tests drive the page), and it installs the runtime only.
set(TARNWICK_TESTS OFF CACHE BOOL "" FORCE)
set(TARNWICK_BENCH OFF CACHE BOOL "" FORCE)
set(TARNWICK_FUZZ OFF CACHE BOOL "" FORCE)
set(TARNWICK_SANITIZE OFF CACHE BOOL "" FORCE)

# The bindings catch C++ exceptions, which Emscripten does not by default.
add_compile_options(-fexceptions -sDISABLE_EXCEPTION_CATCHING=0)
add_link_options(-fexceptions -sDISABLE_EXCEPTION_CATCHING=0)

# The framework's own files live in the runtime's file system, where the
# frameworkfiles lookup finds them as an install's.
set(TARNWICK_DATA_INSTALL_DIR /tarnwick)
set(TARNWICK_DATA_STAGE ${CMAKE_BINARY_DIR}/framework)

# tarnwick_web_runtime(TARGET): link options of the runtime executable.
function(tarnwick_web_runtime target)
  target_link_options(${target} PRIVATE
    -sENVIRONMENT=web
    -sMIN_WEBGL_VERSION=2 -sMAX_WEBGL_VERSION=2
    -sALLOW_MEMORY_GROWTH=1
    -sFORCE_FILESYSTEM=1
    -lidbfs.js
    "-sEXPORTED_RUNTIME_METHODS=['FS','IDBFS','ENV','UTF8ToString','addRunDependency','removeRunDependency']"
    # SDL's audio calls these; without them the page dies when the mixer opens.
    # (A file: their names start with "$", which no shell line keeps whole.)
    "-sDEFAULT_LIBRARY_FUNCS_TO_INCLUDE=@${PROJECT_SOURCE_DIR}/cmake/web-library-functions.json"
    "SHELL:--embed-file ${TARNWICK_DATA_STAGE}@/tarnwick")
  set_target_properties(${target} PROPERTIES SUFFIX ".js")
endfunction()
