// CSalaryCalcurate: the payroll calculation engine. The host creates one,
// binds it to a pay run with init (or lets the year driver do so) and calls the
// steps of the three roads on it: building a run, recalculating income tax,
// taxing a bonus. Methods return 1 (or a count) for success and 0 for failure;
// nothing throws. Every step first checks the run key (GetNOTNULLField) and
// gives up with 0 when it is incomplete.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "payroll/cstring.h"
#include "payroll/datasource.h"
#include "payroll/engine_tables.h"
#include "payroll/export.h"
#include "payroll/records.h"
#include "payroll/wnd.h"

class PAYROLL_API CSalaryCalcurate : public CWnd {
  public:
    // Reads the registry settings and loads the language strings. Cannot fail.
    CSalaryCalcurate();
    ~CSalaryCalcurate() override;
    CSalaryCalcurate(const CSalaryCalcurate&) = delete;
    CSalaryCalcurate& operator=(const CSalaryCalcurate&) = delete;

    // ---- Object, buffers and helpers ----------------------------------------
    // Frees the rate brackets and the 'PC' codes.
    void FreeBuffer();
    void FreeBuffer_DFM_LIST(int place);
    void FreeBuffer_PAY_LIST(int place);
    void FreeBuffer_PYTP_FG();
    void Free_m_BHHAFF();
    // No effect.
    void Delete();
    void Ontest2();
    // Runs a traced query on `source`; its row count, or 0 (with the message
    // "QueryOpen error") when it fails.
    int QueryOpen(G_DataSource* source, CString sql);
    // Copies *rowCount rows of the query into buffer, laid out by `layout`;
    // 1 at once when *rowCount is 0, 0 when the read fails.
    int OpenFile_Whole(G_DataSource* source, CString sql, void* buffer, int* rowCount,
                       const payroll::RecordLayout& layout);
    // Copies eleven run-key fields into fields[0..10] (callers pass 20); 1
    // when the key is complete enough for a calculation step.
    int GetNOTNULLField(CString* fields);
    // Index of the first held row of `source` whose column equals value.
    int GetSearchField(G_DataSource* source, CString column, CString value);
    CString SearchString(CString first, CString second);
    // The trace and error routine: formats the text in 200-character pieces
    // and, when quiet is 0, shows the title in a message box.
    void DspTRACE(CString text, CString title, int quiet);

    // ---- Run binding and settings -------------------------------------------
    // Binds the engine to a run: copies the key, derives the rule flags,
    // loads the company settings and the item definitions. 1 on success.
    int init(HPHONPD_YMD_FMT* key);
    // Settings query `index` (0 to 5) filled from the run key.
    CString GetQueryString(int index);
    int Load_DEFAULT();
    int OpenHPMPDFM();

    // ---- Pay-period windows and dates ---------------------------------------
    // Rebuilds the window table of the run; 1 when it has at least one entry.
    int SetYmdFromTo();
    void GetPriceYearSelete(int kind, int cutoff, int year, int month, CString* start,
                            CString* end);
    // Window start and end (16 characters) of the employee at `position` of
    // the employee table, or two blanks.
    CString GetYmdtoYmd(int position);
    void GetStringToYMD_FMT(CString text, YMD_FMT* out);
    int GetBonusYmd();

    // ---- Roster and build driver --------------------------------------------
    int _GetSalaryPepleList(int tableSet);
    int GetSalaryPepleList();
    int Load_SEMP(int execute);
    int Load_HPHPOYM();
    int GetPYSP_MAX(int* count);

    // ---- Default pay rows ----------------------------------------------------
    int SetAllSempInsert();
    int OpenSEMP_ALL();
    int Load_HPITMPD(CString employee);
    int GetMax_HPITMPD();
    int LoadOld_HPITMPD();
    int SearhCode_PAY_CD(int firstRow, CString employee, int list, CString code);
    int InsertData(int position, int kind, int payAmountFlag, CString employee, CString code,
                   int masterPosition, CString taxFlag);

    // ---- Refresh and leaver filter -------------------------------------------
    int GetSempDataUpdate__(int tableSet);
    int GetSempDataUpdate();
    int FileterSempData();
    int UpdateData(int position, int kind, int amountFlag, CString employee, CString code,
                   int unused);
    int DataDelete_Copy(CString unused);

    // ---- Taxable totals ------------------------------------------------------
    int OpenSEMP(CString employee);
    CString QueryString(int kind, CString employee, int unused);
    int LoadDataIncom(CString employee, int unused);
    double GetSalaryTotalCalc(CString employee, int year, HPOMNPY_FMT* record);
    double GetNightTotal(CString employee);
    double GetArrayCode_Pay(CString code, int kind);
    int GetCode_INDEX(CString code, int kind);
    int ChkTotalPay(int kind, CString employee);
    int GetSempValue(int row, G_DataSource* gridRows, G_DataSource* deductionRows,
                     CString* pensionText, CString* healthText, int* pensionRow, int* healthRow);

    // ---- Rounding ------------------------------------------------------------
    double SetAmountReleas(double amount, CString code);
    double ValuesCut_Add(double value, int unused);

