# The Windows program: the Win32 toolkit, resources and both build variants.
enable_language(RC)
qvl_icons()

# Each build's manifest carries its own version, as its version resource does.
foreach(build "lcars|${QVL_REVISION_LCARS_FONT}" "plain|${QVL_REVISION_PLAIN_FONT}")
  string(REPLACE "|" ";" parts ${build})
  list(GET parts 0 name)
  list(GET parts 1 QVL_REVISION)
  configure_file(resources/app.manifest ${CMAKE_BINARY_DIR}/manifests/${name}.manifest @ONLY)
endforeach()

add_library(qvl_win32 STATIC
  app/win32/accessibility.cpp
  app/win32/controls.cpp
  app/win32/fonts.cpp
  app/win32/form_window.cpp
  app/win32/gdi_canvas.cpp
  app/win32/win32_system.cpp
  app/win32/win32_toolkit.cpp)
target_link_libraries(qvl_win32 PUBLIC qvl_core user32 gdi32)

# Small and self-contained: size flags for the product, static runtime from
# the toolchain file; no time stamp in the executable's header, so that the
# same sources give the same bytes.
set(QVL_PRODUCT_FLAGS -Os -ffunction-sections -fdata-sections)
set(QVL_PRODUCT_LINK_FLAGS -Wl,--gc-sections -Wl,--no-insert-timestamp -s)
target_compile_options(qvl_core PRIVATE $<$<COMPILE_LANGUAGE:CXX>:${QVL_PRODUCT_FLAGS}>)
target_compile_options(qvl_win32 PRIVATE $<$<COMPILE_LANGUAGE:CXX>:${QVL_PRODUCT_FLAGS}>)

function(qvl_program target output_name plain_font)
  add_executable(${target} WIN32 app/win32/main.cpp resources/qvlfest.rc)
  add_dependencies(${target} qvl_icons)
  set_target_properties(${target} PROPERTIES OUTPUT_NAME "${output_name}")
  target_compile_definitions(${target} PRIVATE QVLFEST_PLAIN_FONT=${plain_font})
  target_compile_options(${target} PRIVATE $<$<COMPILE_LANGUAGE:CXX>:${QVL_PRODUCT_FLAGS}>)
  target_include_directories(${target} PRIVATE ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR} ${QVL_ICON_DIR})
  target_link_options(${target} PRIVATE ${QVL_PRODUCT_LINK_FLAGS})
  target_link_libraries(${target} PRIVATE qvl_win32)
  install(TARGETS ${target} RUNTIME DESTINATION .)
endfunction()

qvl_program(qvlfest_lcars "QVLFEST" 0)
qvl_program(qvlfest_plain "QVLFEST (Non-LCARS)" 1)
