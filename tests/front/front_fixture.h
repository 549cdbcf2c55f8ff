// What the front's tests share: a scratch database with the reference
// schema, an empty registry (so nobody's own settings leak in), a recorder of
// every statement sent, and seeds for the pay runs and one employee; and
// FrontSeed, the statements of a database file the host program opens.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "payroll/records.h"
#include "support/engine_fixture.h"
#include "support/run_key_builder.h"

namespace payroll::testing {

class FrontFixture : public DatabaseFixture {
  protected:
    void SetUp() override {
        DatabaseFixture::SetUp();
        Record();
    }

    // Every statement sent since SetUp (or the last Clear).
    const std::vector<std::string>& Sent() const { return sent_; }
    void ClearSent() { sent_.clear(); }

    // Company 1000, March 2002: run 1 is combined ("001") with pay types 101
    // and 102, run 2 is separate ("002") with 201 and 202, run 3 (pay type
    // 301) has no 'P4' name and run 4 a run kind without an 'SC' name.
    void SeedRuns() {
        Exec(
            "INSERT INTO HPHPYFQ VALUES('1000','200203',1,'20020325','001'),"
            "('1000','200203',2,'20020330','002'),('1000','200203',3,'20020331','002'),"
            "('1000','200203',4,'20020331','009'),('1000','200204',1,'20020425','002')");
        Exec(
            "INSERT INTO HPHONPD VALUES('1000','200203',1,'101','R01','J01'),"
            "('1000','200203',1,'102','R02','J02'),('1000','200203',2,'201','R03','J03'),"
            "('1000','200203',2,'202','R04','J04'),('1000','200203',3,'301','R05','J05'),"
            "('1000','200203',4,'101','R06','J06'),('1000','200204',1,'101','R07','J07')");
        Exec(
            "INSERT INTO SCTRL_D(CO_CD,CTRL_CD,CTD_CD,CTD_NM,CTD_NMK) VALUES"
            "('1000','P4','101','월급여','Monthly'),('1000','P4','102','시급','Hourly'),"
            "('1000','P4','201','상여','Bonus'),('1000','P4','202','성과급','Incentive'),"
            "('1000','SC','001','통합','Combined'),('1000','SC','002','개별','Separate')");
    }

    // A key with only the company and the month, as the picker is handed one.
    static HPHONPD_YMD_FMT Key(const char* company, const char* month) {
        return RunKeyBuilder().Company(company).Month(month).Build();
    }

    ScopedRegistry registry_{""};
};

// The pay runs of company 1000 in March 2002 (three listed: a combined run,
// then a separate run of two pay types) and one employee.
inline std::vector<std::string> FrontSeed() {
    // NOLINTBEGIN(bugprone-suspicious-missing-comma): each statement spans lines
    return {
        "INSERT INTO HPHPYFQ VALUES('1000','200203',1,'20020325','001'),"
        "('1000','200203',2,'20020330','002')",
        "INSERT INTO HPHONPD VALUES('1000','200203',1,'101','R1','J'),"
        "('1000','200203',1,'102','R2','J'),('1000','200203',2,'201','R3','J'),"
        "('1000','200203',2,'202','R4','J')",
        "INSERT INTO SCTRL_D(CO_CD,CTRL_CD,CTD_CD,CTD_NM) VALUES('1000','P4','101','월급여'),"
        "('1000','P4','102','시급'),('1000','P4','201','상여'),('1000','P4','202','성과급'),"
        "('1000','SC','001','통합'),('1000','SC','002','개별'),('1000','S2','001','내국인'),"
        "('1000','G4','C01','과장'),('1000','PE','S05','5호봉'),('1000','PD','F01','기본급')",
        "INSERT INTO SEMP(CO_CD,EMP_CD,KOR_NM,JOIN_DT,REFR_YN,HCLS_CD,PYST_GR,SPUS_YN) "
        "VALUES('1000','E0001','홍길동','19990301','001','C01','S05','001')",
        "INSERT INTO HHCPYST VALUES('1000','C01','S05','200201',NULL,2500000)",
        "INSERT INTO HPHFXPD VALUES('1000','E0001','F01','200201','',1500)",
        "INSERT INTO syscfg VALUES('1000','06','',2,'001','')",
    };
    // NOLINTEND(bugprone-suspicious-missing-comma)
}

}  // namespace payroll::testing
