# The PostgreSQL backend talks to its server through libpq (Debian's
# libpq-dev). The shared library links it too, as it links SQLite.
pkg_check_modules(LIBPQ REQUIRED IMPORTED_TARGET libpq)
target_link_libraries(${PAYROLL_MODULE_TARGET} PUBLIC PkgConfig::LIBPQ)
if(TARGET payroll)
    target_link_libraries(payroll PRIVATE PkgConfig::LIBPQ)
endif()
