// The transaction of one road, taken by the road itself around everything
// the engine does on it: other roads on the same runs kept off first, then
// one transaction that every step of the road runs inside. A step that
// fails rolls it back; nothing of the road runs after that, so the road
// ends committed whole or not at all.
#pragma once

#include <string>
#include <vector>

#include "payroll/records.h"

namespace payroll::roads {

// The lock names of a road: a year of a company (held shared by a road on
// one run, exclusively by a road over the year) and one run.
std::string YearLock(const std::string& company, const std::string& year);
std::string RunLock(const HPHONPD_YMD_FMT& run);
// A run as the road report names it: "200206 SQ 1 pay type 100".
std::string RunName(const HPHONPD_YMD_FMT& key);

class RoadTransaction {
  public:
    RoadTransaction() = default;
    RoadTransaction(const RoadTransaction&) = delete;
    RoadTransaction& operator=(const RoadTransaction&) = delete;
    // Rolls back what was not committed, and lets the locks go.
    ~RoadTransaction();

    // Waits for the roads of other processes on the shared and exclusive
    // names, then begins. False with the reason when either could not be
    // had; nothing was begun then.
    bool Begin(const std::vector<std::string>& shared, const std::vector<std::string>& exclusive,
               std::string* why);
    // True once a failed step rolled the road's transaction back.
    bool Lost() const;
    // Commits; false with the database's reason (everything rolled back).
    bool Commit(std::string* why);
    // Rolls back whatever the road wrote.
    void RollBack();

  private:
    void End();
    bool open_ = false;
};

}  // namespace payroll::roads
