# Puts the page together: varnel.html with its style, its scripts and the worker (the
# compiled core with the WebAssembly inside) in one file that opens from the disk.
# cmake -DSOURCE=<src/ui/web> -DWORKER=<varnel-web.js> -DOUTPUT=<varnel.html> -P MakePage.cmake
file(READ "${SOURCE}/page.html" page)
set(marks PAGE_CSS ZIP_JS CHANNEL_JS PAGE_JS WORKER_JS)
set(parts "${SOURCE}/page.css" "${SOURCE}/zip.js" "${SOURCE}/channel.js" "${SOURCE}/page.js" "${WORKER}")
foreach(mark part IN ZIP_LISTS marks parts)
  file(READ "${part}" text)
  # HTML ends the element at its closing tag in any case, wherever it stands.
  set(closing "</script")
  if(mark STREQUAL "PAGE_CSS")
    set(closing "</style")
  endif()
  string(TOLOWER "${text}" lower)
  string(FIND "${lower}" "${closing}" at)
  if(at GREATER -1)
    message(FATAL_ERROR "${part} holds ${closing} and cannot go inside the page")
  endif()
  string(REPLACE "/*${mark}*/" "${text}" page "${page}")
endforeach()
file(WRITE "${OUTPUT}" "${page}")
