// The folder's check, import and export.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <utility>

#include "company/csv.h"
#include "company/model.h"
#include "company/tables.h"
#include "payroll/company.h"
#include "payroll/datasource.h"

namespace payroll::folder {
namespace {

// Rows sent to the database in one text, and rows one INSERT writes.
constexpr std::size_t kBatch = 5000;
constexpr std::size_t kRowsPerInsert = 100;

class Batch {
  public:
    bool Add(const std::string& statement) { return Add(statement, 1); }
    // A statement that writes `rows` rows.
    bool Add(std::string_view statement, std::size_t rows) {
        text_ += statement;
        text_ += '\n';
        pending_ += rows;
        return pending_ < kBatch || Flush();
    }
    bool Flush() {
        if (pending_ == 0) return true;
        G_DirectSQL sql;
        const bool ok = sql.OnExecuteText(text_);
        if (!ok) error_ = sql.GetLastError().str();
        text_.clear();
        pending_ = 0;
        return ok;
    }
    const std::string& error() const { return error_; }

  private:
    std::string text_;
    std::size_t pending_ = 0;
    std::string error_;
};

std::string Literal(const Target& t, const std::string& column, const std::string& value) {
    if (t.IsNumeric(column)) return value.empty() ? "NULL" : value;
    return SqlQuoted(value);
}

std::string Where(const Target& t, const std::string& company,
                  const std::vector<std::string>& row) {
    std::string w = " WHERE CO_CD=" + SqlQuoted(company);
    for (std::size_t i = 0; i < t.keys.size(); ++i)
        w += " AND " + t.keys[i] + "=" + Literal(t, t.keys[i], row[i]);
    if (!t.scope.empty()) w += " AND " + t.scope;
    return w;
}

// SqlQuoted's literal, appended.
void AppendQuoted(std::string_view text, std::string* out) {
    *out += '\'';
    for (char c : text) {
        if (c == '\0') break;
        if (c == '\'') *out += '\'';
        *out += c;
    }
    *out += '\'';
}

// The INSERTs of a slice's new rows: a hundred rows a statement, so that
// the database runs one statement, not one a row. A number left empty is
// NULL, which is part of a statement's shape, not one of its values: rows
// join a statement only with the NULLs in the same columns as the rows
// before them, and rows short of a whole statement go one by one. A slice
// then has at most two shapes of INSERT per pattern of NULLs.
class Inserts {
  public:
    Inserts(const Target& t, const std::string& company, Batch* batch) : batch_(batch) {
        head_ = "INSERT INTO ";
        head_.append(t.table).append(" (CO_CD");
        for (const auto* list : {&t.keys, &t.values})
            for (const std::string& c : *list) {
                head_.append(",").append(c);
                numeric_.push_back(t.IsNumeric(c));
            }
        for (const auto& d : t.defaults) head_.append(",").append(d.first);
        head_ += ") VALUES ";
        AppendQuoted(company, &company_);
        for (const auto& d : t.defaults) tail_.append(",").append(d.second);
        tail_ += ')';
    }

    bool Add(const std::vector<std::string>& row) {
        nulls_.clear();
        for (std::size_t i = 0; i < numeric_.size(); ++i)
            nulls_.push_back(numeric_[i] && row[i].empty());
        if (nulls_ != pending_nulls_ && !Singles()) return false;
        pending_nulls_ = nulls_;
        starts_.push_back(tuples_.size());
        if (!tuples_.empty()) tuples_ += ',';
        tuples_ += '(';
        tuples_ += company_;
        for (std::size_t i = 0; i < numeric_.size(); ++i) {
            tuples_ += ',';
            if (!numeric_[i])
                AppendQuoted(row[i], &tuples_);
            else
                tuples_ += row[i].empty() ? std::string_view("NULL") : std::string_view(row[i]);
        }
        tuples_ += tail_;
        if (starts_.size() < kRowsPerInsert) return true;
        text_ = head_;
        text_ += tuples_;
        Clear();
        return batch_->Add(text_, kRowsPerInsert);
    }
    // The rows short of a whole statement, one by one.
    bool Singles() {
        for (std::size_t i = 0; i < starts_.size(); ++i) {
            const std::size_t from = starts_[i] + (i ? 1 : 0);
            const std::size_t to = i + 1 < starts_.size() ? starts_[i + 1] : tuples_.size();
            text_ = head_;
            text_.append(tuples_, from, to - from);
            if (!batch_->Add(text_, 1)) return false;
        }
        Clear();
        return true;
    }

