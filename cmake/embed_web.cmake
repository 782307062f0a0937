# cmake -DROOT=web -DOUT=web_assets.cpp -DFILES=index.html,js/app.js -P embed_web.cmake
# (names joined by commas). Writes the page's files into a C++ source as byte arrays, with their paths and types.
string(REPLACE "," ";" FILES "${FILES}")
set(body "")
set(table "")
set(index 0)
foreach(name IN LISTS FILES)
  file(READ ${ROOT}/${name} hex HEX)
  string(LENGTH "${hex}" digits)
  math(EXPR size "${digits} / 2")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "'\\\\x\\1'," bytes "${hex}")
  if(size EQUAL 0)
    set(bytes "0")
  endif()
  get_filename_component(ext ${name} EXT)
  if(ext STREQUAL ".html")
    set(mime "text/html; charset=utf-8")
  elseif(ext STREQUAL ".css")
    set(mime "text/css; charset=utf-8")
  elseif(ext STREQUAL ".js")
    set(mime "text/javascript; charset=utf-8")
  elseif(ext STREQUAL ".svg")
    set(mime "image/svg+xml")
  else()
    set(mime "application/octet-stream")
  endif()
  string(APPEND body "const char k${index}[] = {${bytes}};\n")
  string(APPEND table "      {\"/${name}\", \"${mime}\", {k${index}, ${size}}},\n")
  math(EXPR index "${index} + 1")
endforeach()
file(WRITE ${OUT}.tmp
"// Generated from web/ by cmake/embed_web.cmake; edit the files there.
#include \"web_assets.h\"

namespace teds::serve {
namespace {
${body}}  // namespace

std::span<const WebAsset> webAssets() {
  static const WebAsset table[] = {
${table}  };
  return table;
}

}  // namespace teds::serve
")
file(COPY_FILE ${OUT}.tmp ${OUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUT}.tmp)
