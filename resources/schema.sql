-- Reference schema of the payroll database: every table the engine and the front
-- read or write, with every column their statements name or read back.
--
-- Written for SQLite 3.40 and PostgreSQL 15 alike: only portable types, no
-- backend-specific clauses. Applying it twice is harmless (IF NOT EXISTS
-- everywhere). Statements end with a semicolon and comments never hold one,
-- so a plain split on semicolons is enough to run the file.
--
-- Conventions
--   SQ           INTEGER (the run sequence, written unquoted by the engine)
--   amounts      NUMERIC(19,4), rates NUMERIC(19,6)
--   dates        VARCHAR(8) YYYYMMDD, months VARCHAR(6), years VARCHAR(4)
--   flags        VARCHAR(3) three-character codes such as '001'
--   names        VARCHAR(100), always in pairs: the main column and its K twin
-- Only key columns are NOT NULL. Tables the engine inserts into without first
-- checking for the row get plain indexes, not primary keys, so that no valid
-- insert can fail on a duplicate.

-- ---------------------------------------------------------------------------
-- Company master data
-- ---------------------------------------------------------------------------

-- Employee master. DIV_TO_CD exists here only: the attribute load selects it
-- unqualified over SEMP, SDEPT and SDIV.
CREATE TABLE IF NOT EXISTS SEMP (
    CO_CD      VARCHAR(10)   NOT NULL,
    EMP_CD     VARCHAR(10)   NOT NULL,
    KOR_NM     VARCHAR(100),
    KOR_NMK    VARCHAR(100),
    RSRG_NO    VARCHAR(20),
    FORG_NO    VARCHAR(20),
    PRTY_CD    VARCHAR(10),
    DEPT_CD    VARCHAR(10),
    PJT_CD     VARCHAR(10),
    DIV_TO_CD  VARCHAR(10),
    HTYP_CD    VARCHAR(5),
    HRSP_CD    VARCHAR(5),
    HCLS_CD    VARCHAR(5),
    HOPR_CD    VARCHAR(5),
    PYSP_FG    VARCHAR(3),
    PYST_GR    VARCHAR(5),
    NTPS_GR    VARCHAR(5),
    HTIS_GR    VARCHAR(5),
    ENRL_FG    VARCHAR(3),
    EMPL_FG    VARCHAR(3),
    RSDC_FG    VARCHAR(3),
    JOIN_DT    VARCHAR(8),
    RTR_DT     VARCHAR(8),
    APED_YN    VARCHAR(3),
    APED_DT    VARCHAR(8),
    RPMC_DT    VARCHAR(8),
    FESC_DT    VARCHAR(8),
    FESV_DT    VARCHAR(8),
    SPUS_YN    VARCHAR(3),
    ABIN_YN    VARCHAR(3),
    FEHR_YN    VARCHAR(3),
    WMHH_YN    VARCHAR(3),
    WKTG_YN    VARCHAR(3),
    EMIS_YN    VARCHAR(3),
    REFR_YN    VARCHAR(3),
    TDFR_SN    INTEGER,
    SUFR_SN    INTEGER,
    CHRS_SN    NUMERIC(9,2),
    AGCT_SN    INTEGER,
    HDCP_SN    INTEGER,
    NAPS_AM    NUMERIC(19,4),
    HIFA_AM    NUMERIC(19,4),
    PRIMARY KEY (CO_CD, EMP_CD)
);
CREATE INDEX IF NOT EXISTS SEMP_DEPT ON SEMP (CO_CD, DEPT_CD);
CREATE INDEX IF NOT EXISTS SEMP_TYPE ON SEMP (CO_CD, HTYP_CD, PYSP_FG);

-- The host's employee list, used as the outer side of the pay-total join.
CREATE TABLE IF NOT EXISTS H_SEMP (
    CO_CD      VARCHAR(10)   NOT NULL,
    EMP_CD     VARCHAR(10)   NOT NULL
);
CREATE INDEX IF NOT EXISTS H_SEMP_EMP ON H_SEMP (CO_CD, EMP_CD);

CREATE TABLE IF NOT EXISTS SDEPT (
    CO_CD      VARCHAR(10)   NOT NULL,
    DEPT_CD    VARCHAR(10)   NOT NULL,
    DIV_CD     VARCHAR(10),
    DEPT_NM    VARCHAR(100),
    DEPT_NMK   VARCHAR(100),
    PRIMARY KEY (CO_CD, DEPT_CD)
);
CREATE INDEX IF NOT EXISTS SDEPT_DIV ON SDEPT (CO_CD, DIV_CD);

