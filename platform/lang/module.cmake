# Language strings from the language files.
payroll_module(payroll_lang
    SOURCES
        embedded_file.cpp
        format_spec.cpp
        lang_table.cpp
        lang_util.cpp
    USES
        payroll_registry
        payroll_text
)

# Language strings: the language files under resources/lang are also built
# into the library, so that no message comes out empty when no file is found.
# The files stay the one source of the texts.
file(GLOB _payroll_lang_files CONFIGURE_DEPENDS
     ${CMAKE_CURRENT_SOURCE_DIR}/resources/lang/G_Mirak.*.txt)
list(SORT _payroll_lang_files)
string(REPLACE ";" "|" _payroll_lang_list "${_payroll_lang_files}")
set(_payroll_lang_out ${CMAKE_CURRENT_BINARY_DIR}/generated/lang_builtin.cpp)
add_custom_command(
    OUTPUT ${_payroll_lang_out}
    COMMAND ${CMAKE_COMMAND} -DOUTPUT=${_payroll_lang_out} -DSYMBOL=kLangFiles
            -DFILES=${_payroll_lang_list}
            -P ${CMAKE_CURRENT_SOURCE_DIR}/platform/lang/embed_files.cmake
    DEPENDS ${_payroll_lang_files} ${CMAKE_CURRENT_SOURCE_DIR}/platform/lang/embed_files.cmake
    COMMENT "Embedding the language files"
    VERBATIM)
target_sources(payroll_lang PRIVATE ${_payroll_lang_out})
