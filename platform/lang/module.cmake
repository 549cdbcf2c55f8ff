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
target_sources(${PAYROLL_MODULE_TARGET} PRIVATE ${_payroll_lang_out})
# Language texts are found through the resources folder the registry module knows.
if(TARGET payroll_registry)
    target_link_libraries(${PAYROLL_MODULE_TARGET} PUBLIC payroll_registry)
endif()
