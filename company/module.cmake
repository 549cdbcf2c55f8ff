# The company folder: its CSV files read (UTF-8 or CP949) and checked,
# imported into the company's tables in one transaction and exported back;
# and the pay runs of a month made and deleted without SQL.
payroll_module(payroll_company_folder
    SOURCES
        csv.cpp
        law.cpp
        layout.cpp
        model.cpp
        pay_csv.cpp
        runs.cpp
        sync.cpp
        tables.cpp
        values.cpp
    USES
        payroll_db
)
