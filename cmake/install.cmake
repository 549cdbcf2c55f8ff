# What `cmake --install` puts under the prefix, for hosts to build against:
#   lib/libpayroll.so.0 and lib/libpayroll-print.so.0 (and their .so links),
#   include/payroll/*.h,
#   bin/payroll with its man page and bash completion,
#   share/payroll/ (schema.sql, lang/, dialogs/, demo/),
#   lib/cmake/payroll/ (find_package(payroll CONFIG) -> payroll::payroll and
#   payroll::print), lib/pkgconfig/payroll.pc and payroll-print.pc.
# GNUInstallDirs picks Debian's multiarch library folder for the /usr prefix.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(PAYROLL_SOVERSION 0)
set(PAYROLL_INSTALL_DATADIR ${CMAKE_INSTALL_DATADIR}/payroll)
set(PAYROLL_INSTALL_CMAKEDIR ${CMAKE_INSTALL_LIBDIR}/cmake/payroll)
set(_payroll_generated ${PROJECT_BINARY_DIR}/generated)

# payroll/version.h, generated beside the public headers.
configure_file(${PROJECT_SOURCE_DIR}/cmake/version.h.in
               ${_payroll_generated}/include/payroll/version.h @ONLY)

# The shared library's interface: its headers from the source tree while
# building, from the prefix once installed.
set_target_properties(payroll PROPERTIES
    INTERFACE_INCLUDE_DIRECTORIES
        "$<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}/include>;$<BUILD_INTERFACE:${_payroll_generated}/include>;$<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>"
    SOVERSION ${PAYROLL_SOVERSION})
target_compile_features(payroll INTERFACE cxx_std_20)
add_library(payroll::payroll ALIAS payroll)

# The library looks for its resources next to itself first (the installed
# share/payroll, wherever the prefix was moved), then in the folder it was
# configured to be installed in, then in the source tree.
file(RELATIVE_PATH _payroll_lib_to_data ${CMAKE_INSTALL_FULL_LIBDIR}
     ${CMAKE_INSTALL_FULL_DATADIR}/payroll)
target_compile_definitions(payroll_registry PRIVATE
    PAYROLL_INSTALL_RESOURCES="${CMAKE_INSTALL_FULL_DATADIR}/payroll"
    PAYROLL_RESOURCES_FROM_LIBDIR="${_payroll_lib_to_data}"
    PAYROLL_BUILD_DIR="${PROJECT_BINARY_DIR}")

# The host program finds the library of its own prefix without ldconfig
# (a staging prefix, /usr/local); Debian's /usr needs no search path.
if(NOT CMAKE_INSTALL_PREFIX STREQUAL "/usr")
    file(RELATIVE_PATH _payroll_bin_to_lib ${CMAKE_INSTALL_FULL_BINDIR}
         ${CMAKE_INSTALL_FULL_LIBDIR})
    set_target_properties(payroll_cli PROPERTIES INSTALL_RPATH "$ORIGIN/${_payroll_bin_to_lib}")
    set_target_properties(payroll_print PROPERTIES INSTALL_RPATH "$ORIGIN")
endif()
target_include_directories(payroll_cli PRIVATE ${_payroll_generated}/include)

install(TARGETS payroll payroll_print EXPORT payrollTargets
    LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT runtime NAMELINK_COMPONENT development)
install(TARGETS payroll_cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT runtime)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/include/payroll ${_payroll_generated}/include/payroll
    DESTINATION ${CMAKE_INSTALL_INCLUDEDIR} COMPONENT development
    FILES_MATCHING PATTERN "*.h")
install(DIRECTORY ${PROJECT_SOURCE_DIR}/resources/
    DESTINATION ${PAYROLL_INSTALL_DATADIR} COMPONENT runtime)

# CMake package.
install(EXPORT payrollTargets NAMESPACE payroll:: DESTINATION ${PAYROLL_INSTALL_CMAKEDIR}
    COMPONENT development)
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/payrollConfig.cmake.in
    ${_payroll_generated}/payrollConfig.cmake
    INSTALL_DESTINATION ${PAYROLL_INSTALL_CMAKEDIR}
    PATH_VARS PAYROLL_INSTALL_DATADIR)
write_basic_package_version_file(${_payroll_generated}/payrollConfigVersion.cmake
    VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${_payroll_generated}/payrollConfig.cmake
              ${_payroll_generated}/payrollConfigVersion.cmake
    DESTINATION ${PAYROLL_INSTALL_CMAKEDIR} COMPONENT development)

# pkg-config files (payroll.pc; payroll-print.pc, which requires it), written
# when installing so that they name the prefix the
# files really went to (cmake --install --prefix may differ from the
# configured one). Each install writes its own scratch copy, so installs of
# one build tree into several prefixes at once cannot mix their prefixes.
set(_payroll_pc_scratch ${_payroll_generated}/install)
if(IS_ABSOLUTE "${CMAKE_INSTALL_LIBDIR}")
    set(_payroll_pc_dir "${CMAKE_INSTALL_LIBDIR}/pkgconfig")
else()
    set(_payroll_pc_dir "\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_LIBDIR}/pkgconfig")
endif()
install(CODE "
    set(PC_PREFIX \"\${CMAKE_INSTALL_PREFIX}\")
    set(PC_LIBDIR \"${CMAKE_INSTALL_LIBDIR}\")
    set(PC_INCLUDEDIR \"${CMAKE_INSTALL_INCLUDEDIR}\")
    set(PC_DATADIR \"${CMAKE_INSTALL_DATADIR}\")
    set(PC_VERSION \"${PROJECT_VERSION}\")
    string(RANDOM LENGTH 12 _pc_tag)
    string(TIMESTAMP _pc_time \"%s%f\")
    set(_pc_scratch \"${_payroll_pc_scratch}/\${_pc_time}-\${_pc_tag}\")
    foreach(_pc payroll payroll-print)
        configure_file(\"${PROJECT_SOURCE_DIR}/cmake/\${_pc}.pc.in\" \"\${_pc_scratch}/\${_pc}.pc\" @ONLY)
        file(INSTALL \"\${_pc_scratch}/\${_pc}.pc\" DESTINATION \"${_payroll_pc_dir}\")
    endforeach()
    file(REMOVE_RECURSE \"\${_pc_scratch}\")
" COMPONENT development)

include(${PROJECT_SOURCE_DIR}/cmake/host_program.cmake)
include(${PROJECT_SOURCE_DIR}/cmake/docs.cmake)
include(${PROJECT_SOURCE_DIR}/cmake/packaging.cmake)
