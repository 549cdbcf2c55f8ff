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