-- DUMMY2 and DUMMY3 carry the division's two monthly deduction amounts as text
-- (the income-tax step subtracts one of them from the taxable amount).
CREATE TABLE IF NOT EXISTS SDIV (
    CO_CD      VARCHAR(10)   NOT NULL,
    DIV_CD     VARCHAR(10)   NOT NULL,
    DIV_NM     VARCHAR(100),
    DIV_NMK    VARCHAR(100),
    DUMMY2     VARCHAR(20),
    DUMMY3     VARCHAR(20),
    PRIMARY KEY (CO_CD, DIV_CD)
);

-- Code table: one row per company, control group and code. RMK_DC holds the
-- limit amount of the 'PC' codes and the remark of the 'G2' employee types.
CREATE TABLE IF NOT EXISTS SCTRL_D (
    CO_CD      VARCHAR(10)   NOT NULL,
    CTRL_CD    VARCHAR(5)    NOT NULL,
    CTD_CD     VARCHAR(20)   NOT NULL,
    MODULE_CD  VARCHAR(5),
    CTD_NM     VARCHAR(100),
    CTD_NMK    VARCHAR(100),
    EDIT_YN    VARCHAR(3),
    USE_YN     VARCHAR(3),
    RMK_DC     VARCHAR(100),
    DUMMY1     VARCHAR(100),
    DUMMY2     VARCHAR(100),
    DUMMY3     VARCHAR(100),
    PRIMARY KEY (CO_CD, CTRL_CD, CTD_CD)
);
-- The picker joins the code table on company and code before it filters the group.
CREATE INDEX IF NOT EXISTS SCTRL_D_CODE ON SCTRL_D (CO_CD, CTD_CD);

-- The company as its papers name it, one row per company.
CREATE TABLE IF NOT EXISTS SCOINFO (
    CO_CD      VARCHAR(10)   NOT NULL,
    CO_NM      VARCHAR(200),
    CO_NMK     VARCHAR(200),
    CEO_NM     VARCHAR(200),
    BIZR_NB    VARCHAR(200),
    ADDR_DC    VARCHAR(200),
    PRIMARY KEY (CO_CD)
);

-- Company payroll settings, one row per company.
CREATE TABLE IF NOT EXISTS SHCFG (
    CO_CD      VARCHAR(10)   NOT NULL,
    MNST_DN    NUMERIC(19,4),
    AVMS_TM    NUMERIC(19,4),
    DYST_DN    NUMERIC(19,4),
    FYRV_DN    NUMERIC(19,4),
    MNDC_CD    VARCHAR(3),
    JNCM_FG    VARCHAR(3),
    RTCM_FG    VARCHAR(3),
    JPCC_DN    NUMERIC(19,4),
    RPCC_DN    NUMERIC(19,4),
    APPC_DN    NUMERIC(19,4),
    APPP_MC    NUMERIC(19,4),
    APCM_FG    VARCHAR(3),
    EMIN_RT    NUMERIC(19,6),
    PRCT_RT    NUMERIC(19,6),
    FGTE_RT    NUMERIC(19,6),
    DUMMY1     VARCHAR(100),
    NAPE_CD    VARCHAR(20),
    DUMMY3     VARCHAR(100),
    PRIMARY KEY (CO_CD)
);

-- System configuration (the front reads the amount decimals from CTR_CD '06').
CREATE TABLE IF NOT EXISTS syscfg (
    CO_CD      VARCHAR(10)   NOT NULL,
    CTR_CD     VARCHAR(5)    NOT NULL,
    CTR_FG     VARCHAR(3),
    CTR_NB     INTEGER,
    USE_YN     VARCHAR(3),
    FG_TY      VARCHAR(3),
    PRIMARY KEY (CO_CD, CTR_CD)
);

-- Monthly cut-off of each employee type: window kind and cut-off day.
CREATE TABLE IF NOT EXISTS HHFAACC (
    CO_CD      VARCHAR(10)   NOT NULL,
    HTYP_CD    VARCHAR(5)    NOT NULL,
    MNLT_FG    VARCHAR(3),
    TMST_DT    VARCHAR(8),
    PRIMARY KEY (CO_CD, HTYP_CD)
);

