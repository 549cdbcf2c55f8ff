# `make package`: one Debian package, payroll_<version>-1_<arch>.deb, with the
# library and the papers' library (libpayroll-print), their headers, CMake
# and pkg-config files, the host program and the resources. Its dependencies
# on Debian's runtime libraries (libsqlite3-0, libpq5, libncursesw6,
# libcairo2, libpango-1.0-0, libfontconfig1, libxlsxwriter4, libstdc++6,
# libc6 ...) come from dpkg-shlibdeps, at the versions the build machine's
# symbols files ask for.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME payroll)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "payroll")
set(CPACK_PACKAGE_CONTACT "payroll maintainers <payroll@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Korean payroll calculation library and its host program")
set(CPACK_PACKAGE_DESCRIPTION
    "libpayroll builds pay runs, recalculates the monthly income tax of a year and
taxes bonus runs on a SQLite or PostgreSQL database. The package holds the
shared library with its C++ headers, CMake package and pkg-config file, the
library that prints the month's papers as PDF and writes them as CSV or
XLSX (libpayroll-print), the
`payroll` host program and the schema and language resources.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION libs)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The host program needs the library of this same package: dpkg-shlibdeps
# finds it in the package's own tree instead of asking for another package.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS
    ${CPACK_PACKAGING_INSTALL_PREFIX}/${CMAKE_INSTALL_LIBDIR})
# A shlibs file and the ldconfig trigger for libpayroll.so.0 and
# libpayroll-print.so.0.
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "bash-completion")
# The papers (payroll payslips, register, ledger; payroll-desk's File >
# Print to PDF) embed its Korean font.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-nanum")

# With the desktop program built, a second package payroll-desk (component
# "desk": payroll-desk, libpayroll-qt, its desktop entry and icon) that
# depends on this one.
if(TARGET payroll_desk)
    set(CPACK_DEB_COMPONENT_INSTALL ON)
    set(CPACK_COMPONENTS_ALL runtime development desk)
    set(CPACK_COMPONENT_RUNTIME_GROUP base)
    set(CPACK_COMPONENT_DEVELOPMENT_GROUP base)
    set(CPACK_COMPONENT_DESK_GROUP desk)
    set(CPACK_DEBIAN_BASE_PACKAGE_NAME payroll)
    set(CPACK_DEBIAN_DESK_PACKAGE_NAME payroll-desk)
    set(CPACK_DEBIAN_DESK_PACKAGE_SECTION misc)
    # Its programs need libpayroll.so.0 and libpayroll-print.so.0 of the other
    # package: dpkg-shlibdeps finds them in the build tree (the dependency on
    # payroll is stated below).
    list(APPEND CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${PROJECT_BINARY_DIR}
         ${PROJECT_BINARY_DIR}/print)
    set(CPACK_DEBIAN_DESK_PACKAGE_DEPENDS "payroll (= ${PROJECT_VERSION}-1), fonts-nanum")
    # Each package's description carries its own summary line.
    set(CPACK_DEBIAN_BASE_DESCRIPTION
        "${CPACK_PACKAGE_DESCRIPTION_SUMMARY}\n${CPACK_PACKAGE_DESCRIPTION}")
    set(CPACK_DEBIAN_DESK_DESCRIPTION "Desktop program of the payroll library (Qt 6)
payroll-desk opens a payroll database, picks a pay run, builds it,
recalculates income tax, taxes bonuses and shows a month's results and the
year's pay in windows, and prints the month's papers to PDF.")
    unset(CPACK_PACKAGE_DESCRIPTION_SUMMARY)
endif()

include(CPack)
