# The Linux programs on Qt 6 Widgets, both build variants, and everything a
# distribution installs with them.
find_package(Qt6 REQUIRED COMPONENTS Widgets)
# Asks the Wayland compositor what Qt does not tell (app/qt/wayland_compositor.h).
find_package(PkgConfig REQUIRED)
pkg_check_modules(WAYLAND_CLIENT REQUIRED IMPORTED_TARGET wayland-client)
qvl_icons()

add_library(qvl_qt STATIC
  app/qt/form_widget.cpp
  app/qt/icons.cpp
  app/qt/qt_canvas.cpp
  app/qt/qt_system.cpp
  app/qt/qt_toolkit.cpp
  app/qt/wayland_compositor.cpp
  ${QVL_ICON_SOURCES})
target_link_libraries(qvl_qt PUBLIC qvl_core qvl_posix Qt6::Widgets PRIVATE PkgConfig::WAYLAND_CLIENT)

function(qvl_linux_program target output_name plain_font)
  add_executable(${target} app/qt/main.cpp)
  set_target_properties(${target} PROPERTIES OUTPUT_NAME "${output_name}")
  target_compile_definitions(${target} PRIVATE QVLFEST_PLAIN_FONT=${plain_font}
                                               QVLFEST_DESKTOP_ID="${output_name}")
  target_link_libraries(${target} PRIVATE qvl_qt)
  install(TARGETS ${target} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES packaging/linux/${output_name}.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
endfunction()

qvl_linux_program(qvlfest_linux_lcars "qvlfest" 0)
qvl_linux_program(qvlfest_linux_plain "qvlfest-non-lcars" 1)

# The icon theme's images, AppStream metadata, the manual page (one page for
# both commands), the copyright and the changelog.
foreach(size 16 32 48 256)
  install(FILES ${QVL_ICON_DIR}/qvlfest-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME qvlfest.png)
endforeach()
install(FILES packaging/linux/qvlfest.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo
        RENAME org.qvlfest.QVLFEST.metainfo.xml)

# Dates come from SOURCE_DATE_EPOCH, else the last commit, else a fixed day.
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  set(qvl_epoch $ENV{SOURCE_DATE_EPOCH})
else()
  execute_process(COMMAND git log -1 --format=%ct WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
                  OUTPUT_VARIABLE qvl_epoch OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  if(NOT qvl_epoch)
    set(qvl_epoch 1334997900)  # 21 April 2012, 10:45 (UTC)
  endif()
endif()
set(QVL_PACKAGE_VERSION ${QVL_VERSION_MAJOR}.${QVL_VERSION_MINOR}.${QVL_REVISION_PLAIN_FONT})
if(QVL_REVISION_LCARS_FONT GREATER QVL_REVISION_PLAIN_FONT)
  set(QVL_PACKAGE_VERSION ${QVL_VERSION_MAJOR}.${QVL_VERSION_MINOR}.${QVL_REVISION_LCARS_FONT})
endif()
execute_process(COMMAND date -u -R -d @${qvl_epoch} OUTPUT_VARIABLE QVL_PACKAGE_DATE
                OUTPUT_STRIP_TRAILING_WHITESPACE)
set(docs ${CMAKE_BINARY_DIR}/docs)
configure_file(packaging/linux/changelog ${docs}/changelog @ONLY)
set(gzipped)
foreach(entry "${CMAKE_SOURCE_DIR}/packaging/linux/qvlfest.1|qvlfest.1.gz" "${docs}/changelog|changelog.gz")
  string(REPLACE "|" ";" parts ${entry})
  list(GET parts 0 from)
  list(GET parts 1 to)
  add_custom_command(OUTPUT ${docs}/${to} COMMAND gzip -9n -c ${from} > ${docs}/${to} DEPENDS ${from})
  list(APPEND gzipped ${docs}/${to})
endforeach()
add_custom_target(qvl_docs ALL DEPENDS ${gzipped} qvl_icons)
install(FILES ${docs}/qvlfest.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(CODE "file(CREATE_LINK qvlfest.1.gz
  \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_MANDIR}/man1/qvlfest-non-lcars.1.gz\" SYMBOLIC)")
install(FILES packaging/linux/copyright ${docs}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/qvlfest)
