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

// Statements sent to the database at a time.
constexpr std::size_t kBatch = 2000;

class Batch {
  public:
    bool Add(const std::string& statement) {
        text_ += statement;
        text_ += '\n';
        return ++pending_ < kBatch || Flush();
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

// The part of a slice's INSERT before its values: the same for every row.
std::string InsertHead(const Target& t) {
    std::string head = "INSERT INTO ";
    head.append(t.table).append(" (CO_CD");
    for (const auto* list : {&t.keys, &t.values})
        for (const std::string& c : *list) head.append(",").append(c);
    for (const auto& d : t.defaults) head.append(",").append(d.first);
    return head.append(") VALUES (");
}

std::string Insert(const Target& t, const std::string& head, const std::string& company,
                   const std::vector<std::string>& row) {
    std::string text = head;
    text += SqlQuoted(company);
    std::size_t i = 0;
    for (const auto* list : {&t.keys, &t.values})
        for (const std::string& c : *list) {
            text += ',';
            if (t.IsNumeric(c))
                text += row[i].empty() ? "NULL" : row[i];
            else
                text += SqlQuoted(row[i]);
            ++i;
        }
    for (const auto& d : t.defaults) text.append(",").append(d.second);
    text += ')';
    return text;
}

std::string Update(const Target& t, const std::string& company,
                   const std::vector<std::string>& row) {
    std::string set;
    for (std::size_t i = 0; i < t.values.size(); ++i) {
        if (i) set += ",";
        set += t.values[i] + "=" + Literal(t, t.values[i], row[t.keys.size() + i]);
    }
    return "UPDATE " + std::string(t.table) + " SET " + set + Where(t, company, row);
}

// The company's rows of a slice in the database, numbers in their plain form.
bool ReadRows(const Target& t, const std::string& company, Rows* rows, std::string* error) {
    std::string cols;
    for (const auto* list : {&t.keys, &t.values})
        for (const std::string& c : *list) cols += (cols.empty() ? "" : ",") + c;
    if (cols.empty()) cols = "CO_CD";
    std::string sql = "SELECT " + cols + " FROM " + t.table + " WHERE CO_CD=" + SqlQuoted(company);
    if (!t.scope.empty()) sql += " AND " + t.scope;
    G_DataSource q;
    if (!q.OnExecuteSQL(CString(sql))) {
        *error = q.GetLastError().str();
        return false;
    }
    const std::size_t width = t.keys.size() + t.values.size();
    std::vector<int> index;
    for (const auto* list : {&t.keys, &t.values})
        for (const std::string& c : *list) index.push_back(q.OnGetColumnIndex(c));
    for (long r = 0; r < q.OnGetRecordCount(); ++r) {
        std::vector<std::string> row(width);
        for (std::size_t i = 0; i < width; ++i) {
            row[i] = std::string(q.OnGetCellText(index[i], r));
            const std::string& col = i < t.keys.size() ? t.keys[i] : t.values[i - t.keys.size()];
            if (t.IsNumeric(col)) row[i] = CanonicalNumber(row[i]);
        }
        (*rows)[KeyText(t, row)] = std::move(row);
    }
    return true;
}

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
    void Add(const std::string& key) {
        if (++added <= 10) first_added.push_back(key);
    }
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
    const std::vector<RowList> wanted = FolderRows(std::move(folder));
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
        Rows have;
        std::string error;
        if (!ReadRows(t, company, &have, &error)) return fail(error);
        KeySets& s = sets[static_cast<std::size_t>(t.file)];
        const std::string head = InsertHead(t);
        for (const std::vector<std::string>& row : wanted[i]) {
            const std::string key = KeyText(t, row);
            auto it = have.find(key);
            if (it == have.end()) {
                if (!t.secondary) s.Add(FileKey(t, key));
                if (!batch.Add(Insert(t, head, company, row))) return fail(batch.error());
                continue;
            }
            if (it->second != row) {
                s.changed.insert(FileKey(t, key));
                if (!batch.Add(Update(t, company, row))) return fail(batch.error());
            }
            have.erase(it);
        }
        for (const auto& [key, row] : have) {
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
