# The office papers as data, read out of the stored runs.
payroll_module(payroll_papers
    SOURCES
        company_identity.cpp
        ledger_reader.cpp
        month_reading.cpp
        paper_source.cpp
        paper_text.cpp
        payslip_reader.cpp
        register_reader.cpp
        run_rows.cpp
        withholding_return.cpp
    USES
        payroll_db
        payroll_lang
        payroll_engine
        payroll_roads
)