-- Pay-step table: the amounts of a pay class and step over a span of months.
CREATE TABLE IF NOT EXISTS HHCPYST (
    CO_CD      VARCHAR(10)   NOT NULL,
    HCLS_CD    VARCHAR(5)    NOT NULL,
    PYST_CD    VARCHAR(5)    NOT NULL,
    APST_YM    VARCHAR(6),
    APED_YM    VARCHAR(6),
    PAY_AM     NUMERIC(19,4)
);
CREATE INDEX IF NOT EXISTS HHCPYST_STEP ON HHCPYST (CO_CD, HCLS_CD, PYST_CD);

-- Fixed pay items of an employee over a span of months.
CREATE TABLE IF NOT EXISTS HPHFXPD (
    CO_CD      VARCHAR(10)   NOT NULL,
    EMP_CD     VARCHAR(10)   NOT NULL,
    FIXP_CD    VARCHAR(20)   NOT NULL,
    CTST_YM    VARCHAR(6),
    CTED_YM    VARCHAR(6),
    FIX_AM     NUMERIC(19,4)
);
CREATE INDEX IF NOT EXISTS HPHFXPD_EMP ON HPHFXPD (CO_CD, EMP_CD);

-- ---------------------------------------------------------------------------
-- Pay runs and their items
-- ---------------------------------------------------------------------------

-- Pay-run calendar: one row per company, month and sequence.
CREATE TABLE IF NOT EXISTS HPHPYFQ (
    CO_CD      VARCHAR(10)   NOT NULL,
    RVRS_YM    VARCHAR(6)    NOT NULL,
    SQ         INTEGER       NOT NULL,
    PAY_DT     VARCHAR(8),
    CCIS_YN    VARCHAR(3),
    PRIMARY KEY (CO_CD, RVRS_YM, SQ)
);

-- The pay types of each run and their join and retirement month rules.
CREATE TABLE IF NOT EXISTS HPHONPD (
    CO_CD      VARCHAR(10)   NOT NULL,
    RVRS_YM    VARCHAR(6)    NOT NULL,
    SQ         INTEGER       NOT NULL,
    PYTP_FG    VARCHAR(3)    NOT NULL,
    RTCM_FG    VARCHAR(3),
    JNCM_FG    VARCHAR(3),
    PRIMARY KEY (CO_CD, RVRS_YM, SQ, PYTP_FG)
);

-- Employee types and pay systems a run covers, with the bonus-period dates of
-- bonus runs.
CREATE TABLE IF NOT EXISTS HPHWTPT (
    CO_CD      VARCHAR(10)   NOT NULL,
    RVRS_YM    VARCHAR(6)    NOT NULL,
    SQ         INTEGER       NOT NULL,
    PYTP_FG    VARCHAR(3)    NOT NULL,
    HTYP_CD    VARCHAR(5),
    PYSP_FG    VARCHAR(3),
    BNST_DT    VARCHAR(8),
    BNED_DT    VARCHAR(8)
);
CREATE INDEX IF NOT EXISTS HPHWTPT_RUN ON HPHWTPT (CO_CD, RVRS_YM, SQ, PYTP_FG);

-- Items attached to a run (class 'P2' pay, 'P3' deduction).
CREATE TABLE IF NOT EXISTS HPHPOYM (
    CO_CD      VARCHAR(10)   NOT NULL,
    RVRS_YM    VARCHAR(6)    NOT NULL,
    SQ         INTEGER       NOT NULL,
    PYTP_FG    VARCHAR(3)    NOT NULL,
    PYDD_FG    VARCHAR(3)    NOT NULL,
    PYDD_CD    VARCHAR(5)    NOT NULL
);
CREATE INDEX IF NOT EXISTS HPHPOYM_RUN ON HPHPOYM (CO_CD, RVRS_YM, SQ, PYTP_FG, PYDD_FG);

