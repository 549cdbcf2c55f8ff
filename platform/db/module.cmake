# The PostgreSQL backend talks to its server through libpq (Debian's
# libpq-dev); the shared library links it too, as it links SQLite.
pkg_check_modules(LIBPQ REQUIRED IMPORTED_TARGET libpq)

# The database component: the one connection, its backends and the road report.
payroll_module(payroll_db
    SOURCES
        connection.cpp
        datasource.cpp
        host_api.cpp
        number_text.cpp
        open_backend.cpp
        pg_insert_merge.cpp
        pg_link.cpp
        pg_url.cpp
        pg_values.cpp
        postgres_backend.cpp
        read_reuse.cpp
        result_set.cpp
        road_report.cpp
        sqlite_backend.cpp
        sqlite_writeback.cpp
    USES
        payroll_tsql
        payroll_text
        payroll_registry
        PkgConfig::SQLITE3
        PkgConfig::LIBPQ
)
