#include "platform/db/road_report.h"

#include <cctype>

namespace payroll {
namespace report {
namespace {

struct Pending {
    std::map<std::string, TableChanges> tables;
    long results = 0;
};

Pending& Waiting() {
    static Pending pending;
    return pending;
}

long& Field(TableChanges& t, Change change) {
    switch (change) {
        case Change::kInserted:
            return t.inserted;
        case Change::kUpdated:
            return t.updated;
        case Change::kDeleted:
            break;
    }
    return t.deleted;
}

// The next word of the text from `*at` on, upper-cased, with quotes and
// brackets around a name taken off; empty at the end.
std::string Word(std::string_view sql, std::size_t* at) {
    std::size_t i = *at;
    while (i < sql.size() && std::isspace(static_cast<unsigned char>(sql[i]))) ++i;
    std::string word;
    while (i < sql.size()) {
        const char c = sql[i];
        if (std::isspace(static_cast<unsigned char>(c)) || c == '(' || c == ',' || c == ';') break;
        ++i;
        if (c == '"' || c == '[' || c == ']' || c == '`') continue;
        word += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    *at = i;
    return word;
}

}  // namespace

RoadReport& Current() {
    static RoadReport report;
    return report;
}

void NoteChange(const std::string& table, Change change, long rows) {
    if (rows <= 0 || table.empty()) return;
    Field(Waiting().tables[table], change) += rows;
}

void NoteResultStored() {
    ++Waiting().results;
}

void Committed() {
    Pending& p = Waiting();
    RoadReport& r = Current();
    for (const auto& [table, changes] : p.tables) {
        TableChanges& t = r.tables[table];
        t.inserted += changes.inserted;
        t.updated += changes.updated;
        t.deleted += changes.deleted;
    }
    r.results_stored += p.results;
    r.outcome = RoadOutcome::kCommitted;
    p = Pending{};
}

void RolledBack() {
    Waiting() = Pending{};
    Current().outcome = RoadOutcome::kRolledBack;
}

bool WriteTarget(std::string_view sql, Change* change, std::string* table) {
    std::size_t at = 0;
    const std::string verb = Word(sql, &at);
    if (verb == "INSERT") {
        if (Word(sql, &at) != "INTO") return false;
        *change = Change::kInserted;
    } else if (verb == "DELETE") {
        if (Word(sql, &at) != "FROM") return false;
        *change = Change::kDeleted;
    } else if (verb == "UPDATE") {
        *change = Change::kUpdated;
    } else {
        return false;
    }
    *table = Word(sql, &at);
    // A schema-qualified name counts under the table's own name.
    if (const std::size_t dot = table->rfind('.'); dot != std::string::npos)
        table->erase(0, dot + 1);
    return !table->empty();
}

}  // namespace report

long RoadReport::Inserted() const {
    long n = 0;
    for (const auto& [name, t] : tables) n += t.inserted;
    return n;
}

long RoadReport::Updated() const {
    long n = 0;
    for (const auto& [name, t] : tables) n += t.updated;
    return n;
}

long RoadReport::Deleted() const {
    long n = 0;
    for (const auto& [name, t] : tables) n += t.deleted;
    return n;
}

void BeginRoadReport(const std::string& road) {
    report::Waiting() = report::Pending{};
    report::Current() = RoadReport{};
    report::Current().road = road;
}

RoadReport CurrentRoadReport() {
    return report::Current();
}

}  // namespace payroll
