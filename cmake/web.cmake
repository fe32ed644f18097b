# The web pages (Emscripten): each build variant a page of its own, and
# everything the pages load beside them in QVL_WEB_DIR, served as it is:
#   index.html, qvlfest.js/.wasm                     the LCARS-font build
#   non-lcars.html, qvlfest-non-lcars.js/.wasm       the plain-font build
#   qvlfest.css, fonts/, icons/, about.png, the manifests and sw.js
# The pages carry their security policy themselves (a meta element), since a
# static host cannot be relied on to send it.
# The pages load nothing from anywhere else and carry the faces they draw.
set(QVL_WEB_DIR ${CMAKE_BINARY_DIR}/site CACHE PATH "Where the web pages are written")
set(QVL_PYTHON /usr/bin/python3)  # Debian's, which has fontTools and brotli
set(web ${CMAKE_SOURCE_DIR}/app/web)

# C++ exceptions are caught (the runtime reports the errors that handlers
# leave), which Emscripten does only when every object is built for it.
set(CMAKE_CXX_FLAGS_RELEASE "-O2 -DNDEBUG")
target_compile_options(qvl_core PUBLIC -fexceptions)
# Emscripten's linker runs Debian's JavaScript modules in node, which does not
# look for them where Debian puts them, however the build is started.
set(CMAKE_CXX_LINKER_LAUNCHER ${CMAKE_COMMAND} -E env NODE_PATH=/usr/share/nodejs)
set_target_properties(qvl_headless PROPERTIES EXCLUDE_FROM_ALL ON)

qvl_icons()

# The faces the shared font choice draws on the web, subset to the printable
# ASCII that every text of the forms is made of, without hinting (the browser
# hints for itself).
set(faces "Liberation Sans|400|LiberationSans-Regular" "Liberation Sans|700|LiberationSans-Bold"
          "Liberation Sans Narrow|400|LiberationSansNarrow-Regular")
set(face_args)
set(site_files)   # shared by both pages
set(page_groups)  # each page's own: --page <page> <its other files>...
set(page_outputs)
foreach(entry ${faces})
  string(REPLACE "|" ";" parts "${entry}")
  list(GET parts 2 file)
  set(ttf /usr/share/fonts/truetype/liberation/${file}.ttf)
  set(woff2 ${QVL_WEB_DIR}/fonts/${file}.woff2)
  add_custom_command(
    OUTPUT ${woff2}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${QVL_WEB_DIR}/fonts
    COMMAND ${QVL_PYTHON} -m fontTools.subset ${ttf} --output-file=${woff2} --flavor=woff2
            --unicodes=U+0020-007E --layout-features= --no-hinting --drop-tables+=FFTM
    DEPENDS ${ttf} VERBATIM)
  list(APPEND face_args "${entry}|${ttf}")
  list(APPEND site_files ${woff2})
endforeach()

# The stylesheet with the faces' @font-face rules, and the faces' widths for
# the squeeze, both from the font files.
set(faces_inc ${CMAKE_BINARY_DIR}/web/web_faces.inc)
add_custom_command(
  OUTPUT ${QVL_WEB_DIR}/qvlfest.css
  COMMAND ${CMAKE_COMMAND} -E make_directory ${QVL_WEB_DIR}
  COMMAND ${QVL_PYTHON} ${web}/faces.py css ${QVL_WEB_DIR}/qvlfest.css ${web}/qvlfest.css ${face_args}
  DEPENDS ${web}/faces.py ${web}/qvlfest.css VERBATIM)
add_custom_command(
  OUTPUT ${faces_inc}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/web
  COMMAND ${QVL_PYTHON} ${web}/faces.py inc ${faces_inc} ${face_args}
  DEPENDS ${web}/faces.py VERBATIM)
list(APPEND site_files ${QVL_WEB_DIR}/qvlfest.css)

# Icons: the program's at whole factors, and the about box's picture, made
# by the icon pipeline and compressed for the network.
foreach(size 32 192 512)
  set(png ${QVL_WEB_DIR}/icons/qvlfest-${size}.png)
  add_custom_command(
    OUTPUT ${png}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${QVL_WEB_DIR}/icons
    COMMAND ${CMAKE_COMMAND} -E copy ${QVL_ICON_DIR}/qvlfest-${size}.png ${png}
    DEPENDS ${QVL_ICON_DIR}/qvlfest-${size}.png VERBATIM)
  list(APPEND site_files ${png})
endforeach()
add_custom_command(
  OUTPUT ${QVL_WEB_DIR}/about.png
  COMMAND ${CMAKE_COMMAND} -E copy ${QVL_ICON_DIR}/about-32.png ${QVL_WEB_DIR}/about.png
  DEPENDS ${QVL_ICON_DIR}/about-32.png VERBATIM)
list(APPEND site_files ${QVL_WEB_DIR}/about.png)
# The message boxes' icons.
foreach(icon critical question exclamation information)
  set(svg ${QVL_WEB_DIR}/icons/${icon}.svg)
  add_custom_command(
    OUTPUT ${svg}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${QVL_WEB_DIR}/icons
    COMMAND ${CMAKE_COMMAND} -E copy ${web}/box/${icon}.svg ${svg}
    DEPENDS ${web}/box/${icon}.svg VERBATIM)
  list(APPEND site_files ${svg})
