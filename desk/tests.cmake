# The Qt Test tests of the Qt driver and payroll-desk, on the offscreen
# platform (CI runs them once more under Xvfb). They build a demo company
# with the host program: in a SQLite file of their own, and again on the
# PostgreSQL test server (in a schema of their own) when one is configured.
enable_testing()  # this folder comes before the tests folder
set(CMAKE_AUTOMOC ON)
add_executable(test_desk_qt ${PROJECT_SOURCE_DIR}/tests/desk/desk_qtest.cpp)
add_executable(test_qt_driver ${PROJECT_SOURCE_DIR}/tests/desk/qt_driver_qtest.cpp)
add_executable(test_desk_print ${PROJECT_SOURCE_DIR}/tests/desk/desk_print_qtest.cpp)
add_executable(test_desk_windows ${PROJECT_SOURCE_DIR}/tests/desk/desk_windows_qtest.cpp)
set(CMAKE_AUTOMOC OFF)
target_link_libraries(test_desk_qt PRIVATE payroll_desk_core Qt6::Test)
target_link_libraries(test_qt_driver PRIVATE payroll_qt Qt6::Test)
target_compile_definitions(test_desk_qt PRIVATE PAYROLL_CLI="$<TARGET_FILE:payroll_cli>")
add_dependencies(test_desk_qt payroll_cli)
# The papers printed by the program itself (--print) and from its File menu.
target_link_libraries(test_desk_print PRIVATE payroll_desk_core Qt6::Test)
target_compile_definitions(test_desk_print PRIVATE PAYROLL_CLI="$<TARGET_FILE:payroll_cli>"
                                                   PAYROLL_DESK="$<TARGET_FILE:payroll_desk>")
add_dependencies(test_desk_print payroll_cli payroll_desk)
# The windows beyond the roads: employee list, import, language, viewer.
target_link_libraries(test_desk_windows PRIVATE payroll_desk_core Qt6::Test)
target_compile_definitions(test_desk_windows PRIVATE PAYROLL_CLI="$<TARGET_FILE:payroll_cli>"
                                                     PAYROLL_DESK="$<TARGET_FILE:payroll_desk>")
add_dependencies(test_desk_windows payroll_cli payroll_desk)
add_test(NAME desk_qt COMMAND test_desk_qt)
add_test(NAME desk_windows COMMAND test_desk_windows)
add_test(NAME qt_driver COMMAND test_qt_driver)
add_test(NAME desk_print COMMAND test_desk_print)
set_tests_properties(desk_qt qt_driver desk_print desk_windows PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;PAYROLL_RESOURCES=${PROJECT_SOURCE_DIR}/resources"
    LABELS qt TIMEOUT 300)
if(PAYROLL_TEST_POSTGRES_URL)
    add_test(NAME pg:desk_qt COMMAND test_desk_qt)
    set_tests_properties(pg:desk_qt PROPERTIES
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;PAYROLL_RESOURCES=${PROJECT_SOURCE_DIR}/resources;PAYROLL_TEST_DB=${PAYROLL_TEST_POSTGRES_URL}"
        LABELS "qt;postgres" TIMEOUT 300)
endif()
