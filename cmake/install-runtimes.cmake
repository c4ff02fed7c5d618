# Run by `cmake --install` (and so by cpack): copies the web runtime and the
# Windows runtime into share/tarnwick/web and share/tarnwick/windows when their
# builds exist, so the installed tarnwick can --export-web and --bundle
# --target windows. The folders are the cache's TARNWICK_WEB_RUNTIME_DIR and
# TARNWICK_WINDOWS_RUNTIME_DIR, or TARNWICK_WEB_RUNTIME and
# TARNWICK_WINDOWS_RUNTIME from the environment, as the executable reads them.
if(DEFINED ENV{TARNWICK_WEB_RUNTIME})
  set(TARNWICK_WEB_RUNTIME_DIR "$ENV{TARNWICK_WEB_RUNTIME}")
endif()
if(DEFINED ENV{TARNWICK_WINDOWS_RUNTIME})
  set(TARNWICK_WINDOWS_RUNTIME_DIR "$ENV{TARNWICK_WINDOWS_RUNTIME}")
endif()
set(runtime_destination "${CMAKE_INSTALL_PREFIX}/share/tarnwick")

set(web "${TARNWICK_WEB_RUNTIME_DIR}")
if(EXISTS "${web}/tarnwick.js" AND EXISTS "${web}/tarnwick.wasm")
  file(INSTALL DESTINATION "${runtime_destination}/web" TYPE FILE
       FILES "${web}/tarnwick.js" "${web}/tarnwick.wasm")
endif()

# The Windows runtime with the DLLs its list names, each a file beside it.
set(windows "${TARNWICK_WINDOWS_RUNTIME_DIR}")
if(EXISTS "${windows}/tarnwick.exe" AND EXISTS "${windows}/tarnwick-dlls.txt")
  file(STRINGS "${windows}/tarnwick-dlls.txt" listed)
  set(files "${windows}/tarnwick.exe" "${windows}/tarnwick-dlls.txt")
  foreach(name IN LISTS listed)
    string(STRIP "${name}" name)
    if(name STREQUAL "")
      continue()
    endif()
    if(name MATCHES "[/\\\\:]" OR NOT EXISTS "${windows}/${name}")
      message(FATAL_ERROR "${windows}/tarnwick-dlls.txt names '${name}', not a file beside the runtime")
    endif()
    list(APPEND files "${windows}/${name}")
  endforeach()
  file(INSTALL DESTINATION "${runtime_destination}/windows" TYPE FILE FILES ${files})
endif()