endforeach()

# The page side of the bridge, with the numbers of bridge.def that page.h
# also reads.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${web}/bridge.def)
file(STRINGS ${web}/bridge.def bridge_lines REGEX "^QVL_(EVENT|NUMBER)\\(")
set(QVL_BRIDGE_EVENTS)
set(QVL_BRIDGE_NUMBERS)
foreach(line ${bridge_lines})
  string(REGEX MATCH "^QVL_(EVENT|NUMBER)\\(([A-Za-z]+), *(-?[0-9]+)\\)" _ "${line}")
  string(APPEND QVL_BRIDGE_${CMAKE_MATCH_1}S "${CMAKE_MATCH_2}: ${CMAKE_MATCH_3}, ")
endforeach()
set(toolkit_js ${CMAKE_BINARY_DIR}/web/toolkit.js)
configure_file(${web}/toolkit.js ${toolkit_js} @ONLY)

add_library(qvl_web STATIC ${web}/page.cpp ${web}/web_canvas.cpp ${web}/web_system.cpp
                           ${web}/web_toolkit.cpp ${faces_inc})
target_include_directories(qvl_web PRIVATE ${CMAKE_BINARY_DIR}/web)
target_link_libraries(qvl_web PUBLIC qvl_core)

# qvl_web_page(<target> <page> <module> <title> <plain font> [<main> [<library>]]):
# a page in QVL_WEB_DIR, whose program starts in <main> (the forms' own
# start-up unless given).
function(qvl_web_page target page module title plain_font)
  set(main ${web}/main.cpp)
  if(ARGC GREATER 5)
    set(main ${ARGV5})
  endif()
  add_executable(${target} ${main})
  target_compile_definitions(${target} PRIVATE QVLFEST_PLAIN_FONT=${plain_font})
  target_link_libraries(${target} PRIVATE qvl_web ${ARGV6})
  set_target_properties(${target} PROPERTIES OUTPUT_NAME ${module} SUFFIX .js
                                             RUNTIME_OUTPUT_DIRECTORY ${QVL_WEB_DIR})
  # The program's own message loop suspends while it waits for the page
  # (Asyncify). Its memory starts small and grows when needed: the forms
  # need little, and a page's memory is part of its cost.
  target_link_options(${target} PRIVATE
    -fexceptions -sASYNCIFY -sASYNCIFY_IMPORTS=['js_wait_event'] -sASYNCIFY_STACK_SIZE=65536 -sENVIRONMENT=web
    -sALLOW_MEMORY_GROWTH=1 -sINITIAL_MEMORY=192KB -sTOTAL_STACK=64KB -sMALLOC=emmalloc
    -sFILESYSTEM=0 -sTEXTDECODER=2 -sSUPPORT_LONGJMP=0
    --pre-js ${toolkit_js})
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${toolkit_js})
  add_custom_command(TARGET ${target} PRE_LINK
                     COMMAND ${CMAKE_COMMAND} -E make_directory ${QVL_WEB_DIR})
  set(QVL_PAGE_FILE ${page}.html)
  set(QVL_PAGE_TITLE "${title}")
  set(QVL_MODULE ${module})
  # Made here and copied, so that the site can be removed and built again.
  foreach(made "page.html.in|${page}.html" "manifest.webmanifest.in|${module}.webmanifest")
    string(REPLACE "|" ";" parts "${made}")
    list(GET parts 0 from)
    list(GET parts 1 to)
    configure_file(${web}/${from} ${CMAKE_BINARY_DIR}/web/${to} @ONLY)
    add_custom_command(
      OUTPUT ${QVL_WEB_DIR}/${to}
      COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_BINARY_DIR}/web/${to} ${QVL_WEB_DIR}/${to}
      DEPENDS ${CMAKE_BINARY_DIR}/web/${to} VERBATIM)
  endforeach()
  # The glue and the WebAssembly are made by the link, which CMake does not
  # know as files.
  set(page_groups ${page_groups} --page ${QVL_WEB_DIR}/${page}.html
                  ${QVL_WEB_DIR}/${module}.webmanifest ${QVL_WEB_DIR}/${module}.js
                  ${QVL_WEB_DIR}/${module}.wasm PARENT_SCOPE)
  set(page_outputs ${page_outputs} ${QVL_WEB_DIR}/${page}.html ${QVL_WEB_DIR}/${module}.webmanifest
                   PARENT_SCOPE)
endfunction()

qvl_web_page(qvlfest_web_lcars index qvlfest "QVLFEST" 0)
qvl_web_page(qvlfest_web_plain non-lcars qvlfest-non-lcars "QVLFEST (Non-LCARS)" 1)

# The service worker keeps every file above by its contents' hash, so that a
# changed file is a new release.
add_custom_command(
  OUTPUT ${QVL_WEB_DIR}/sw.js
  COMMAND ${QVL_PYTHON} ${web}/offline.py write ${web}/sw.js ${QVL_WEB_DIR} ${site_files}
          ${page_groups}
  DEPENDS ${web}/offline.py ${web}/sw.js ${site_files} ${page_outputs} qvlfest_web_lcars
          qvlfest_web_plain)
add_custom_target(qvl_web_site ALL DEPENDS ${QVL_WEB_DIR}/sw.js)