  private:
    void Clear() {
        tuples_.clear();
        starts_.clear();
    }
    Batch* batch_;
    std::string head_, company_, tail_;
    std::vector<bool> numeric_, nulls_, pending_nulls_;
    std::string tuples_;               // the pending rows' "(...)", joined by commas
    std::vector<std::size_t> starts_;  // where each begins (at its comma)
    std::string text_;
};

std::string Update(const Target& t, const std::string& company,
                   const std::vector<std::string>& row) {
    std::string set;
    for (std::size_t i = 0; i < t.values.size(); ++i) {
        if (i) set += ",";
        set += t.values[i] + "=" + Literal(t, t.values[i], row[t.keys.size() + i]);
    }
    return "UPDATE " + std::string(t.table) + " SET " + set + Where(t, company, row);
}

// The company's rows of a slice in the database: *index receives the
// result's column of each of the slice's keys and values.
bool SelectRows(const Target& t, const std::string& company, G_DataSource* q,
                std::vector<int>* index, std::string* error) {
    std::string cols;
    for (const auto* list : {&t.keys, &t.values})
        for (const std::string& c : *list) cols += (cols.empty() ? "" : ",") + c;
    if (cols.empty()) cols = "CO_CD";
    std::string sql = "SELECT " + cols + " FROM " + t.table + " WHERE CO_CD=" + SqlQuoted(company);
    if (!t.scope.empty()) sql += " AND " + t.scope;
    if (!q->OnExecuteSQL(CString(sql))) {
        *error = q->GetLastError().str();
        return false;
    }
    index->clear();
    for (const auto* list : {&t.keys, &t.values})
        for (const std::string& c : *list) index->push_back(q->OnGetColumnIndex(c));
    return true;
}

// Cell i of row r of SelectRows' result, a number in its plain form.
std::string CellAt(const Target& t, const G_DataSource& q, const std::vector<int>& index, long r,
                   std::size_t i) {
    const std::string_view cell = q.OnGetCellText(index[i], r);
    const std::string& col = i < t.keys.size() ? t.keys[i] : t.values[i - t.keys.size()];
    return t.IsNumeric(col) ? CanonicalNumber(cell) : std::string(cell);
}

// The company's rows of a slice in the database, numbers in their plain form.
bool ReadRows(const Target& t, const std::string& company, Rows* rows, std::string* error) {
    G_DataSource q;
    std::vector<int> index;
    if (!SelectRows(t, company, &q, &index, error)) return false;
    for (long r = 0; r < q.OnGetRecordCount(); ++r) {
        std::vector<std::string> row(index.size());
        for (std::size_t i = 0; i < index.size(); ++i) row[i] = CellAt(t, q, index, r, i);
        (*rows)[KeyText(t, row)] = std::move(row);
    }
    return true;
}

// The company's rows of a slice in the database as the import compares the
// folder's with them: kept as the query gave them, in one buffer of text,
// and found by the hashes of their key texts (a map of a million rows'
// strings would take several times the room). Of rows with the same key
// text the last one read stands for them, as in ReadRows' map.
class Existing {
  public:
    bool Read(const Target& t, const std::string& company, std::string* error) {
        t_ = &t;
        if (!SelectRows(t, company, &q_, &index_, error)) return false;
        const long n = q_.OnGetRecordCount();
        state_.assign(static_cast<std::size_t>(n), kOpen);
        by_hash_.reserve(static_cast<std::size_t>(n));
        for (long r = 0; r < n; ++r) by_hash_.push_back({Hash(KeyAt(r)), r});
        std::sort(by_hash_.begin(), by_hash_.end());
        for (std::size_t i = 0; i < by_hash_.size(); ++i)
            for (std::size_t j = i + 1;
                 j < by_hash_.size() && by_hash_[j].first == by_hash_[i].first; ++j)
                if (KeyAt(by_hash_[i].second) == KeyAt(by_hash_[j].second))
                    state_[static_cast<std::size_t>(by_hash_[i].second)] = kShadowed;
        open_ = 0;
        for (char s : state_) open_ += s == kOpen;
        return true;
    }
    bool empty() const { return open_ == 0; }
    // The row of `key` not taken yet, or -1.
    long Find(const std::string& key) const {
        const std::size_t h = Hash(key);
        for (auto it = std::lower_bound(by_hash_.begin(), by_hash_.end(), std::make_pair(h, 0L));
             it != by_hash_.end() && it->first == h; ++it)
            if (state_[static_cast<std::size_t>(it->second)] == kOpen && KeyAt(it->second) == key)
                return it->second;
        return -1;
    }
    bool Same(long r, const std::vector<std::string>& row) const {
        for (std::size_t i = 0; i < index_.size(); ++i)
            if (CellAt(*t_, q_, index_, r, i) != row[i]) return false;
        return true;
    }
    void Take(long r) {
        state_[static_cast<std::size_t>(r)] = kTaken;
        --open_;
    }
    // The rows not taken, in the order of their key texts.
    Rows Left() const {
        Rows left;
        for (long r = 0; r < static_cast<long>(state_.size()); ++r) {
            if (state_[static_cast<std::size_t>(r)] != kOpen) continue;
            std::vector<std::string> row(index_.size());
            for (std::size_t i = 0; i < index_.size(); ++i) row[i] = CellAt(*t_, q_, index_, r, i);
            left.emplace(KeyText(*t_, row), std::move(row));
        }
        return left;
    }

