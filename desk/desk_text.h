// payroll-desk's own texts in the user's language (the library's language
// setting): resources/lang/payroll-desk.<language>.txt, one "id<TAB>text" per
// line, the Korean and English files also built into the program.
#pragma once

#include <QString>

namespace payroll::desk {

enum TextId {
    kAppTitle = 1,
    kDatabase = 2,
    kOpenSqlite = 3,
    kOpenPostgres = 4,
    kRecent = 5,
    kCompany = 6,
    kMonth = 7,
    kPickRun = 8,
    kBuild = 9,
    kRecalcYear = 10,
    kRecalcMonth = 11,
    kBonusTax = 12,
    kEmployee = 13,
    kResults = 14,
    kChart = 15,
    kExportCsv = 16,
    kTotals = 17,
    kNoDatabase = 18,
    kCannotOpen = 19,
    kNoRuns = 20,
    kNoResults = 21,
    kCommitted = 22,
    kRolledBack = 23,
    kFailed = 24,
    kPickedRun = 25,
    kNoRunPicked = 26,
    kColEmployee = 27,
    kColName = 28,
    kColSeq = 29,
    kColPayType = 30,
    kColDept = 31,
    kColPay = 32,
    kColBonus = 33,
    kColSalary = 34,
    kColIncomeTax = 35,
    kColResidentTax = 36,
    kColDeductions = 37,
    kChartPay = 38,
    kChartTax = 39,
    kCountRows = 40,
    kCountRecalc = 41,
    kCountBonus = 42,
    kRefresh = 43,
    kDivision = 44,
    kDepartment = 45,
    kJobGroup = 46,
    kTableSet = 47,
    kBusy = 48,
    kPostgresPrompt = 49,
    kChooseEmployee = 50,
    kNoEmployees = 51,
    kSaved = 52,
    kCannotSave = 53,
    kBadMonth = 54,
    kRoadLine = 55,
    kRunText = 56,
    kQuit = 57,
    kFile = 58,
    kRows = 59,
    kNoYearResults = 60,
    kColTaxable = 61,
    kColExempt = 62,
    kColNet = 63,
    kChartBonus = 64,
    kPeopleAndLines = 65,
    kPrintPdf = 66,
    kPrintPayslips = 67,
    kPrintRegister = 68,
    kPrintLedgers = 69,
    kPrinted = 70,
    kCannotPrint = 71,
    kNoFolder = 72,
    kPrintReturn = 73,
};

// Loads the texts of a language (0 Korean, 1 English; others fall back to
// Korean): the resources folder's file first, then the built-in copy.
void LoadTexts(int language);
// The text of an id in the loaded language (the id itself when missing).
QString Tr(TextId id);
// The language loaded.
int TextLanguage();

}  // namespace payroll::desk
