# Puts the page together: varnel.html with its style, its scripts and the worker (the
# compiled core with the WebAssembly inside) in one file that opens from the disk.
# cmake -DSOURCE=<src/ui/web> -DWORKER=<varnel-web.js> -DOUTPUT=<varnel.html> -P MakePage.cmake
file(READ "${SOURCE}/page.html" page)
foreach(part PAGE_CSS:page.css ZIP_JS:zip.js PAGE_JS:page.js)
  string(REPLACE ":" ";" part "${part}")
  list(GET part 0 mark)
  list(GET part 1 name)
  file(READ "${SOURCE}/${name}" text)
  string(REPLACE "/*${mark}*/" "${text}" page "${page}")
endforeach()
file(READ "${WORKER}" worker)
if(worker MATCHES "</script")
  message(FATAL_ERROR "the worker's code holds </script and cannot go inside the page")
endif()
string(REPLACE "/*WORKER_JS*/" "${worker}" page "${page}")
file(WRITE "${OUTPUT}" "${page}")
