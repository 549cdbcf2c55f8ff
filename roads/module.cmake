# The roads as hosts drive them.
payroll_module(payroll_roads
    SOURCES
        bonus_run.cpp
        build_run.cpp
        month_close.cpp
        pay_amounts.cpp
        pay_step.cpp
        road_transaction.cpp
        road_verdicts.cpp
        run_list.cpp
        run_rules.cpp
        tax_recalculation.cpp
    USES
        payroll_db
        payroll_engine
        payroll_front
)
