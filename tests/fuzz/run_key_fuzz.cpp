// Arbitrary 1290-byte run keys (the host may hand over any bytes): the
// run-key check reads every field bounded, binding the engine to the key
// (init, windows) and picking a run with it through the front run their
// statements on a database with the reference schema, and none of it may
// crash, leave a transaction open or touch a table it does not own.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "payroll/datasource.h"
#include "payroll/host.h"
#include "payroll/imirak1.h"
#include "payroll/records.h"
#include "payroll/salary_calcurate.h"
#include "payroll/ui.h"
#include "platform/db/connection.h"

namespace {

template <std::size_t N>
void CheckWhole(const payroll::FixedText<N>& field) {
    if (!std::memchr(field.data, '\0', N)) std::abort();
}

void CheckKeyWhole(const HPHONPD_YMD_FMT& k) {
    CheckWhole(k.CO_CD);
    CheckWhole(k.RVRS_YM);
    CheckWhole(k.SQ);
    CheckWhole(k.PAY_DT);
    CheckWhole(k.CCIS_YN);
    CheckWhole(k.NM2);
    CheckWhole(k.PYTP_FG);
    CheckWhole(k.PYTP_LIST);
    CheckWhole(k.PYTP_HEAD);
    CheckWhole(k.NM1);
    CheckWhole(k.DIV_FILTER);
    CheckWhole(k.DEPT_FILTER);
    CheckWhole(k.PRTY_FILTER);
    CheckWhole(k.RTCM_FG);
    CheckWhole(k.JNCM_FG);
}

void Exec(const char* sql) {
    std::string error;
    if (!payroll::db::Connection::Current()->Execute(sql, &error)) std::abort();
}

// A database with the schema, the settings of company 1000 (the seed keys'
// company) and a canary table no statement of the library names.
bool OpenScratchDatabase() {
    std::string error;
    if (!payroll::OpenDatabase("sqlite::memory:", &error) || !payroll::ApplySchema(nullptr, &error))
        std::abort();
    Exec("INSERT INTO SHCFG (CO_CD) VALUES ('1000')");
    Exec("INSERT INTO SCTRL_D (CO_CD, CTRL_CD, CTD_CD, RMK_DC) VALUES ('1000','PC','001','100')");
    Exec(
        "INSERT INTO HPMPDFM (CO_CD, RVRS_YM, PYTP_FG, PYDD_FG, PYDD_CD, TAX_FG) VALUES "
        "('1000','2002','001','P2','P00','001')");
    Exec(
        "INSERT INTO HPHPYFQ (CO_CD, RVRS_YM, SQ, PAY_DT, CCIS_YN) VALUES "
        "('1000','200203',1,'20020325','002')");
    Exec("INSERT INTO HPHONPD (CO_CD, RVRS_YM, SQ, PYTP_FG) VALUES ('1000','200203',1,'001')");
    Exec("INSERT INTO HHFAACC (CO_CD, HTYP_CD, MNLT_FG, TMST_DT) VALUES ('1000','001','001','25')");
    Exec("CREATE TABLE CANARY (N INTEGER)");
    Exec("INSERT INTO CANARY VALUES (7)");
    return true;
}

void CheckCanary() {
    G_DataSource rows;
    if (!rows.OnExecuteSQL("SELECT N FROM CANARY") || rows.OnGetRecordCount() != 1 ||
        rows.OnGetFieldValue("N", 0) != "7")
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static payroll::ui::HeadlessDriver driver;
    static payroll::ui::InstantClock clock;
    static const bool ready = (payroll::ui::InstallUiDriver(&driver),
                               payroll::ui::InstallClock(&clock), OpenScratchDatabase());
    static CSalaryCalcurate engine;
    (void)ready;
    driver.Clear();

    HPHONPD_YMD_FMT key;
    std::memset(static_cast<void*>(&key), 0, sizeof key);
    std::memcpy(static_cast<void*>(&key), data, size < sizeof key ? size : sizeof key);
    const unsigned extra = size > sizeof key ? data[sizeof key] : 0;

    // The check on the key exactly as it arrived, without terminators.
    std::memcpy(static_cast<void*>(&engine.m_HPHONPD), &key, sizeof key);
    CString fields[11];
    const int valid = engine.GetNOTNULLField(fields);
    for (const CString& f : fields)
        if (f.GetLength() > 760) std::abort();
    if (valid && fields[2].IsEmpty()) std::abort();

    HPHONPD_YMD_FMT copy = key;
    if (engine.init(&copy) == 1) engine.SetYmdFromTo();
    CheckKeyWhole(engine.m_HPHONPD);

    // The front reads the same raw key (a run it cannot find leaves the key
    // as it was, so only its reading is checked here, by the sanitizers).
    HPHONPD_YMD_FMT picked = key;
    {
        CIMirak1 front;
        front.SearchMirak(&picked, 0, static_cast<int>(extra % 4));
    }

    payroll::db::Connection* c = payroll::db::Connection::Current();
    if (c->depth() != 0) std::abort();
    CheckCanary();
    return 0;
}
