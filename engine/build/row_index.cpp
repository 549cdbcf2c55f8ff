#include "engine/build/row_index.h"

namespace payroll::row_index {

bool ScanRow(const RecordTable<PayListRecord>& rows, long long count, long long first_row,
             std::string_view employee, std::string_view code) {
    if (employee.empty() || code.empty()) return false;
    const std::size_t n = UsableRows(rows, count);
    for (std::size_t r = first_row > 0 ? static_cast<std::size_t>(first_row) : 0; r < n; ++r) {
        const PayListRecord* row = rows.at(r);
        if (row->EMP_CD == employee && row->PAY_CD == code) return true;
    }
    return false;
}

int ScanAmountFlag(const RecordTable<PayListRecord>& rows, long long count,
                   std::string_view employee) {
    const std::size_t n = UsableRows(rows, count);
    std::size_t r = 0;
    while (r < n && !(rows.at(r)->EMP_CD == employee)) ++r;
    for (; r < n && rows.at(r)->EMP_CD == employee; ++r)
        if (!rows.at(r)->PAY_AM.IsEmpty()) return 1;
    return 0;
}

int ScanMasterPosition(const RecordTable<SEMP_FMT>& master, long long count,
                       std::string_view employee) {
    const std::size_t n = UsableRows(master, count);
    for (std::size_t m = 0; m < n; ++m) {
        const SEMP_FMT* rec = master.at(m);
        if (rec->EMP_CD.IsEmpty()) break;
        if (rec->EMP_CD == employee) return static_cast<int>(m);
    }
    return -1;
}

ExistingRows::ExistingRows(const RecordTable<PayListRecord>& rows, long long count)
    : table_(&rows), rows_(UsableRows(rows, count)) {
    // First pass: one group per employee, in order of first occurrence, with
    // its row count and its pay-amount flag. The flag looks only at the run
    // of adjacent rows that starts at the employee's first row.
    std::vector<Employee*> order;
    Employee* open = nullptr;
    std::string_view previous;
    for (std::size_t r = 0; r < rows_; ++r) {
        const PayListRecord* row = rows.at(r);
        std::string_view emp = row->EMP_CD.View();
        if (r > 0 && emp != previous) open = nullptr;
        auto [it, created] = employees_.try_emplace(emp);
        if (created) {
            order.push_back(&it->second);
            open = &it->second;
        }
        if (open && !row->PAY_AM.IsEmpty()) open->amount_flag = 1;
        ++it->second.count;
        previous = emp;
    }
    // Second pass: the rows of each employee side by side, in row order.
    std::uint32_t next = 0;
    for (Employee* e : order) {
        e->first = next;
        next += e->count;
        e->count = 0;
    }
    entries_.resize(rows_);
    for (std::size_t r = 0; r < rows_; ++r) {
        Employee& e = employees_.find(rows.at(r)->EMP_CD.View())->second;
        entries_[e.first + e.count++] = static_cast<std::uint32_t>(r);
    }
}

bool ExistingRows::Has(std::string_view employee, std::string_view code,
                       long long first_row) const {
    if (employee.empty() || code.empty() || !table_) return false;
    auto it = employees_.find(employee);
    if (it == employees_.end()) return false;
    const Employee& e = it->second;
    for (std::uint32_t i = e.first; i < e.first + e.count; ++i) {
        const std::uint32_t r = entries_[i];
        if (static_cast<long long>(r) >= first_row && table_->at(r)->PAY_CD == code) return true;
    }
    return false;
}

int ExistingRows::AmountFlag(std::string_view employee) const {
    auto it = employees_.find(employee);
    return it == employees_.end() ? 0 : it->second.amount_flag;
}

MasterPositions::MasterPositions(const RecordTable<SEMP_FMT>& master, long long count) {
    const std::size_t n = UsableRows(master, count);
    first_.reserve(n);
    for (std::size_t m = 0; m < n; ++m) {
        const SEMP_FMT* rec = master.at(m);
        if (rec->EMP_CD.IsEmpty()) break;
        first_.try_emplace(rec->EMP_CD.View(), static_cast<int>(m));
    }
}

int MasterPositions::Find(std::string_view employee) const {
    auto it = first_.find(employee);
    return it == first_.end() ? -1 : it->second;
}

RosterMembers::RosterMembers(const RecordTable<RosterRecord>& roster, long long count) {
    const std::size_t n = UsableRows(roster, count);
    codes_.reserve(n);
    for (std::size_t i = 0; i < n; ++i) codes_.insert(roster.at(i)->EMP_CD.View());
}

}  // namespace payroll::row_index
