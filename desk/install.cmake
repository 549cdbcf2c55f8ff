# What `cmake --install` adds for the desktop program (component "desk", the
# Debian package payroll-desk): the program, the Qt driver library, a desktop
# entry and an icon. Its language files come with the library's resources.
include(GNUInstallDirs)
if(NOT CMAKE_INSTALL_PREFIX STREQUAL "/usr")
    file(RELATIVE_PATH _desk_bin_to_lib ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_FULL_LIBDIR})
    set_target_properties(payroll_desk PROPERTIES INSTALL_RPATH "$ORIGIN/${_desk_bin_to_lib}")
    set_target_properties(payroll_qt PROPERTIES INSTALL_RPATH "$ORIGIN")
endif()
install(TARGETS payroll_desk RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT desk)
install(TARGETS payroll_qt LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT desk
    NAMELINK_SKIP)
install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/payroll-desk.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT desk)
install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/payroll-desk.svg
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps COMPONENT desk)