-- Pay and deduction item definitions. RVRS_YM holds the year (YYYY) the
-- definitions apply to. The same code may be defined twice, so no key.
CREATE TABLE IF NOT EXISTS HPMPDFM (
    CO_CD      VARCHAR(10)   NOT NULL,
    RVRS_YM    VARCHAR(6)    NOT NULL,
    PYTP_FG    VARCHAR(3)    NOT NULL,
    PYDD_FG    VARCHAR(3)    NOT NULL,
    PYDD_CD    VARCHAR(5)    NOT NULL,
    TAX_FG     VARCHAR(3),
    TXEX_FG    VARCHAR(3),
    CTOF_FG    VARCHAR(3),
    AMDP_DP    INTEGER,
    FTPY_YN    VARCHAR(3),
    EXCP_YN    VARCHAR(3),
    NFGC_YN    VARCHAR(3),
    NFGA_AM    NUMERIC(19,4),
    NFGF_DC    VARCHAR(256),
    RTDD_YN    VARCHAR(3),
    PRCT_FG    VARCHAR(3),
    PRCT_RT    NUMERIC(19,6),
    HIDD_YN    VARCHAR(3),
    NPDD_YN    VARCHAR(3),
    EIDD_YN    VARCHAR(3),
    IDDD_YN    VARCHAR(3),
    LMPY_YN    VARCHAR(3),
    SHFG_YN    VARCHAR(3)
);
CREATE INDEX IF NOT EXISTS HPMPDFM_ITEM ON HPMPDFM (CO_CD, RVRS_YM, PYTP_FG, PYDD_FG, PYDD_CD);

-- Pay-type rates of a company.
CREATE TABLE IF NOT EXISTS HPMTRPY (
    CO_CD      VARCHAR(10)   NOT NULL,
    PYTP_FG    VARCHAR(3)    NOT NULL,
    PYOF_YN    VARCHAR(3),
    PAY_RT     NUMERIC(19,6),
    PRIMARY KEY (CO_CD, PYTP_FG)
);

-- ---------------------------------------------------------------------------
-- Yearly rate tables, kept under the common company code '0000'
-- ---------------------------------------------------------------------------

-- Income-tax brackets: TXSE_AM 0 marks the open top bracket.
CREATE TABLE IF NOT EXISTS HPFTITC (
    CO_CD      VARCHAR(10)   NOT NULL,
    RVRS_YY    VARCHAR(4)    NOT NULL,
    TXSS_AM    NUMERIC(19,4),
    TXSE_AM    NUMERIC(19,4),
    TAX_RT     NUMERIC(19,6),
    PRDA_AM    NUMERIC(19,4)
);
CREATE INDEX IF NOT EXISTS HPFTITC_YEAR ON HPFTITC (CO_CD, RVRS_YY, TXSS_AM);

-- Earned-income tax credit brackets, walked in SQ order.
CREATE TABLE IF NOT EXISTS HPFLICH (
    CO_CD      VARCHAR(10)   NOT NULL,
    RVRS_YY    VARCHAR(4)    NOT NULL,
    SQ         INTEGER       NOT NULL,
    TXSS_AM    NUMERIC(19,4),
    TXSE_AM    NUMERIC(19,4),
    PRDA_AM    NUMERIC(19,4),
    TXDD_RT    NUMERIC(19,6),
    ICAM_AM    NUMERIC(19,4),
    PRIMARY KEY (CO_CD, RVRS_YY, SQ)
);

-- Simplified tax-table cells: bounds and cell width per bracket.
CREATE TABLE IF NOT EXISTS HPFSTIA (
    CO_CD      VARCHAR(10)   NOT NULL,
    RVRS_YY    VARCHAR(4)    NOT NULL,
    SQ         INTEGER       NOT NULL,
    TXSS_AM    NUMERIC(19,4),
    TXSE_AM    NUMERIC(19,4),
    AJMT_AM    NUMERIC(19,4),
    PRIMARY KEY (CO_CD, RVRS_YY, SQ)
);

-- Bonus-tax parameters of a year. DUMMY4 and DUMMY5 are the standard
-- deductions from 2002 on (households of at most two and of more persons).
CREATE TABLE IF NOT EXISTS HPMLBEC (
    CO_CD      VARCHAR(10)   NOT NULL,
    RVRS_YY    VARCHAR(4)    NOT NULL,
    STSD_AM    NUMERIC(19,4),
    BSHD_AM    NUMERIC(19,4),
    OSMD_AM    NUMERIC(19,4),
    RSTX_RT    NUMERIC(19,6),
    DUMMY4     NUMERIC(19,4),
    DUMMY5     NUMERIC(19,4)
);
CREATE INDEX IF NOT EXISTS HPMLBEC_YEAR ON HPMLBEC (CO_CD, RVRS_YY);

