// CIMirak1: the code-lookup front. The host creates one, lets the user pick
// a pay run of a month (init), fills a run key without showing anything
// (SearchMirak), shows one employee's records (CallSempSubject) and formats
// number texts (GetPay_integrity). Its only link to the engine is the run key
// HPHONPD_YMD_FMT. Nothing throws out of these methods.
#pragma once

#include "payroll/cstring.h"
#include "payroll/export.h"
#include "payroll/records.h"
#include "payroll/ui.h"
#include "payroll/wnd.h"

class CPayRunDlg;

// The front: the pay-run picker, the run key without a window, the employee
// viewer and number texts. Create one and keep it: the picker's filters stay set.
class PAYROLL_API CIMirak1 : public CWnd {
  public:
    // Creates the picker dialog object (no window yet).
    CIMirak1();
    ~CIMirak1() override;
    CIMirak1(const CIMirak1&) = delete;
    CIMirak1& operator=(const CIMirak1&) = delete;

    // flag != 0: does nothing. Otherwise keeps the key's CO_CD and RVRS_YM as
    // the picker's filters and, for index >= 1, fills the key with run number
    // `index` of the month (1-based, picker order) or clears it when the month
    // has fewer runs; a failed query leaves the key as it was. Always 1.
    unsigned SearchMirak(HPHONPD_YMD_FMT* key, int flag, int index);
    // flag != 0 (or no key): 0, nothing shown. Otherwise shows the picker for
    // the key's company and month and returns its result (1 confirmed, then
    // the key is filled as GetData does; 2 cancelled).
    unsigned init(int flag, HPHONPD_YMD_FMT* key);
    // Fills the key from the picker grid's current row (which outlives the
    // dialog); clears the whole key when there is no current row.
    void GetData(HPHONPD_YMD_FMT* key);
    // Shows the employee record viewer for one employee of the key's company
    // and month; the key is only read.
    void CallSempSubject(HPHONPD_YMD_FMT* key, CString employee);
    // The number text with exactly `decimals` decimals (0 to 5; counts outside
    // are clamped), cut, not rounded; a text that is no number counts as 0.
    CString GetPay_integrity(CString number, int decimals);

  private:
    CPayRunDlg* m_pDlg;
};

namespace payroll::front {

// The employee viewer's form as a UI driver reads it: rows of label and
// value cells. A driver finds it with FindForm on the running dialog.
class PAYROLL_API UiForm {
  public:
    virtual ~UiForm();
    // Rows of the form.
    virtual int RowCount() const = 0;
    // Cells of that row (0 outside the form).
    virtual int ColCount(int row) const = 0;
    // A heading row: one cell spanning the form.
    virtual bool IsHeading(int row) const = 0;
    // A label cell shows its own text; a value cell its value through its
    // mask (dates as ####/##/##).
    virtual bool IsLabel(int row, int col) const = 0;
    // The text the cell shows (empty outside the form).
    virtual CString CellText(int row, int col) const = 0;
};

// The form with that control id (0: the first one) of a running dialog, or
// null when it has none.
PAYROLL_API const UiForm* FindForm(payroll::ui::UiDialog& dialog, int control_id = 0);

}  // namespace payroll::front
