# SPDX-License-Identifier: MIT
# Writes the site's service worker (DIR/sw.js) from its source (SOURCE):
# the list of every other file of the site (FILES, comma-separated, as the
# build made them: a file left in DIR by an older build is not the site's),
# and the build's version, a hash of those files' names and contents, which
# names the worker's cache. Run after every build of the site; the file is
# rewritten only when it changes, so a browser sees a new worker exactly
# when the site changed.
# cmake -DSOURCE=page/sw.js -DDIR=site -DFILES=a,b/c -P service_worker.cmake

string(REPLACE "," ";" files "${FILES}")
list(SORT files)
set(digest "")
set(names "")
foreach(f ${files})
  file(SHA256 ${DIR}/${f} sum)
  string(APPEND digest "${f} ${sum}\n")
  string(APPEND names "'${f}', ")
endforeach()
string(SHA256 version "${digest}")
string(SUBSTRING ${version} 0 16 version)
string(REGEX REPLACE ", $" "" names "${names}")

file(READ ${SOURCE} text)
set(line "const site = {version: 'unbuilt', files: []};")
string(FIND "${text}" "${line}" at)
if(at EQUAL -1)
  message(FATAL_ERROR "${SOURCE} has no line `${line}` to fill in")
endif()
string(REPLACE "${line}" "const site = {version: '${version}', files: [${names}]};" text "${text}")
file(CONFIGURE OUTPUT ${DIR}/sw.js CONTENT "${text}" @ONLY)
