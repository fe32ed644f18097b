# The icons are drawn as text (resources/<name>_icon.txt). A small tool of
# ours, built for the build machine whatever the target (Windows, Linux or
# the web), turns each drawing into an .ico file, and the program's icon into
# PNGs scaled up by whole factors. One pipeline for every platform:
#
#   qvl_icons()   sets QVL_ICON_DIR (the files), QVL_ICON_SOURCES (C++ files
#                 that carry them as data, for toolkits that link them in)
#                 and a target qvl_icons that makes them all.
#
# Files: <name>.ico for each drawing; qvlfest-<size>.png for each size below,
# and about-32.png; the PNGs compressed (tools/png_compress.py).
set(QVL_ICON_DIR ${CMAKE_BINARY_DIR}/icons)
set(QVL_ICON_PNG_SIZES 16 32 48 192 256 512)

function(qvl_icons)
  find_program(QVL_HOST_CXX NAMES g++ c++ REQUIRED NO_CMAKE_FIND_ROOT_PATH)
  set(compiler ${CMAKE_BINARY_DIR}/icon_compiler)
  set(source ${CMAKE_SOURCE_DIR}/tools/icon_compiler.cpp)
  add_custom_command(
    OUTPUT ${compiler}
    COMMAND ${QVL_HOST_CXX} -std=c++17 -O1 -Wall -Wextra -Werror -o ${compiler} ${source}
    DEPENDS ${source}
    COMMENT "Building the icon compiler for the build machine")
  set(outputs)
  set(sources)
  # name, the symbol of its .ico as data, the drawing
  foreach(entry "qvlfest|kProgramIco" "about|kAboutIco")
    string(REPLACE "|" ";" parts ${entry})
    list(GET parts 0 name)
    list(GET parts 1 symbol)
    set(drawing ${CMAKE_SOURCE_DIR}/resources/${name}_icon.txt)
    add_custom_command(
      OUTPUT ${QVL_ICON_DIR}/${name}.ico
      COMMAND ${CMAKE_COMMAND} -E make_directory ${QVL_ICON_DIR}
      COMMAND ${compiler} ${drawing} ${QVL_ICON_DIR}/${name}.ico
      DEPENDS ${compiler} ${drawing})
    qvl_embed(${QVL_ICON_DIR}/${name}.ico ${symbol})
    list(APPEND outputs ${QVL_ICON_DIR}/${name}.ico)
  endforeach()
  find_program(QVL_HOST_PYTHON NAMES python3 REQUIRED NO_CMAKE_FIND_ROOT_PATH)
  set(pngs)
  foreach(size ${QVL_ICON_PNG_SIZES})
    list(APPEND pngs "qvlfest|${size}")
  endforeach()
  foreach(entry ${pngs} "about|32")
    string(REPLACE "|" ";" parts ${entry})
    list(GET parts 0 name)
    list(GET parts 1 size)
    set(png ${QVL_ICON_DIR}/${name}-${size}.png)
    add_custom_command(
      OUTPUT ${png}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${QVL_ICON_DIR}
      COMMAND ${compiler} --png ${size} ${CMAKE_SOURCE_DIR}/resources/${name}_icon.txt ${png}.plain
      COMMAND ${QVL_HOST_PYTHON} ${CMAKE_SOURCE_DIR}/tools/png_compress.py ${png}.plain ${png}
      DEPENDS ${compiler} ${CMAKE_SOURCE_DIR}/resources/${name}_icon.txt
              ${CMAKE_SOURCE_DIR}/tools/png_compress.py)
    list(APPEND outputs ${png})
  endforeach()
  # The Linux windows also carry the larger images the theme installs.
  foreach(size 48 256)
    qvl_embed(${QVL_ICON_DIR}/qvlfest-${size}.png kProgramPng${size})
  endforeach()
  add_custom_target(qvl_icons DEPENDS ${outputs})
  set(QVL_ICON_SOURCES ${sources} PARENT_SCOPE)
endfunction()

# A file as a C++ array named `symbol`, in namespace qvl.
macro(qvl_embed file symbol)
  get_filename_component(_qvl_name ${file} NAME)
  set(_qvl_cpp ${QVL_ICON_DIR}/${_qvl_name}.cpp)
  add_custom_command(
    OUTPUT ${_qvl_cpp}
    COMMAND ${CMAKE_COMMAND} -DINPUT=${file} -DOUTPUT=${_qvl_cpp} -DNAME=${symbol}
            -P ${CMAKE_SOURCE_DIR}/cmake/embed.cmake
    DEPENDS ${file} ${CMAKE_SOURCE_DIR}/cmake/embed.cmake)
  list(APPEND sources ${_qvl_cpp})
endmacro()
