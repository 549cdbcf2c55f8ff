# The window layer the engine and the front draw on, with its drivers.
payroll_module(payroll_ui
    SOURCES
        afx.cpp
        cell_look.cpp
        dc.cpp
        dialog_template.cpp
        driver.cpp
        gradient_progress.cpp
        mask.cpp
        one_grid.cpp
        progress_dialog.cpp
        splash.cpp
        ug_cell.cpp
        ug_ctrl.cpp
        ug_ctrl_input.cpp
        velo_controls.cpp
        velo_dialog.cpp
        wnd.cpp
    USES
        payroll_lang
        payroll_registry
        payroll_text
)

# Dialog templates: the files under resources/dialogs are also built into the
# library, so that a dialog can be created when its file is missing.
file(GLOB _payroll_dialog_files CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/resources/dialogs/*.json)
list(SORT _payroll_dialog_files)
string(REPLACE ";" "|" _payroll_dialog_list "${_payroll_dialog_files}")
set(_payroll_dialog_out ${CMAKE_CURRENT_BINARY_DIR}/generated/dialog_builtin.cpp)
add_custom_command(
    OUTPUT ${_payroll_dialog_out}
    COMMAND ${CMAKE_COMMAND} -DOUTPUT=${_payroll_dialog_out} -DSYMBOL=kDialogFiles
            -DFILES=${_payroll_dialog_list}
            -P ${CMAKE_CURRENT_SOURCE_DIR}/platform/lang/embed_files.cmake
    DEPENDS ${_payroll_dialog_files} ${CMAKE_CURRENT_SOURCE_DIR}/platform/lang/embed_files.cmake
    COMMENT "Embedding the dialog templates"
    VERBATIM)
target_sources(payroll_ui PRIVATE ${_payroll_dialog_out})
find_package(nlohmann_json 3 REQUIRED)
target_link_libraries(payroll_ui PRIVATE nlohmann_json::nlohmann_json)