-- Social-insurance rates of the employee's share, by the day each took
-- effect (FROM_YMD, YYYYMMDD): the rate in force on a month's last day
-- applies to that month's runs. INS_KIND 'EMPLOY' is the employment
-- insurance (unemployment benefits), of the taxable pay. The sources are
-- named in resources/law/README.md.
CREATE TABLE IF NOT EXISTS HINSRAT (
    INS_KIND   VARCHAR(10)   NOT NULL,
    FROM_YMD   VARCHAR(8)    NOT NULL,
    EMPL_RT    NUMERIC(19,6)
);
CREATE UNIQUE INDEX IF NOT EXISTS HINSRAT_KEY ON HINSRAT (INS_KIND, FROM_YMD);
INSERT INTO HINSRAT (INS_KIND, FROM_YMD, EMPL_RT)
    SELECT 'EMPLOY', '19990101', 0.005
    WHERE NOT EXISTS (SELECT 1 FROM HINSRAT WHERE INS_KIND='EMPLOY' AND FROM_YMD='19990101');
INSERT INTO HINSRAT (INS_KIND, FROM_YMD, EMPL_RT)
    SELECT 'EMPLOY', '20030101', 0.0045
    WHERE NOT EXISTS (SELECT 1 FROM HINSRAT WHERE INS_KIND='EMPLOY' AND FROM_YMD='20030101');

-- National-pension grades: premium NAPS_AM for pay in [STMS_AM, STME_AM).
CREATE TABLE IF NOT EXISTS HIFNPCT (
    CO_CD      VARCHAR(10)   NOT NULL,
    RVRS_YY    VARCHAR(4)    NOT NULL,
    NTPS_GR    VARCHAR(5),
    STMS_AM    NUMERIC(19,4),
    STME_AM    NUMERIC(19,4),
    NAPS_AM    NUMERIC(19,4)
);
CREATE INDEX IF NOT EXISTS HIFNPCT_YEAR ON HIFNPCT (CO_CD, RVRS_YY, STMS_AM);

-- ---------------------------------------------------------------------------
-- Pay and deduction rows: three table sets of the same two shapes
--   set 0 HPITMPD / HPITMDD, set 1 HPOMPPD / HPOMPDD, set 2 HTOWTRT / HTOWTDR
-- The default-row step inserts in batches, so these carry indexes, not keys.
-- DUMMY1 holds the pay-period window (16 characters) of the income-tax row,
-- DUMMY2 the employee's HRSP_CD and DUMMY3 the item's tax flag.
-- ---------------------------------------------------------------------------

CREATE TABLE IF NOT EXISTS HPITMPD (
    CO_CD      VARCHAR(10)   NOT NULL,
    RVRS_YM    VARCHAR(6)    NOT NULL,
    SQ         INTEGER       NOT NULL,
    PYTP_FG    VARCHAR(3)    NOT NULL,
    EMP_CD     VARCHAR(10)   NOT NULL,
    PYDD_FG    VARCHAR(3),
    PAY_CD     VARCHAR(5),
    PAY_AM     NUMERIC(19,4),
    DIV_CD     VARCHAR(10),
    DEPT_CD    VARCHAR(10),
    PJT_CD     VARCHAR(10),
    PRTY_CD    VARCHAR(10),
    DUMMY1     VARCHAR(20),
    DUMMY2     VARCHAR(20),
    DUMMY3     VARCHAR(20)
);
CREATE INDEX IF NOT EXISTS HPITMPD_RUN ON HPITMPD (CO_CD, RVRS_YM, SQ, EMP_CD);

CREATE TABLE IF NOT EXISTS HPITMDD (
    CO_CD      VARCHAR(10)   NOT NULL,
    RVRS_YM    VARCHAR(6)    NOT NULL,
    SQ         INTEGER       NOT NULL,
    PYTP_FG    VARCHAR(3)    NOT NULL,
    EMP_CD     VARCHAR(10)   NOT NULL,
    PYDD_FG    VARCHAR(3),
    DDCT_CD    VARCHAR(5),
    DDCT_AM    NUMERIC(19,4),
    DIV_CD     VARCHAR(10),
    DEPT_CD    VARCHAR(10),
    PJT_CD     VARCHAR(10),
    PRTY_CD    VARCHAR(10),
    DUMMY1     VARCHAR(20),
    DUMMY2     VARCHAR(20),
    DUMMY3     VARCHAR(20)
);
CREATE INDEX IF NOT EXISTS HPITMDD_RUN ON HPITMDD (CO_CD, RVRS_YM, SQ, EMP_CD);

