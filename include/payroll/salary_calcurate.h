// CSalaryCalcurate: the payroll calculation engine. The host creates one,
// binds it to a pay run with init (or lets the year driver do so) and calls the
// steps of the three roads on it: building a run, recalculating income tax,
// taxing a bonus. Methods return 1 (or a count) for success and 0 for failure;
// nothing throws. Every step first checks the run key (GetNOTNULLField) and
// gives up with 0 when it is incomplete.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

#include "payroll/cstring.h"
#include "payroll/datasource.h"
#include "payroll/engine_tables.h"
#include "payroll/export.h"
#include "payroll/records.h"
#include "payroll/wnd.h"

// The engine: bind it to a run with init, then call the steps of a road on it.
// 1 (or a count) means success, 0 failure; nothing throws.
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
    // Frees item list 0 (pay items) or 1 (deductions); a second call does nothing.
    void FreeBuffer_DFM_LIST(int place);
    // Frees the existing pay (0) or deduction (1) rows the build loaded.
    void FreeBuffer_PAY_LIST(int place);
    // Frees the pay-type list of a combined run.
    void FreeBuffer_PYTP_FG();
    // Frees the pay-period window table; steps needing it then find none.
    void Free_m_BHHAFF();
    // No effect.
    void Delete();
    // No effect.
    void Ontest2();
    // Runs a traced query on `source`; its row count, or 0 (with the message
    // "QueryOpen error") when it fails.
    int QueryOpen(G_DataSource* source, const CString& sql);
    // Copies *rowCount rows of the query into buffer, laid out by `layout`;
    // 1 at once when *rowCount is 0, 0 when the read fails.
    int OpenFile_Whole(G_DataSource* source, const CString& sql, void* buffer, int* rowCount,
                       const payroll::RecordLayout& layout);
    // Copies eleven run-key fields into fields[0..10] (callers pass 20); 1
    // when the key is complete enough for a calculation step.
    int GetNOTNULLField(CString* fields);
    // Index of the first held row of `source` whose column equals value.
    int GetSearchField(G_DataSource* source, CString column, CString value);
    // The first character of `first`, or "2" when that is not "2" but `second`
    // holds ",2" (a list of pay types that includes a bonus type).
    CString SearchString(CString first, CString second);
    // The trace and error routine: formats the text in 200-character pieces
    // and, when quiet is 0, shows the title in a message box.
    void DspTRACE(const CString& text, const CString& title, int quiet);

    // ---- Run binding and settings -------------------------------------------
    // Binds the engine to a run: copies the key, derives the rule flags,
    // loads the company settings and the item definitions. 1 on success.
    int init(HPHONPD_YMD_FMT* key);
    // Settings query `index` (0 to 5) filled from the run key.
    CString GetQueryString(int index);
    // Loads the company's settings row (kept open), counts the year's rate rows
    // and loads the 'PC' codes; 0 (with a message) when settings or codes are missing.
    int Load_DEFAULT();
    // Reloads the pay-item definitions of the run's pay type and year; 0 when
    // the query fails (message "OpenHPMPDFM error").
    int OpenHPMPDFM();

    // ---- Pay-period windows and dates ---------------------------------------
    // Rebuilds the window table of the run; 1 when it has at least one entry.
    int SetYmdFromTo();
    // The pay-period window YYYYMMDD of a month: kind 1 ends in the month, kind 2
    // starts in it; cut-off day 1 is the whole calendar month. "00000000" twice for others.
    void GetPriceYearSelete(int kind, int cutoff, int year, int month, CString* start,
                            CString* end);
    // Window start and end (16 characters) of the employee at `position` of
    // the employee table, or two blanks.
    CString GetYmdtoYmd(int position);
    // Splits YYYYMM or YYYYMMDD into *out (day number for full dates); any
    // other length gives four zeros.
    void GetStringToYMD_FMT(CString text, YMD_FMT* out);
    // Always 1; no effect.
    int GetBonusYmd();

    // ---- Roster and build driver --------------------------------------------
    // Builds the run into table set 0, 1 or 2: windows, roster, default pay
    // and deduction rows in one transaction; every pay type of a combined run. 1 when built.
    int _GetSalaryPepleList(int tableSet);
    // One build pass for the run key's pay type; 1 when the roster was built
    // and the default rows committed, else 0 (with a message).
    int GetSalaryPepleList();
    // Selects the run's roster into m_SEMP and begins the build's transaction;
    // execute 0 only forms the statement. 0 on failure or an empty roster.
    int Load_SEMP(int execute);
    // Loads the run's pay-item and deduction-item lists; 1 when both have items.
    int Load_HPHPOYM();
    // Loads the pay types sharing the run's pay date into m_PYTP_FG and
    // *count; 0 when the query fails.
    int GetPYSP_MAX(int* count);

    // ---- Default pay rows ----------------------------------------------------
    // Inserts every missing default pay and deduction row of the roster in
    // batches and commits the build's transaction; 0 (rolled back) on failure.
    int SetAllSempInsert();
    // Loads the company's employee master into m_SEMP_ALL; 0 when there is none
    // or the query fails.
    int OpenSEMP_ALL();
    // Loads the run's existing pay and deduction rows (of one employee, or all
    // when empty) into m_PAY_LIST; 0 when a read fails.
    int Load_HPITMPD(CString employee);
    // Counts the run's existing pay and deduction rows; 1 when both counts ran.
    int GetMax_HPITMPD();
    // Always 1; no effect.
    int LoadOld_HPITMPD();
    // 1 when list 0 (pay rows) or 1 (deduction rows) holds a row of that
    // employee and item code from firstRow on.
    int SearhCode_PAY_CD(int firstRow, CString employee, int list, CString code);
    // Appends the INSERT of one default row (kind 1 pay, 2 deduction) to the
    // statement text of roster place `position`; 0 only when the run key is incomplete.
    int InsertData(int position, int kind, int payAmountFlag, CString employee, CString code,
                   int masterPosition, CString taxFlag);

    // ---- Refresh and leaver filter -------------------------------------------
    // Refreshes the run in table set 0, 1 or 2 before a build: removes (or, in
    // a combined run, marks) leavers, updates attributes. 0 only for an incomplete key.
    int GetSempDataUpdate__(int tableSet);
    // Updates the organisation attributes of the run's rows from the employee
    // master in one transaction; 1 when committed.
    int GetSempDataUpdate();
    // Finds the employees outside the run's windows and deletes their rows (a
    // combined run only marks them for the build); 0 when nothing could be read.
    int FileterSempData();
    // Appends the UPDATE of one deduction row to the statement text of roster
    // place `position`; 0 only when the run key is incomplete.
    int UpdateData(int position, int kind, int amountFlag, CString employee, CString code,
                   int unused);
    // Always 1; no effect.
    int DataDelete_Copy(CString unused);

    // ---- Taxable totals ------------------------------------------------------
    // Loads one employee's attributes into the first record of m_SEMP_ALL;
    // 0 when the employee has no master row.
    int OpenSEMP(CString employee);
    // The statement selecting the employee's pay rows (kind 1) of the run.
    CString QueryString(int kind, CString employee, int unused);
    // Opens the employee's pay rows of the run for GetSalaryTotalCalc; 0 when
    // the query fails.
    int LoadDataIncom(CString employee, int unused);
    // Classifies the open pay rows (after OpenSEMP and LoadDataIncom) into taxable
    // and exempt totals of *record; TPAY_AM + TBON_AM, 0 for an incomplete key.
    double GetSalaryTotalCalc(CString employee, int year, HPOMNPY_FMT* record);
    // The exempt overtime (EWTE_AM) the employee already had this year outside
    // the run; 0 when the query fails.
    double GetNightTotal(CString employee);
    // Kind 1: the amount of that 'PC' code (an exemption limit), else 0.
    double GetArrayCode_Pay(CString code, int kind);
    // Kind 1: the place of that pay code in the item definitions, else -1.
    int GetCode_INDEX(CString code, int kind);
    // The loaded definition of that pay code, or nullptr.
    PAYROLL_INTERNAL const payroll::HpmpdfmRecord* PayItem(std::string_view code) const;
    // Rebuilds the pay totals per employee of the run (one employee, or all when
    // empty); 0 for an incomplete key or a failed load.
    int ChkTotalPay(int kind, CString employee);
    // Default pension and health deduction texts (and their rows) for the
    // employee of grid row `row`; 1 when at least one text was set.
    int GetSempValue(int row, G_DataSource* gridRows, G_DataSource* deductionRows,
                     CString* pensionText, CString* healthText, int* pensionRow, int* healthRow);

    // ---- Rounding ------------------------------------------------------------
    // The amount cut by cut-off code "001" to "017" (a ROUND statement on the
    // database); unchanged for other codes or when the statement fails.
    double SetAmountReleas(double amount, CString code);
    // The value rounded half up to a whole unit by its first decimal.
    double ValuesCut_Add(double value, int unused);

    // ---- Income tax and the year driver --------------------------------------
    // Recalculates every employee of every run of the key's year (mode 3: month) in
    // one transaction with progress; a refused result write rolls it all back.
    // Always 0: see payroll::LastTransactionOutcome.
    int Call_AllSum1to12_Year(HPHONPD_YMD_FMT* key, int mode, CString unused, int unused2);
    // One employee of the bound run: totals, income tax (modes 1 and 11) and stored
    // results; needs init and SetYmdFromTo. 0 when the key or the pay rows fail.
    int SumIncomTax(CString employee, int tableSet, int mode, int flag, CString unused);
    // Income tax of m_HPOMNPY's totals (modes 1 and 11), rounded by the company's
    // cut-off code, then AppendData; 1, or 0 for an incomplete key.
    int GetCalcIncomeAndResTax(CString employee, int mode, CString text);
    // Income tax of a taxable amount by the year's HPFTITC brackets (not
    // rounded); 0 when no bracket matches or the query fails.
    double GetTaxAmountMath(double amount, int unused);
    // The HPFLICH amount (earned-income credit) of an amount: yearly and
    // floored when monthly is 0, else a twelfth; capped by the bracket.
    double GetTaxAmount(double amount, int monthly);

    // ---- Bonus tax -------------------------------------------------------------
    // Taxes the employee's bonus of the bound run over its bonus period and stores
    // income and resident tax; needs OpenSEMP, LoadDataIncom and GetSalaryTotalCalc first.
    int GetCalcBonus(CString employee, int kind, CString text);
    // The midpoint of the pay's cell of the simplified tax table.
    double GetTotalDelete(double pay);
    // The lower bound of the pay's cell of the simplified tax table.
    double GetTotalDeleteTO(double pay);
    // Earned-income deduction of an annual pay by the 2001 table (bonus years to 2001).
    double GetTaxAll2001(double annualPay);
    // Earned-income deduction of an annual pay by the 2002 table (bonus years 2002 on).
    double GetTaxAll2002(double annualPay);
    // Earned-income deduction of an annual pay by the 2004 table (for hosts).
    double GetTaxAll2004(double annualPay);
    // The family deduction of the loaded employee (spouse and dependants).
    long GetlFami();
    // The monthly national-pension premium of a monthly pay, by grade.
    double GetPersonTax(double pay);

    // ---- Prior-period totals ---------------------------------------------------
    // The month's taxable pay of the employee including the current run; fills
    // *total with the month's earlier pay, tax base and tax.
    double GetYmdTotalPay(CString employee, SALARY_TOTAL_x* total, HPOMNPY_FMT* record);
    // The bonus period's taxable pay including the current run; *months is the
    // period's length and *total its earlier pay, tax base and tax.
    double GetYmdTotalBones(CString employee, int* months, SALARY_TOTAL_x* total,
                            HPOMNPY_FMT* record);
    // When the month has no salary row, the employee's latest earlier regular pay,
    // tax base and tax stand in for it; else all three 0.
    void GetBONES_EMPTY_values(CString employee, double* pay, double* taxBase, double* tax);
    // Sums the stored pay, tax base and tax of the employee's runs from fromMonth
    // to toMonth (YYYYMM), leaving out the runs of the month from `sq` on.
    void GetBonersTotal(CString company, CString fromMonth, CString toMonth, CString employee,
                        CString sq, CString payType, double* pay, double* taxBase, double* tax);
    // Puts `record`'s figures in place of the run's stored ones in *runningPay and
    // *total; 1, or 0 for an incomplete key.
    int GetCurrentPay(CString employee, HPOMNPY_FMT record, double* runningPay,
                      SALARY_TOTAL_x* total);

    // ---- Persistence -----------------------------------------------------------
    // Stores m_HPOMNPY as the employee's summary row and its fixed deduction
    // rows; 1 when the summary row was written, 0 for an incomplete key or a failed write.
    int AppendData(CString employee, int mode, CString text);
    // Loads the employee's stored deduction amounts of the run into *record.
    void GetHPOMDDdata(CString employee, HPOMNPY_FMT* record, int mode);
    // Loads stored amounts of the employee's summary row into m_HPOMNPY; 0 only
    // for an incomplete key.
    int Get_NO_FIXED_CODE(CString employee, CString payType, int kind);
    // Opens the employee's summary row of the run on *source; its row count, 0
    // when there is none or the query fails.
    int OpenHPOMNPY(G_DataSource* source, CString employee, CString payType);
    // Always an empty text.
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
    // How the bound run's company withholds its monthly income tax, read
    // once a run (syscfg row 21): 0 not read yet, 1 the division's amount
    // off the taxable pay, 2 the year's simplified table.
    int m_nWithholding;
    CString m_strTable[8];

    // What DspTRACE does, without copies of the text. Internal to the
    // engine's steps.
    PAYROLL_INTERNAL void TraceText(const CString& text, const CString& title, int quiet);

    // Statement texts and employees a run may hold.
    static constexpr int kMaxRosterEmployees = 100000;
    static constexpr int kBatchTexts = 1000;
    static constexpr int kSentBatches = 500;

    // Calendar on m_nDaysOfMonth (February follows the last year asked about).
    PAYROLL_INTERNAL void SetYear(int year);
    // Days of the month (February by leap year).
    PAYROLL_INTERNAL int GetMonthDays(int year, int month);
    // Serial day number; 0001-01-01 is 1.
    PAYROLL_INTERNAL int GetDayNumber(int year, int month, int day);
};
