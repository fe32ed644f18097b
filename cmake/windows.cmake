# The Windows program: the Win32 toolkit, resources and both build variants.
enable_language(RC)

# The icons are drawn as text; a small tool of ours, built for the build
# machine, turns them into .ico files.
find_program(HOST_CXX NAMES g++ c++ REQUIRED NO_CMAKE_FIND_ROOT_PATH)
set(ICON_COMPILER ${CMAKE_BINARY_DIR}/icon_compiler)
add_custom_command(
  OUTPUT ${ICON_COMPILER}
  COMMAND ${HOST_CXX} -std=c++17 -O1 -Wall -Wextra -Werror
          -o ${ICON_COMPILER} ${CMAKE_SOURCE_DIR}/tools/icon_compiler.cpp
  DEPENDS ${CMAKE_SOURCE_DIR}/tools/icon_compiler.cpp
  COMMENT "Building the icon compiler for the build machine")
set(ICON_DIR ${CMAKE_BINARY_DIR}/icons)
foreach(icon qvlfest about)
  add_custom_command(
    OUTPUT ${ICON_DIR}/${icon}.ico
    COMMAND ${CMAKE_COMMAND} -E make_directory ${ICON_DIR}
    COMMAND ${ICON_COMPILER} ${CMAKE_SOURCE_DIR}/resources/${icon}_icon.txt ${ICON_DIR}/${icon}.ico
    DEPENDS ${ICON_COMPILER} ${CMAKE_SOURCE_DIR}/resources/${icon}_icon.txt)
endforeach()
add_custom_target(qvl_icons DEPENDS ${ICON_DIR}/qvlfest.ico ${ICON_DIR}/about.ico)

add_library(qvl_win32 STATIC
  app/win32/controls.cpp
  app/win32/fonts.cpp
  app/win32/form_window.cpp
  app/win32/gdi_canvas.cpp
  app/win32/win32_system.cpp
  app/win32/win32_toolkit.cpp)
target_link_libraries(qvl_win32 PUBLIC qvl_core user32 gdi32)

# Small and self-contained: size flags for the product, static runtime from
# the toolchain file.
set(QVL_PRODUCT_FLAGS -Os -ffunction-sections -fdata-sections)
target_compile_options(qvl_core PRIVATE $<$<COMPILE_LANGUAGE:CXX>:${QVL_PRODUCT_FLAGS}>)
target_compile_options(qvl_win32 PRIVATE $<$<COMPILE_LANGUAGE:CXX>:${QVL_PRODUCT_FLAGS}>)

function(qvl_program target output_name plain_font)
  add_executable(${target} WIN32 app/win32/main.cpp resources/qvlfest.rc)
  add_dependencies(${target} qvl_icons)
  set_target_properties(${target} PROPERTIES OUTPUT_NAME "${output_name}")
  target_compile_definitions(${target} PRIVATE QVLFEST_PLAIN_FONT=${plain_font})
  target_compile_options(${target} PRIVATE $<$<COMPILE_LANGUAGE:CXX>:${QVL_PRODUCT_FLAGS}>)
  target_include_directories(${target} PRIVATE ${CMAKE_SOURCE_DIR} ${ICON_DIR})
  target_link_options(${target} PRIVATE -Wl,--gc-sections -s)
  target_link_libraries(${target} PRIVATE qvl_win32)
endfunction()

qvl_program(qvlfest_lcars "QVLFEST" 0)
qvl_program(qvlfest_plain "QVLFEST (Non-LCARS)" 1)

# The benchmark's baseline, built with the product's flags, and its driver.
add_executable(qvl_bench_baseline WIN32 bench/baseline/baseline.cpp)
target_include_directories(qvl_bench_baseline PRIVATE ${CMAKE_SOURCE_DIR})
target_compile_options(qvl_bench_baseline PRIVATE ${QVL_PRODUCT_FLAGS})
target_link_options(qvl_bench_baseline PRIVATE -Wl,--gc-sections -s)
target_link_libraries(qvl_bench_baseline PRIVATE user32 gdi32)
add_executable(qvl_bench_driver bench/driver.cpp)
target_include_directories(qvl_bench_driver PRIVATE ${CMAKE_SOURCE_DIR})
