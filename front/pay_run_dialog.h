// CPayRunDlg: the pay-run picker (dialog template 1016). It lists the pay
// runs of one company and month in its grid and lets the user choose one;
// the same query serves picking a run by position without any window. The
// grid object keeps its rows and current row after the window is gone, so a
// key can still be filled from it after the dialog closed.
#pragma once

#include <string>
#include <vector>

#include "front/list_grid.h"
#include "front/pay_run_list.h"
#include "payroll/datasource.h"
#include "payroll/records.h"
#include "platform/ui/velo_controls.h"
#include "platform/ui/velo_dialog.h"

class CPayRunDlg : public CVeloDialog {
  public:
    enum class FillMode { kFillGrid, kCopyRun };

    explicit CPayRunDlg(CWnd* parent = nullptr);
    ~CPayRunDlg() override;

    void SetFilters(const CString& company, const CString& month) {
        m_strCompany = company;
        m_strMonth = month;
    }
    void SetPayType(const CString& pay_type) { m_strPayType = pay_type; }
    const CString& GetCompany() const { return m_strCompany; }
    const CString& GetMonth() const { return m_strMonth; }
    bool UsesMainNames() const { return m_bUseMainNames; }

    // Runs the picker's query for the filters. Fill mode puts the runs into
    // the grid; copy mode copies run `position` (0-based) into the key, or
    // clears the key when there is no such run. 1 when the query ran (and,
    // in copy mode, the run exists); 0 otherwise, the grid and the key then
    // untouched when the query failed.
    int QueryAndFill(HPHONPD_YMD_FMT* key, FillMode mode, int position);
    // Fills the key from the grid's current row; clears it when there is
    // none, or when it is the blank row a failed query leaves.
    void GetData(HPHONPD_YMD_FMT* key) const;

    CListGrid& Grid() { return m_Grid; }
    // The statement of the last query and its trace lines (never shown).
    const CString& LastStatement() const { return m_strLastSql; }
    const std::vector<std::string>& LastTrace() const { return m_LastTrace; }

  protected:
    int OnCreate(LPCREATESTRUCT create) override;
    void OnShowWindow(BOOL show, UINT status) override;
    void OnSize(UINT type, int cx, int cy) override;
    void OnPaint() override;
    void OnDestroy() override;
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    BOOL PreTranslateMessage(MSG* msg) override;

  private:
    void RefreshSettings();
    void FillGrid(const payroll::front::PayRunList& runs);
    void LayOut();
    void DestroyGrid();

    CString m_strCompany;
    CString m_strMonth;
    CString m_strPayType;
    bool m_bUseMainNames = false;
    CVeloButton m_btnOK;
    CVeloButton m_btnCancel;
    CListGrid m_Grid;
    G_DataSource m_Query;
    CString m_strLastSql;
    std::vector<std::string> m_LastTrace;
};
