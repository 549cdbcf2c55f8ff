# The host program's man page and bash completion, both written by the built
# program itself from its command tree (`payroll manual`, `payroll completion
# bash`), so they always list the commands and options it really has.
set(_payroll_man ${PROJECT_BINARY_DIR}/generated/payroll.1)
set(_payroll_completion ${PROJECT_BINARY_DIR}/generated/payroll.bash-completion)
add_custom_command(
    OUTPUT ${_payroll_man} ${_payroll_completion}
    COMMAND payroll_cli manual > ${_payroll_man}
    COMMAND payroll_cli completion bash > ${_payroll_completion}
    DEPENDS payroll_cli
    COMMENT "Writing the payroll man page and bash completion"
    VERBATIM)
add_custom_target(payroll_cli_docs ALL DEPENDS ${_payroll_man} ${_payroll_completion})

install(FILES ${_payroll_man} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT runtime)
install(FILES ${_payroll_completion} DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions
    RENAME payroll COMPONENT runtime)