CREATE TABLE IF NOT EXISTS HPOMPPD (
    CO_CD      VARCHAR(10)   NOT NULL,
    RVRS_YM    VARCHAR(6)    NOT NULL,
    SQ         INTEGER       NOT NULL,
    PYTP_FG    VARCHAR(3)    NOT NULL,
    EMP_CD     VARCHAR(10)   NOT NULL,
    PYDD_FG    VARCHAR(3),
    PAY_CD     VARCHAR(5),
    PAY_AM     NUMERIC(19,4),
    DIV_CD     VARCHAR(10),
    DEPT_CD    VARCHAR(10),
    PJT_CD     VARCHAR(10),
    PRTY_CD    VARCHAR(10),
    DUMMY1     VARCHAR(20),
    DUMMY2     VARCHAR(20),
    DUMMY3     VARCHAR(20)
);
CREATE INDEX IF NOT EXISTS HPOMPPD_RUN ON HPOMPPD (CO_CD, RVRS_YM, SQ, EMP_CD);

CREATE TABLE IF NOT EXISTS HPOMPDD (
    CO_CD      VARCHAR(10)   NOT NULL,
    RVRS_YM    VARCHAR(6)    NOT NULL,
    SQ         INTEGER       NOT NULL,
    PYTP_FG    VARCHAR(3)    NOT NULL,
    EMP_CD     VARCHAR(10)   NOT NULL,
    PYDD_FG    VARCHAR(3),
    DDCT_CD    VARCHAR(5),
    DDCT_AM    NUMERIC(19,4),
    DIV_CD     VARCHAR(10),
    DEPT_CD    VARCHAR(10),
    PJT_CD     VARCHAR(10),
    PRTY_CD    VARCHAR(10),
    DUMMY1     VARCHAR(20),
    DUMMY2     VARCHAR(20),
    DUMMY3     VARCHAR(20)
);
-- The tax steps update an employee's deduction rows code by code: the code
-- ends the index, so each update finds its row at once. It replaces the
-- run-and-employee index of earlier databases.
DROP INDEX IF EXISTS HPOMPDD_RUN;
CREATE INDEX IF NOT EXISTS HPOMPDD_ITEM ON HPOMPDD (CO_CD, RVRS_YM, SQ, EMP_CD, DDCT_CD);

CREATE TABLE IF NOT EXISTS HTOWTRT (
    CO_CD      VARCHAR(10)   NOT NULL,
    RVRS_YM    VARCHAR(6)    NOT NULL,
    SQ         INTEGER       NOT NULL,
    PYTP_FG    VARCHAR(3)    NOT NULL,
    EMP_CD     VARCHAR(10)   NOT NULL,
    PYDD_FG    VARCHAR(3),
    PAY_CD     VARCHAR(5),
    PAY_AM     NUMERIC(19,4),
    DIV_CD     VARCHAR(10),
    DEPT_CD    VARCHAR(10),
    PJT_CD     VARCHAR(10),
    PRTY_CD    VARCHAR(10),
    DUMMY1     VARCHAR(20),
    DUMMY2     VARCHAR(20),
    DUMMY3     VARCHAR(20)
);
CREATE INDEX IF NOT EXISTS HTOWTRT_RUN ON HTOWTRT (CO_CD, RVRS_YM, SQ, EMP_CD);

CREATE TABLE IF NOT EXISTS HTOWTDR (
    CO_CD      VARCHAR(10)   NOT NULL,
    RVRS_YM    VARCHAR(6)    NOT NULL,
    SQ         INTEGER       NOT NULL,
    PYTP_FG    VARCHAR(3)    NOT NULL,
    EMP_CD     VARCHAR(10)   NOT NULL,
    PYDD_FG    VARCHAR(3),
    DDCT_CD    VARCHAR(5),
    DDCT_AM    NUMERIC(19,4),
    DIV_CD     VARCHAR(10),
    DEPT_CD    VARCHAR(10),
    PJT_CD     VARCHAR(10),
    PRTY_CD    VARCHAR(10),
    DUMMY1     VARCHAR(20),
    DUMMY2     VARCHAR(20),
    DUMMY3     VARCHAR(20)
);
CREATE INDEX IF NOT EXISTS HTOWTDR_RUN ON HTOWTDR (CO_CD, RVRS_YM, SQ, EMP_CD);

