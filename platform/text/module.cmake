# Text types and formatting: CString, fixed-width record fields, printf.
payroll_module(payroll_text
    SOURCES
        cstring.cpp
        number_parse.cpp
        printf_format.cpp
        sql_text.cpp
        utf8_pieces.cpp
    USES
)
