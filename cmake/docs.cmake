# `make docs` (the `docs` target): the host developers' reference, HTML from
# the public headers and the guide pages in docs/, by Debian's doxygen. Any
# doxygen warning fails it (WARN_AS_ERROR in docs/Doxyfile), and so does a
# class or method of include/payroll without its contract comment
# (docs/Doxyfile.contracts).
find_program(PAYROLL_DOXYGEN doxygen)
if(PAYROLL_DOXYGEN)
    set(_payroll_docs_out ${PROJECT_BINARY_DIR}/docs)
    file(GLOB _payroll_doc_inputs CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/docs/*
         ${PROJECT_SOURCE_DIR}/include/payroll/*.h)
    add_custom_command(
        OUTPUT ${_payroll_docs_out}/html/index.html
        COMMAND ${CMAKE_COMMAND} -E rm -rf ${_payroll_docs_out}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${_payroll_docs_out}
        COMMAND ${CMAKE_COMMAND} -E env PAYROLL_DOCS_OUT=${_payroll_docs_out}
                PAYROLL_VERSION=${PROJECT_VERSION} ${PAYROLL_DOXYGEN} Doxyfile.contracts
        COMMAND ${CMAKE_COMMAND} -DLOG=${_payroll_docs_out}/undocumented.log
                -P ${PROJECT_SOURCE_DIR}/docs/check-contracts.cmake
        COMMAND ${CMAKE_COMMAND} -E env PAYROLL_DOCS_OUT=${_payroll_docs_out}
                PAYROLL_VERSION=${PROJECT_VERSION} ${PAYROLL_DOXYGEN} Doxyfile
        WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}/docs
        DEPENDS ${_payroll_doc_inputs}
        COMMENT "Writing the reference documentation with doxygen"
        VERBATIM)
    add_custom_target(docs DEPENDS ${_payroll_docs_out}/html/index.html)
else()
    add_custom_target(docs
        COMMAND ${CMAKE_COMMAND} -E echo "doxygen is missing: apt-get install doxygen"
        COMMAND ${CMAKE_COMMAND} -E false)
endif()