-- ---------------------------------------------------------------------------
-- Results: one summary row per employee, run and pay type. The summary
-- replace deletes under the run's filters before it inserts, so a key could
-- reject a valid insert: indexes only. EXCL_YN is written and read as a number.
-- ---------------------------------------------------------------------------

CREATE TABLE IF NOT EXISTS HPOMNPY (
    CO_CD      VARCHAR(10)   NOT NULL,
    EMP_CD     VARCHAR(10)   NOT NULL,
    RVRS_YM    VARCHAR(6)    NOT NULL,
    SQ         INTEGER       NOT NULL,
    PYTP_FG    VARCHAR(3)    NOT NULL,
    DIV_CD     VARCHAR(10),
    DEPT_CD    VARCHAR(10),
    PJT_CD     VARCHAR(10),
    HTYP_CD    VARCHAR(5),
    HRSP_CD    VARCHAR(5),
    HCLS_CD    VARCHAR(5),
    HOPR_CD    VARCHAR(5),
    PYSP_FG    VARCHAR(3),
    PRTY_CD    VARCHAR(10),
    TPAY_AM    NUMERIC(19,4),
    TBON_AM    NUMERIC(19,4),
    SALY_AM    NUMERIC(19,4),
    BONUS_AM   NUMERIC(19,4),
    FGTE_AM    NUMERIC(19,4),
    EWTE_AM    NUMERIC(19,4),
    AITE_AM    NUMERIC(19,4),
    ETTE_AM    NUMERIC(19,4),
    FEDD_AM    NUMERIC(19,4),
    TXST_AM    NUMERIC(19,4),
    CCTX_AM    NUMERIC(19,4),
    PFND_AM    NUMERIC(19,4),
    DEXT_AM    NUMERIC(19,4),
    SPIC_AM    NUMERIC(19,4),
    AGTX_AM    NUMERIC(19,4),
    INTX_AM    NUMERIC(19,4),
    RSTX_AM    NUMERIC(19,4),
    RTTF_AM    NUMERIC(19,4),
    ACBN_AM    NUMERIC(19,4),
    HIFE_AM    NUMERIC(19,4),
    NAPE_AM    NUMERIC(19,4),
    DDCT_AM    NUMERIC(19,4),
    ETIN_AM    NUMERIC(19,4),
    EXCL_YN    INTEGER
);
CREATE INDEX IF NOT EXISTS HPOMNPY_EMP ON HPOMNPY (CO_CD, EMP_CD, RVRS_YM, SQ, PYTP_FG);
CREATE INDEX IF NOT EXISTS HPOMNPY_RUN ON HPOMNPY (CO_CD, RVRS_YM, SQ);

-- ---------------------------------------------------------------------------
-- The pay step: what it last wrote into each pay and deduction row of a run
-- (TBST_FG: the table set, 0 HPITMPD/HPITMDD, 1 HPOMPPD/HPOMPDD, 2
-- HTOWTRT/HTOWTDR). A row that no longer holds SET_AM was changed by hand,
-- and the step leaves it. SRC_FG says where the amount came from (STP the
-- pay-step table, FIX a fixed item, VAR the month's variable pay). WORK_DN
-- and WNDW_DN are the days employed and the days of the window of a
-- prorated amount, WKHR_TM and CALC_DC the hours and the note of a variable
-- amount.
-- ---------------------------------------------------------------------------

CREATE TABLE IF NOT EXISTS HPOMPSW (
    CO_CD      VARCHAR(10)   NOT NULL,
    RVRS_YM    VARCHAR(6)    NOT NULL,
    SQ         INTEGER       NOT NULL,
    PYTP_FG    VARCHAR(3)    NOT NULL,
    EMP_CD     VARCHAR(10)   NOT NULL,
    TBST_FG    VARCHAR(3)    NOT NULL,
    PYDD_FG    VARCHAR(3)    NOT NULL,
    PYDD_CD    VARCHAR(5)    NOT NULL,
    SET_AM     NUMERIC(19,4),
    SRC_FG     VARCHAR(3),
    WORK_DN    INTEGER,
    WNDW_DN    INTEGER,
    WKHR_TM    NUMERIC(19,4),
    CALC_DC    VARCHAR(256),
    PRIMARY KEY (CO_CD, RVRS_YM, SQ, PYTP_FG, EMP_CD, TBST_FG, PYDD_FG, PYDD_CD)
);