  private:
    static std::size_t Hash(std::string_view key) { return std::hash<std::string_view>{}(key); }
    std::string KeyAt(long r) const {
        std::vector<std::string> keys(t_->keys.size());
        for (std::size_t i = 0; i < keys.size(); ++i) keys[i] = CellAt(*t_, q_, index_, r, i);
        return KeyText(*t_, keys);
    }
    enum : char { kOpen, kTaken, kShadowed };
    const Target* t_ = nullptr;
    G_DataSource q_;
    std::vector<int> index_;
    std::vector<std::pair<std::size_t, long>> by_hash_;
    std::vector<char> state_;
    long open_ = 0;
};

// The key of a change as its file names it: a code group's rows without
// their group.
std::string FileKey(const Target& t, const std::string& key) {
    if (std::string(t.table) == "SCTRL_D" && t.scope.rfind("CTRL_CD='", 0) == 0)
        return key.substr(key.find('/') + 1);
    return key;
}

// What changed in one file: counts with their first keys (a fresh import
// of a million rows keeps ten keys, not a million), and the changed keys
// whole, since two slices of a file may change the same key.
struct KeySets {
    long added = 0;
    long removed = 0;
    std::vector<std::string> first_added, first_removed;
    std::set<std::string> changed;
    void Remove(const std::string& key) {
        if (++removed <= 10) first_removed.push_back(key);
    }
};

void Summarise(std::vector<KeySets>& sets, std::vector<FileChange>* changes) {
    for (int f = 0; f < kFileCount; ++f) {
        KeySets& s = sets[static_cast<std::size_t>(f)];
        FileChange c;
        c.file = Files()[static_cast<std::size_t>(f)].name;
        c.added = s.added;
        c.removed = s.removed;
        c.changed = static_cast<long>(s.changed.size());
        c.keys_added = std::move(s.first_added);
        c.keys_removed = std::move(s.first_removed);
        for (const std::string& k : s.changed)
            if (c.keys_changed.size() < 10) c.keys_changed.push_back(k);
        changes->push_back(std::move(c));
    }
}

bool WriteFileAtomically(const std::string& path, const std::string& text, std::string* error) {
    const std::string temp = path + ".tmp";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out << text;
        if (!out.flush()) {
            *error = "cannot write " + temp;
            return false;
        }
    }
    std::error_code ec;
    std::filesystem::rename(temp, path, ec);
    if (ec) {
        *error = "cannot replace " + path + ": " + ec.message();
        return false;
    }
    return true;
}

}  // namespace

std::string ProblemText(const Problem& p) {
    std::string s = p.file;
    if (p.line > 0) s += ":" + std::to_string(p.line);
    s += ":";
    if (!p.column.empty()) s += " " + p.column;
    if (!p.column.empty() || !p.value.empty()) s += " \"" + p.value + "\":";
    s += " expected " + p.expected;
    return s;
}

std::vector<Problem> CheckFolder(const std::string& dir, std::string* company) {
    std::vector<Problem> problems;
    if (!std::filesystem::is_directory(dir)) {
        problems.push_back({dir, 0, "", "", "a folder"});
        return problems;
    }
    Folder folder;
    LoadFolder(dir, &folder, &problems);
    if (company) *company = folder.Setting("CO_CD");
    return problems;
}

