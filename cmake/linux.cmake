# The Linux programs on Qt 6 Widgets, both build variants.
find_package(Qt6 REQUIRED COMPONENTS Widgets)

# The icons are drawn as text; the icon compiler turns them into .ico files,
# which are linked in as data.
add_executable(qvl_icon_compiler tools/icon_compiler.cpp)
set(ICON_DIR ${CMAKE_BINARY_DIR}/icons)
set(ICON_SOURCES)
foreach(entry "qvlfest|kProgramIco" "about|kAboutIco")
  string(REPLACE "|" ";" parts ${entry})
  list(GET parts 0 icon)
  list(GET parts 1 symbol)
  add_custom_command(
    OUTPUT ${ICON_DIR}/${icon}.ico ${ICON_DIR}/${icon}_ico.cpp
    COMMAND ${CMAKE_COMMAND} -E make_directory ${ICON_DIR}
    COMMAND qvl_icon_compiler ${CMAKE_SOURCE_DIR}/resources/${icon}_icon.txt ${ICON_DIR}/${icon}.ico
    COMMAND ${CMAKE_COMMAND} -DINPUT=${ICON_DIR}/${icon}.ico -DOUTPUT=${ICON_DIR}/${icon}_ico.cpp
            -DNAME=${symbol} -P ${CMAKE_SOURCE_DIR}/cmake/embed.cmake
    DEPENDS qvl_icon_compiler ${CMAKE_SOURCE_DIR}/resources/${icon}_icon.txt
            ${CMAKE_SOURCE_DIR}/cmake/embed.cmake)
  list(APPEND ICON_SOURCES ${ICON_DIR}/${icon}_ico.cpp)
endforeach()

add_library(qvl_qt STATIC
  app/qt/form_widget.cpp
  app/qt/icons.cpp
  app/qt/qt_canvas.cpp
  app/qt/qt_system.cpp
  app/qt/qt_toolkit.cpp
  ${ICON_SOURCES})
target_link_libraries(qvl_qt PUBLIC qvl_core qvl_posix Qt6::Widgets)

function(qvl_linux_program target output_name plain_font)
  add_executable(${target} app/qt/main.cpp)
  set_target_properties(${target} PROPERTIES OUTPUT_NAME "${output_name}")
  target_compile_definitions(${target} PRIVATE QVLFEST_PLAIN_FONT=${plain_font}
                                               QVLFEST_DESKTOP_ID="${output_name}")
  target_link_libraries(${target} PRIVATE qvl_qt)
  install(TARGETS ${target} RUNTIME DESTINATION bin)
endfunction()

qvl_linux_program(qvlfest_linux_lcars "qvlfest" 0)
qvl_linux_program(qvlfest_linux_plain "qvlfest-non-lcars" 1)

# The benchmark's yardstick, built with the product's flags, and its driver.
add_executable(qvl_qt_baseline bench/qt_baseline/baseline.cpp)
target_link_libraries(qvl_qt_baseline PRIVATE Qt6::Widgets)
find_package(X11 REQUIRED)
add_executable(qvl_linux_driver bench/linux_driver.cpp)
target_link_libraries(qvl_linux_driver PRIVATE X11::X11)
