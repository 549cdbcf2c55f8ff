// CEmpViewDlg: the employee record viewer (dialog template 1014). Shows one
// employee's personnel record, pay step and fixed pay items for the run of
// the host's key, read-only. Everything is read when the dialog is shown:
// the amount decimals, then the employee, pay-step and fixed-pay loaders.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "front/emp_form_grid.h"
#include "front/list_grid.h"
#include "payroll/datasource.h"
#include "payroll/records.h"
#include "platform/ui/velo_controls.h"
#include "platform/ui/velo_dialog.h"

class CEmpViewDlg : public CVeloDialog {
  public:
    // Decimals beyond this are taken as this many.
    static constexpr int kMaxDecimals = 9;

    explicit CEmpViewDlg(CWnd* parent = nullptr);
    ~CEmpViewDlg() override;

    void SetKey(const HPHONPD_YMD_FMT& key) { m_Key = key; }
    void SetEmployee(const CString& employee) { m_strEmpCd = employee; }

    CEmpFormGrid& Form() { return m_Form; }
    CListGrid& FixedPayList() { return m_List; }
    const CString& PayClass() const { return m_strPayClass; }
    int Decimals() const { return m_nDecimals; }
    bool UsesMainNames() const { return m_bUseMainNames; }
    // Trace lines of the statements reported so far (never shown).
    const std::vector<std::string>& Trace() const { return m_Trace; }

    // The loaders, run in this order by the show handler. Each returns
    // false when its statement failed (after showing its error tag).
    bool LoadDecimals();
    bool OpenData();
    bool OpenData_2();
    bool OpenData_3();

  protected:
    int OnCreate(LPCREATESTRUCT create) override;
    void OnShowWindow(BOOL show, UINT status) override;
    void OnSize(UINT type, int cx, int cy) override;
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;

  private:
    // Traces a statement under a tag; shows the tag when not quiet.
    void Report(std::string_view sql, std::string_view tag, bool quiet);
    // Runs a statement traced under `tag`; on failure reports "<tag> error".
    bool Run(G_DataSource& query, const CString& sql, const char* tag);
    CString Name(const char* column) const;

    HPHONPD_YMD_FMT m_Key{};
    CString m_strEmpCd;
    CString m_strPayClass;
    int m_nDecimals = 0;
    bool m_bUseMainNames = false;
    CVeloButton m_btnOK;
    CEmpFormGrid m_Form;
    CListGrid m_List;
    G_DataSource m_Query;
    G_DataSource m_PayStepQuery;
    std::vector<std::string> m_Trace;
};
