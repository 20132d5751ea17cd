# Installation on Linux, as the Debian package lays it out (scripts/package builds the package).
# The programs look for their settings beside themselves, so they get a folder of their own under
# lib/sayolt; the files they write there are links into the state folder, where the group sayolt
# may write. Our writes follow the links, so the links stay.
if(NOT SAYOLT_WITH_QT OR NOT CMAKE_SYSTEM_NAME STREQUAL "Linux")
  return()
endif()

include(GNUInstallDirs)

set(SAYOLT_PACKAGE_MAINTAINER "Sayolt developers <sayolt@example.org>"
    CACHE STRING "Maintainer named in the Debian package")

set(sayolt_program_dir lib/sayolt)
# Fixed places, named by the maintainer scripts and the guide; the install prefix moves only the
# static files.
set(sayolt_state_dir /var/lib/sayolt)
set(sayolt_autostart_dir /etc/xdg/autostart)
set(sayolt_linux_dir ${PROJECT_SOURCE_DIR}/packaging/linux)
# Named after the package, not the project.
set(sayolt_doc_dir ${CMAKE_INSTALL_DATADIR}/doc/sayolt)

install(TARGETS sayolt_scheduler sayolt_editor RUNTIME DESTINATION ${sayolt_program_dir})
install(TARGETS sayolt_plan RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# A menu entry's command line is ASCII by the desktop entry rules.
set(sayolt_links
    "sayolt-settings=$<TARGET_FILE_NAME:sayolt_editor>"
    "Sayolt設定.ini=${sayolt_state_dir}/Sayolt設定.ini"
    "NTP_Error.txt=${sayolt_state_dir}/NTP_Error.txt"
    "Sayolt予定表.xls=${sayolt_state_dir}/Sayolt予定表.xls")
foreach(link IN LISTS sayolt_links)
  string(REPLACE "=" ";" link "${link}")
  list(GET link 0 name)
  list(GET link 1 target)
  install(CODE "file(CREATE_LINK \"${target}\" \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${sayolt_program_dir}/${name}\" SYMBOLIC)")
endforeach()

install(FILES ${PROJECT_SOURCE_DIR}/examples/Sayolt設定.ini DESTINATION ${CMAKE_INSTALL_DATADIR}/sayolt)
install(FILES ${sayolt_linux_dir}/sayolt-settings.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${sayolt_linux_dir}/sayolt.desktop DESTINATION ${sayolt_autostart_dir})
install(FILES ${sayolt_linux_dir}/sayolt.svg ${sayolt_linux_dir}/sayolt-settings.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${sayolt_linux_dir}/sayolt-plan.bash DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions
        RENAME sayolt-plan)
install(FILES ${sayolt_linux_dir}/sayolt-plan.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${sayolt_linux_dir}/copyright DESTINATION ${sayolt_doc_dir})
install(FILES ${PROJECT_SOURCE_DIR}/docs/ja/使い方.md DESTINATION ${sayolt_doc_dir}/ja)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/screenshots DESTINATION ${sayolt_doc_dir} FILES_MATCHING
        PATTERN "*.png")

# What only the Debian package needs; scripts/package assembles it.
set(MAINTAINER "${SAYOLT_PACKAGE_MAINTAINER}")
configure_file(${sayolt_linux_dir}/control.in ${PROJECT_BINARY_DIR}/packaging/control @ONLY)
configure_file(${sayolt_linux_dir}/changelog.in ${PROJECT_BINARY_DIR}/packaging/changelog @ONLY)
