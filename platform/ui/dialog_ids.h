// Template and control numbers of the library's dialogs.
#pragma once

namespace payroll::ui {

// The engine's progress dialog: a text line and two bars.
inline constexpr int kProgressDialogId = 1004;
inline constexpr int kProgressTextId = 1000;
inline constexpr int kProgressBar1Id = 1001;
inline constexpr int kProgressBar2Id = 1002;

// The employee record viewer: OK button 1 (IDOK); the form and the list are
// created at run time with these ids.
inline constexpr int kEmployeeViewerId = 1014;
inline constexpr int kEmployeeFormId = 1011;
inline constexpr int kFixedPayListId = 1015;

// The pay-run picker: OK 1 and Cancel 2; the grid is created at run time.
inline constexpr int kPayRunPickerId = 1016;
inline constexpr int kPayRunGridId = 1017;

}  // namespace payroll::ui
