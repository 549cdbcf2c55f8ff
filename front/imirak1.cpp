// CIMirak1: the front's exported entry points. Each catches everything, so
// nothing unwinds into the host.
#include "payroll/imirak1.h"

#include <memory>

#include "front/emp_view_dialog.h"
#include "front/pay_integrity.h"
#include "front/pay_run_dialog.h"

CIMirak1::CIMirak1() : m_pDlg(nullptr) {
    try {
        m_pDlg = new CPayRunDlg(this);
    } catch (...) {
        m_pDlg = nullptr;
    }
}

CIMirak1::~CIMirak1() {
    delete m_pDlg;
}

unsigned CIMirak1::SearchMirak(HPHONPD_YMD_FMT* key, int flag, int index) {
    if (flag != 0 || !key || !m_pDlg) return 1;
    try {
        m_pDlg->SetFilters(key->CO_CD.Str(), key->RVRS_YM.Str());
        if (index >= 1) m_pDlg->QueryAndFill(key, CPayRunDlg::FillMode::kCopyRun, index - 1);
    } catch (...) {
    }
    return 1;
}

unsigned CIMirak1::init(int flag, HPHONPD_YMD_FMT* key) {
    if (flag != 0 || !key || !m_pDlg) return 0;
    try {
        m_pDlg->SetFilters(key->CO_CD.Str(), key->RVRS_YM.Str());
        m_pDlg->SetPayType(key->PYTP_FG.Str());
        INT_PTR result = m_pDlg->DoModal();
        if (result < 0) return 0;  // the dialog could not be created
        if (result == IDOK) m_pDlg->GetData(key);
        return static_cast<unsigned>(result);
    } catch (...) {
        return 0;
    }
}

void CIMirak1::GetData(HPHONPD_YMD_FMT* key) {
    if (!key) return;
    try {
        if (m_pDlg)
            m_pDlg->GetData(key);
        else
            payroll::front::ClearKey(key);
    } catch (...) {
    }
}

void CIMirak1::CallSempSubject(HPHONPD_YMD_FMT* key, CString employee) {
    if (!key) return;
    try {
        auto viewer = std::make_unique<CEmpViewDlg>(this);
        viewer->SetKey(*key);
        viewer->SetEmployee(employee);
        viewer->DoModal();
    } catch (...) {
    }
}

CString CIMirak1::GetPay_integrity(CString number, int decimals) {
    try {
        return CString(payroll::front::PayIntegrity(number.str(), decimals));
    } catch (...) {
        return CString();
    }
}
