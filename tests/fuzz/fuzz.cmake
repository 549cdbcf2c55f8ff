# libFuzzer targets (clang): each tests/fuzz/<name>_fuzz.cpp is one program
# linked with the modules it exercises. The root CMakeLists includes this
# file when PAYROLL_FUZZ is on, after every module is defined; the modules
# themselves are then compiled with the fuzzer's coverage and the sanitizers.
function(payroll_fuzzer name)
    add_executable(fuzz_${name} ${PROJECT_SOURCE_DIR}/tests/fuzz/${name}_fuzz.cpp)
    target_link_libraries(fuzz_${name} PRIVATE ${ARGN})
    target_link_options(fuzz_${name} PRIVATE -fsanitize=fuzzer)
    add_dependencies(fuzzers fuzz_${name})
endfunction()

add_custom_target(fuzzers)
payroll_fuzzer(dialect payroll_tsql)
payroll_fuzzer(text_field payroll_text)
payroll_fuzzer(run_key payroll_engine payroll_front)
payroll_fuzzer(lang_file payroll_lang)
payroll_fuzzer(registry_file payroll_registry)
payroll_fuzzer(db_url payroll_db)
payroll_fuzzer(company_csv payroll_company_folder)

# The host program's option parsing: every source of the program but
# main.cpp (the target's file stands in for it), and those of the project's
# shared libraries it links besides libpayroll, compiled in; the modules are
# linked as they are, in place of libpayroll.so. The imported targets of
# cli/ are not seen from here, so they are found again.
function(_payroll_sources_of target out)
    get_target_property(_dir ${target} SOURCE_DIR)
    get_target_property(_listed ${target} SOURCES)
    set(_sources)
    foreach(_source ${_listed})
        if(NOT IS_ABSOLUTE "${_source}")
            set(_source ${_dir}/${_source})
        endif()
        if(NOT _source MATCHES "/main\\.cpp$")
            list(APPEND _sources ${_source})
        endif()
    endforeach()
    set(${out} ${_sources} PARENT_SCOPE)
endfunction()
_payroll_sources_of(payroll_cli _cli_sources)
set(_cli_library_sources)
get_target_property(_cli_links payroll_cli LINK_LIBRARIES)
foreach(_lib ${_cli_links})
    if(TARGET ${_lib} AND NOT _lib STREQUAL "payroll")
        get_target_property(_type ${_lib} TYPE)
        get_target_property(_imported ${_lib} IMPORTED)
        if(_type STREQUAL "SHARED_LIBRARY" AND NOT _imported)
            _payroll_sources_of(${_lib} _lib_sources)
            list(APPEND _cli_library_sources ${_lib_sources})
        endif()
    endif()
endforeach()
find_package(nlohmann_json REQUIRED)
pkg_check_modules(FUZZ_NCURSESW REQUIRED IMPORTED_TARGET ncursesw)
pkg_check_modules(FUZZ_PAPERS_PDF REQUIRED IMPORTED_TARGET pangocairo cairo-pdf fontconfig)
pkg_check_modules(FUZZ_PAPERS_XLSX REQUIRED IMPORTED_TARGET xlsxwriter)
payroll_fuzzer(cli_options ${PAYROLL_MODULES} nlohmann_json::nlohmann_json
               PkgConfig::FUZZ_NCURSESW PkgConfig::FUZZ_PAPERS_PDF PkgConfig::FUZZ_PAPERS_XLSX)
target_sources(fuzz_cli_options PRIVATE ${_cli_sources} ${_cli_library_sources})
target_include_directories(fuzz_cli_options PRIVATE ${CLI11_INCLUDE_DIR} ${PROJECT_SOURCE_DIR}
                                                    ${PROJECT_BINARY_DIR}/generated/include)
# The program's files in one translation unit when the program compiles them
# so (CLI11 once); the target's own file and the libraries' stay apart.
set_target_properties(fuzz_cli_options PROPERTIES UNITY_BUILD ${PAYROLL_CLI_UNITY}
                                                  UNITY_BUILD_BATCH_SIZE 0)
set_source_files_properties(${PROJECT_SOURCE_DIR}/tests/fuzz/cli_options_fuzz.cpp
                            ${_cli_library_sources} PROPERTIES SKIP_UNITY_BUILD_INCLUSION ON)