    // ---- Income tax and the year driver --------------------------------------
    int Call_AllSum1to12_Year(HPHONPD_YMD_FMT* key, int mode, CString unused, int unused2);
    int SumIncomTax(CString employee, int tableSet, int mode, int flag, CString unused);
    int GetCalcIncomeAndResTax(CString employee, int mode, CString text);
    double GetTaxAmountMath(double amount, int unused);
    double GetTaxAmount(double amount, int monthly);

    // ---- Bonus tax -------------------------------------------------------------
    int GetCalcBonus(CString employee, int kind, CString text);
    double GetTotalDelete(double pay);
    double GetTotalDeleteTO(double pay);
    double GetTaxAll2001(double annualPay);
    double GetTaxAll2002(double annualPay);
    double GetTaxAll2004(double annualPay);
    long GetlFami();
    double GetPersonTax(double pay);

    // ---- Prior-period totals ---------------------------------------------------
    double GetYmdTotalPay(CString employee, SALARY_TOTAL_x* total, HPOMNPY_FMT* record);
    double GetYmdTotalBones(CString employee, int* months, SALARY_TOTAL_x* total,
                            HPOMNPY_FMT* record);
    void GetBONES_EMPTY_values(CString employee, double* pay, double* taxBase, double* tax);
    void GetBonersTotal(CString company, CString fromMonth, CString toMonth, CString employee,
                        CString sq, CString payType, double* pay, double* taxBase, double* tax);
    int GetCurrentPay(CString employee, HPOMNPY_FMT record, double* runningPay,
                      SALARY_TOTAL_x* total);

    // ---- Persistence -----------------------------------------------------------
    int AppendData(CString employee, int mode, CString text);
    void GetHPOMDDdata(CString employee, HPOMNPY_FMT* record, int mode);
    int Get_NO_FIXED_CODE(CString employee, CString payType, int kind);
    int OpenHPOMNPY(G_DataSource* source, CString employee, CString payType);
    CString OldDataPayLoad(int unused, CString unused2, CString unused3);

    // ---- State (members in the order the host's headers know them) ------------
    std::int16_t m_nDaysOfMonth[13];
    std::uint8_t m_bLangDefault;
    CString m_strSempQuery;
    std::array<std::vector<CString>, 2> m_strBatch;   // 1000 batch texts per kind
    std::array<std::vector<CString>, 2> m_strRowSQL;  // per roster position, per kind
    CString m_strTrace;
    HPHONPD_YMD_FMT m_HPHONPD;
    payroll::RecordTable<payroll::PytpRecord> m_PYTP_FG;
    payroll::RecordTable<payroll::DfmListRecord> m_DFM_LIST[2];
    payroll::RecordTable<payroll::PayListRecord> m_PAY_LIST[2];
    payroll::RecordTable<payroll::ChkPayRecord> m_ChkPay;
    payroll::RecordTable<payroll::BHHAFF_FMT> m_BHHAFF;
    payroll::RecordTable<payroll::HpfstiaRecord> m_HPFSTIA;
    payroll::RecordTable<payroll::SctrlPcRecord> m_SCTRL_PC;
    payroll::RecordTable<payroll::HpmpdfmRecord> m_HPMPDFM;
    payroll::RecordTable<SEMP_FMT> m_SEMP_ALL;  // room for five records at construction
    payroll::RecordTable<payroll::RosterRecord> m_SEMP;
    payroll::RecordTable<payroll::LeaverRecord> m_Leaver;
    int m_nPayListCnt[2];
    int m_nDfmListCnt[2];
    int m_nRowCount[15];
    int m_nLeaverCnt;
    HPOMNPY_FMT m_HPOMNPY;
    G_DirectSQL m_DirectSQL;
    G_DataSource m_dsMain;
    G_DataSource m_dsTaxTable;
    G_DataSource m_dsSpare[2][2];
    G_DataSource m_dsCalcA[5];
    G_DataSource m_dsRoster[5];
    G_DataSource m_dsBonus;
    G_DataSource m_dsDefault;
    G_DataSource m_dsCalcB[10];
    int m_nTableSet;
    int m_nJoinStrict;
    int m_nRetireStrict;
    CString m_strTable[8];

    // One traced statement: traces `sql` under `title` quietly, runs it, and
    // on failure notes the failure and traces it again under `errorTitle`
    // with `quietOnError` (0 shows that title in a message box). Internal to
    // the engine's steps.
    PAYROLL_INTERNAL bool TracedQuery(G_DataSource& source, const CString& sql, const char* title,
                                      const char* errorTitle, int quietOnError = 0);
    PAYROLL_INTERNAL bool TracedExecute(const CString& sql, const char* title,
                                        const char* errorTitle, int quietOnError = 0);

    // Statement texts and employees a run may hold.
    static constexpr int kMaxRosterEmployees = 100000;
    static constexpr int kBatchTexts = 1000;
    static constexpr int kSentBatches = 500;

    // Calendar on m_nDaysOfMonth (February follows the last year asked about).
    PAYROLL_INTERNAL void SetYear(int year);
    PAYROLL_INTERNAL int GetMonthDays(int year, int month);
    PAYROLL_INTERNAL int GetDayNumber(int year, int month, int day);
};
