# Settings kept per user: the registry's place on Linux.
payroll_module(payroll_registry
    SOURCES
        app_settings.cpp
        paths.cpp
        registry.cpp
        text_file.cpp
        user_language.cpp
    USES
        payroll_text
)