ImportResult ImportFolder(const std::string& dir) {
    ImportResult result;
    Folder folder;
    if (!std::filesystem::is_directory(dir)) {
        result.problems.push_back({dir, 0, "", "", "a folder"});
        return result;
    }
    LoadFolder(dir, &folder, &result.problems);
    result.company = folder.Setting("CO_CD");
    if (!result.problems.empty()) return result;
    const std::string& company = result.company;
    std::vector<RowList> wanted = FolderRows(std::move(folder));
    std::vector<KeySets> sets(kFileCount);
    G_DataSource tx;
    if (!tx.OnBeginTrans()) {
        result.error = tx.GetLastError().str();
        return result;
    }
    Batch batch;
    auto fail = [&](const std::string& why) {
        tx.OnRollbackTrans();
        result.error = why;
        return result;
    };
    // Each slice: the folder's rows against the database's; what the
    // database holds and the folder does not is left out.
    for (std::size_t i = 0; i < Targets().size(); ++i) {
        const Target& t = Targets()[i];
        Existing have;
        std::string error;
        if (!have.Read(t, company, &error)) return fail(error);
        KeySets& s = sets[static_cast<std::size_t>(t.file)];
        Inserts inserts(t, company, &batch);
        for (std::vector<std::string>& row : wanted[i]) {
            // A company new to the database (the first import) has no row
            // to compare with: no key text is made for one.
            const long at = have.empty() ? -1 : have.Find(KeyText(t, row));
            if (at < 0) {
                if (!t.secondary && ++s.added <= 10)
                    s.first_added.push_back(FileKey(t, KeyText(t, row)));
                if (!inserts.Add(row)) return fail(batch.error());
            } else {
                if (!have.Same(at, row)) {
                    s.changed.insert(FileKey(t, KeyText(t, row)));
                    if (!batch.Add(Update(t, company, row))) return fail(batch.error());
                }
                have.Take(at);
            }
            // A row written is a row let go: the database's pages take its
            // room as the transaction grows.
            std::vector<std::string>().swap(row);
        }
        RowList().swap(wanted[i]);
        if (!inserts.Singles()) return fail(batch.error());
        for (const auto& [key, row] : have.Left()) {
            if (!t.secondary) s.Remove(FileKey(t, key));
            if (!batch.Add("DELETE FROM " + std::string(t.table) + Where(t, company, row)))
                return fail(batch.error());
        }
    }
    if (!batch.Flush()) return fail(batch.error());
    if (!tx.OnCommitTrans()) {
        result.error = tx.GetLastError().str();
        return result;
    }
    Summarise(sets, &result.changes);
    result.ok = true;
    return result;
}

bool ExportFolder(const std::string& company, const std::string& dir, std::string* error) {
    std::vector<Rows> rows(Targets().size());
    for (std::size_t i = 0; i < Targets().size(); ++i)
        if (!ReadRows(Targets()[i], company, &rows[i], error)) return false;
    if (rows[0].empty()) {
        *error = "company " + company + " has no settings in the database (import a folder first)";
        return false;
    }
    const Folder folder = RowsFolder(rows, company);
    const Lists lists(folder);
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    if (ec) {
        *error = "cannot make the folder " + dir + ": " + ec.message();
        return false;
    }
    for (int f = 0; f < kFileCount; ++f) {
        const FileSpec& spec = Files()[static_cast<std::size_t>(f)];
        std::string text = "\xEF\xBB\xBF";
        std::vector<std::string> header;
        for (const ColumnSpec& c : spec.columns) header.push_back(HeaderText(c));
        text += CsvLine(header);
        if (f == kSettings) {
            for (const SettingSpec& s : Settings()) {
                std::string v = folder.Setting(s.code);
                if (s.kind == Kind::kList) v = lists.Word(s.list, v);
                text += CsvLine({std::string(s.label) + " [" + s.code + "]", v});
            }
        } else {
            for (const Record& r : folder.files[static_cast<std::size_t>(f)]) {
                std::vector<std::string> cells;
                for (std::size_t c = 0; c < spec.columns.size(); ++c) {
                    const ColumnSpec& col = spec.columns[c];
                    cells.push_back(col.kind == Kind::kList ? lists.Word(col.list, r.values[c])
                                                            : DisplayValue(col.kind, r.values[c]));
                }
                text += CsvLine(cells);
            }
        }
        if (!WriteFileAtomically(dir + "/" + spec.name, text, error)) return false;
    }
    return true;
}

}  // namespace payroll::folder
