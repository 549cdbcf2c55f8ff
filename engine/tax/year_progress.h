// The progress the year driver shows: the engine's progress dialog (template
// 1004) with its text line, a bar over the runs and a bar over the employees
// of the run, updated between employees.
#pragma once

#include <memory>

#include "payroll/cstring.h"
#include "payroll/wnd.h"

class CProgressDlg;

namespace payroll::engine {

class YearProgress {
  public:
    explicit YearProgress(CWnd* parent);
    ~YearProgress();
    YearProgress(const YearProgress&) = delete;
    YearProgress& operator=(const YearProgress&) = delete;

    // Creates and shows the dialog; the run bar goes from 0 to runs + 1.
    void Open(int runs);
    // Run i (0-based) has been bound: the run bar moves to i + 1.
    void RunStarted(int i);
    // The run has `employees` employees (more than 0): the employee bar goes
    // from 0 to employees + 1.
    void SetEmployees(int employees);
    // Employee j (0-based) of the run is being calculated.
    void EmployeeStarted(int j, const CString& line);
    // The run has no employees: the line says so and the employee bar is full.
    void NoEmployees(const CString& line);
    // Closes the dialog; harmless when it is not open.
    void Close();

  private:
    void SetEmployeeRange(int upper);

    CWnd* parent_;
    std::unique_ptr<CProgressDlg> dialog_;
    bool employee_percent_on_ = false;
};

}  // namespace payroll::engine
