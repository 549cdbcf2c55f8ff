# cmake -DLOG=<undocumented.log> -P check-contracts.cmake: fails when a class,
# a function or an operator of the public headers has no comment.
file(STRINGS ${LOG} _lines REGEX "(\\((function|friend)\\) of .*|Compound .*) is not documented")
if(_lines)
    list(LENGTH _lines _count)
    string(REPLACE ";" "\n" _text "${_lines}")
    message(FATAL_ERROR "${_count} classes or methods of include/payroll have no contract comment:\n${_text}")
endif()
message(STATUS "Every class and method of include/payroll has its contract comment")
