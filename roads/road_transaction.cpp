#include "roads/road_transaction.h"

#include "engine/common/messages.h"
#include "payroll/host.h"
#include "platform/db/connection.h"
#include "platform/lang/lang_util.h"

namespace payroll::roads {
namespace {

// "The results could not be saved: the commit failed (%s). Nothing was changed."
constexpr int kCommitFailed = 1203;

}  // namespace

std::string YearLock(const std::string& company, const std::string& year) {
    return "the year " + year + " of company " + company;
}

std::string RunLock(const HPHONPD_YMD_FMT& run) {
    return "run " + run.SQ.Str() + " of " + run.RVRS_YM.Str() + " of company " + run.CO_CD.Str();
}

std::string RunName(const HPHONPD_YMD_FMT& key) {
    return key.RVRS_YM.Str() + " SQ " + key.SQ.Str() + " pay type " + key.PYTP_FG.Str();
}

RoadTransaction::~RoadTransaction() {
    RollBack();
}

bool RoadTransaction::Begin(const std::vector<std::string>& shared,
                            const std::vector<std::string>& exclusive, std::string* why) {
    db::Connection* c = db::Connection::Current();
    if (!c) {
        *why = "no database is open";
        return false;
    }
    std::string error;
    if (!c->LockRoads(shared, exclusive, &error)) {
        *why = error;
        return false;
    }
    if (!c->Begin(&error)) {
        c->UnlockRoads();
        // SQLite lets one writer in at a time and waits a few seconds.
        *why = error.find("locked") != std::string::npos
                   ? "another process is writing to the database (" + error +
                         "); try again when it has finished"
                   : "the transaction could not begin: " + error;
        return false;
    }
    c->HoldRoad();
    open_ = true;
    return true;
}

bool RoadTransaction::Lost() const {
    const db::Connection* c = db::Connection::Current();
    return open_ && (!c || c->road_lost());
}

bool RoadTransaction::Commit(std::string* why) {
    db::Connection* c = db::Connection::Current();
    if (!open_ || !c) {
        *why = "the road's transaction is gone";
        return false;
    }
    if (c->road_lost()) {
        *why = "the road's transaction was rolled back";
        End();
        return false;
    }
    if (c->depth() != 1) {
        // A step began more than it ended: what it left open is not known
        // to be whole.
        *why = "a step of the road left a transaction of its own open";
        RollBack();
        return false;
    }
    c->ReleaseRoad();
    std::string error;
    const bool committed =
        c->Commit(&error) && LastTransactionOutcome() == TransactionOutcome::kCommitted;
    End();
    if (!committed) {
        *why = error.empty() ? LastDatabaseError() : error;
        engine::ShowMessage(lang::FormatLangText(kCommitFailed, {*why}));
    }
    return committed;
}

void RoadTransaction::RollBack() {
    if (!open_) return;
    if (db::Connection* c = db::Connection::Current()) c->Rollback();
    End();
}

void RoadTransaction::End() {
    open_ = false;
    if (db::Connection* c = db::Connection::Current()) {
        c->ReleaseRoad();
        c->UnlockRoads();
    }
}

}  // namespace payroll::roads
