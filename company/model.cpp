#include "company/model.h"

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <functional>
#include <memory>
#include <numeric>
#include <set>
#include <sstream>
#include <tuple>

#include "company/csv.h"

namespace payroll::folder {
namespace {

// A value cut for a message: a megabyte cell is named by its start.
std::string Shown(const std::string& value) {
    if (value.size() <= 60) return value;
    std::size_t cut = 57;
    while (cut > 0 && (static_cast<unsigned char>(value[cut]) & 0xC0) == 0x80) --cut;
    return value.substr(0, cut) + "... (" + std::to_string(value.size()) + " bytes)";
}

// The code in a header's brackets ("성명 [KOR_NM]" -> KOR_NM), or the header
// itself when it has none.
std::string HeaderCode(const std::string& header) {
    const std::size_t open = header.rfind('[');
    const std::size_t close = header.rfind(']');
    if (open != std::string::npos && close != std::string::npos && close > open)
        return header.substr(open + 1, close - open - 1);
    return header;
}

struct Checker {
    std::vector<Problem>* problems;
    std::string file;
    void Add(long line, const std::string& column, const std::string& value,
             const std::string& expected) {
        problems->push_back({file, line, column, Shown(value), expected});
    }
};

std::string ReadFileBytes(const std::string& path, bool* found) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    *found = static_cast<bool>(in);
    std::string bytes;
    if (!*found) return bytes;
    // A file of known size in one read; anything else (a pipe) as it comes.
    if (const std::streamoff size = in.tellg(); size > 0 && in.seekg(0)) {
        bytes.resize(static_cast<std::size_t>(size));
        in.read(bytes.data(), size);
        bytes.resize(static_cast<std::size_t>(in.gcount()));
        return bytes;
    }
    in.clear();
    in.seekg(0);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

bool OptionalFile(int index) {
    return index == kCodes || index == kExemptions || index == kPaySteps || index == kFixedItems;
}

void LoadSettings(const CsvText& csv, Checker& ck, Folder* folder) {
    std::set<std::string> seen;
    const Lists none{Folder{}};
    for (std::size_t r = 1; r < csv.rows.size(); ++r) {
        const CsvRow& row = csv.rows[r];
        const std::string key = HeaderCode(PlainCell(row.cells[0]));
        const std::string value = row.cells.size() > 1 ? PlainCell(row.cells[1]) : "";
        const SettingSpec* setting = nullptr;
        for (const SettingSpec& s : Settings())
            if (key == s.code || PlainCell(row.cells[0]) == s.label) setting = &s;
        if (!setting) {
            ck.Add(row.line, "KEY", key, "a setting this system knows (see docs/company-files.md)");
            continue;
        }
        if (!seen.insert(setting->code).second) {
            ck.Add(row.line, "KEY", key, "each setting once");
            continue;
        }
        // A company code has the room of a run key's: five characters; the
        // company's name and address that of the company record.
        const std::string code = setting->code;
        const int width = code == "CO_CD" ? 5 : setting->kind == Kind::kText ? 200 : 20;
        ColumnSpec c{setting->label,    setting->code, setting->kind,
                     setting->required, width,         setting->list};
        std::string stored, expected;
        if (!ConvertCell(c, value, none, none.Find(c.list ? c.list : ""), &stored, &expected)) {
            ck.Add(row.line, setting->code, value, expected);
            continue;
        }
        folder->files[kSettings].push_back({row.line, {setting->code, stored}});
    }
    for (const SettingSpec& s : Settings())
        if (s.required && !seen.count(s.code))
            ck.Add(0, s.code, "", std::string("a line ") + s.label + " [" + s.code + "]");
}

// Spans of one key (the first two columns) may not overlap: one amount a
// month. The rows meet by a hash of their key, sorted as numbers, and in
// the order of their starts within it; the problems come in the order of the
// keys and starts.
void CheckSpans(const std::vector<std::reference_wrapper<const Record>>& rows, int index,
                Checker& ck) {
    struct Keyed {
        std::size_t hash;
        const Record* r;
    };
    std::vector<Keyed> list;
    list.reserve(rows.size());
    const std::hash<std::string> hash;
    for (const Record& r : rows)
        list.push_back({hash(r.values[0]) ^ (hash(r.values[1]) * 0x9E3779B97F4A7C15ULL), &r});
    const auto in_order = [](const Record* a, const Record* b) {
        return std::tie(a->values[0], a->values[1], a->values[2]) <
               std::tie(b->values[0], b->values[1], b->values[2]);
    };
    std::sort(list.begin(), list.end(), [&](const Keyed& a, const Keyed& b) {
        return a.hash != b.hash ? a.hash < b.hash : in_order(a.r, b.r);
    });
    std::vector<std::pair<const Record*, std::string>> found;
    for (std::size_t i = 1; i < list.size(); ++i) {
        const Record& before = *list[i - 1].r;
        const Record& r = *list[i].r;
        if (list[i - 1].hash != list[i].hash || before.values[0] != r.values[0] ||
            before.values[1] != r.values[1])
            continue;
        const std::string& end = before.values[3];
        if (end.empty() || end >= r.values[2])
            found.emplace_back(&r, "a start after the end of the span of line " +
                                       std::to_string(before.line) + " (" + r.values[0] + "/" +
                                       r.values[1] + ")");
    }
    std::sort(found.begin(), found.end(),
              [&](const auto& a, const auto& b) { return in_order(a.first, b.first); });
    for (const auto& [r, expected] : found)
        ck.Add(r->line, Files()[static_cast<std::size_t>(index)].columns[2].code, r->values[2],
               expected);
}

// Checks between the rows of one file and with the files before it.
void CheckFile(int index, const std::vector<Record>& all, Checker& ck) {
    std::vector<std::reference_wrapper<const Record>> rows;
    for (const Record& r : all)
        if (r.ok) rows.emplace_back(r);
    auto window = [&](int from, int to, const char* what) {
        for (const Record& r : rows)
            if (!r.values[to].empty() && r.values[to] < r.values[from])
                ck.Add(r.line, Files()[index].columns[to].code, r.values[to],
                       std::string("an end on or after the start ") + r.values[from] + " (" + what +
                           " does not close)");
    };
    if (index == kEmployees) window(14, 15, "the employment");
    if (index == kPaySteps || index == kFixedItems) {
        window(2, 3, "the span of months");
        CheckSpans(rows, index, ck);
    }
    if (index == kItems) {
        std::map<std::string, const Record*> names;
        for (const Record& r : rows) {
            const bool pay = r.values[2] == "P2";
            if (pay && r.values[6].empty())
                ck.Add(r.line, "TAX_FG", "", "a tax class for a pay item: 과세 or 비과세");
            if (pay && r.values[6] == "002" && r.values[7].empty())
                ck.Add(r.line, "TXEX_FG", "", "an exemption class for a non-taxable pay item");
            if (!pay && !r.values[6].empty())
                ck.Add(r.line, "TAX_FG", r.values[6], "no tax class for a deduction item");
            auto [it, fresh] = names.emplace(r.values[3], &r);
            if (!fresh &&
                (it->second->values[4] != r.values[4] || it->second->values[5] != r.values[5] ||
                 it->second->values[2] != r.values[2]))
                ck.Add(r.line, "CTD_NM", r.values[4],
                       "the same kind and names as line " + std::to_string(it->second->line) +
                           " for item " + r.values[3]);
        }
    }
    if (index == kCodes)
        for (const Record& r : rows)
            if (OwnGroup(r.values[0]))
                ck.Add(r.line, "CTRL_CD", r.values[0],
                       "a group of codes.csv: G2, P4, PC and PD have files of their own");
}

}  // namespace

std::string Folder::Setting(const std::string& code) const {
    for (const Record& r : files[kSettings])
        if (r.values[0] == code) return r.values[1];
    for (const SettingSpec& s : Settings())
        if (code == s.code) return s.fallback;
    return {};
}

bool IsRecordList(const std::string& list) {
    return list == "@DIV" || list == "@DEPT" || list == "@EMP" || list == "@ITEM";
}

Lists::Lists(const Folder& f) {
    for (const char* name : {"yn", "tax", "pydd", "window", "rule", "withholding", "cut"})
        for (const ListEntry& e : *BuiltInList(name)) Add(name, e.code, e.word);
    for (const Record& r : f.files[kCodes]) Add(r.values[0], r.values[1], r.values[2]);
    for (const Record& r : f.files[kDivisions]) Add("@DIV", r.values[0], r.values[1]);
    for (const Record& r : f.files[kDepartments]) Add("@DEPT", r.values[0], r.values[2]);
    for (const Record& r : f.files[kEmployeeTypes]) Add("@G2", r.values[0], r.values[1]);
    for (const Record& r : f.files[kPayTypes]) Add("@P4", r.values[0], r.values[1]);
    for (const Record& r : f.files[kExemptions]) Add("@PC", r.values[0], r.values[1]);
    for (const Record& r : f.files[kItems]) Add("@ITEM", r.values[3], r.values[4]);
    for (const Record& r : f.files[kEmployees]) Add("@EMP", r.values[0], r.values[1]);
}

void Lists::Add(const std::string& list, const std::string& code, const std::string& word) {
    List& l = lists_[list];
    if (l.by_code.count(code)) return;
    l.by_code.emplace(code, l.entries.size());
    if (!word.empty()) {
        auto [it, fresh] = l.by_word.emplace(word, l.entries.size());
        if (!fresh) it->second = std::string::npos;
    }
    l.entries.push_back({code, word});
}

const Lists::List* Lists::Find(std::string_view list) const {
    auto it = lists_.find(list);
    return it == lists_.end() ? nullptr : &it->second;
}

bool Lists::Resolve(const std::string& list, std::string_view text, std::string* code) const {
    return Resolve(Find(list), list, text, code);
}

bool Lists::Resolve(const List* l, std::string_view list, std::string_view text,
                    std::string* code) const {
    if (!l || l->entries.empty()) {
        // A company list the company left empty takes any code; the lists
        // of files and of records do not.
        code->assign(text);
        return (list.empty() || list[0] != '@') && !BuiltInList(list) &&
               text.find_first_of(" \t,") == std::string_view::npos;
    }
    if (l->by_code.find(text) != l->by_code.end()) {
        code->assign(text);
        return true;
    }
    auto w = l->by_word.find(text);
    if (w == l->by_word.end() || w->second == std::string::npos) return false;
    *code = l->entries[w->second].code;
    return true;
}

std::string Lists::Word(const std::string& list, const std::string& code) const {
    if (IsRecordList(list)) return code;
    const List* l = Find(list);
    if (!l) return code;
    auto c = l->by_code.find(code);
    if (c == l->by_code.end()) return code;
    const std::string& word = l->entries[c->second].word;
    if (word.empty()) return code;
    // The word names the code only when no other code has it as its word
    // or as its code.
    auto w = l->by_word.find(word);
    if (w == l->by_word.end() || w->second != c->second) return code;
    auto other = l->by_code.find(word);
    if (other != l->by_code.end() && other->second != c->second) return code;
    return word;
}

std::string Lists::Sample(const std::string& list) const {
    const List* l = Find(list);
    const std::vector<ListEntry>* entries = l ? &l->entries : nullptr;
    std::string where = list == "@DIV"      ? " of divisions.csv"
                        : list == "@DEPT"   ? " of departments.csv"
                        : list == "@G2"     ? " of employee-types.csv"
                        : list == "@P4"     ? " of pay-types.csv"
                        : list == "@PC"     ? " of exemptions.csv"
                        : list == "@ITEM"   ? " of items.csv"
                        : list == "@EMP"    ? " of employees.csv"
                        : BuiltInList(list) ? ""
                                            : " of group " + list + " in codes.csv";
    if (!entries || entries->empty()) return "the codes" + where + " (there are none)";
    std::string s;
    std::size_t shown = 0;
    for (const ListEntry& e : *entries) {
        if (shown == 6) {
            s += ", ...";
            break;
        }
        if (shown++) s += ", ";
        s += e.word.empty() || e.word == e.code ? e.code : e.word + " (" + e.code + ")";
    }
    return "the codes" + where + ": " + s;
}

namespace {

// Reads one file's rows as they are parsed: the header first, then each
// line converted into a record.
class FileReader {
  public:
    FileReader(int index, Folder* folder, Checker& ck)
        : index_(index),
          spec_(Files()[static_cast<std::size_t>(index)]),
          folder_(folder),
          ck_(ck) {}

    void Take(const CsvRowView& row) {
        if (!header_seen_) {
            header_seen_ = true;
            Header(row);
        } else if (complete_) {
            Line(row);
        }
    }
    bool header_seen() const { return header_seen_; }
    void DropDuplicateKeys(std::size_t first_problem);

  private:
    void Header(const CsvRowView& header) {
        where_.assign(spec_.columns.size(), -1);
        width_ = header.cells.size();
        for (std::size_t h = 0; h < header.cells.size(); ++h) {
            const std::string text = PlainCell(header.cells[h]);
            const std::string code = HeaderCode(text);
            bool known = false;
            for (std::size_t c = 0; c < spec_.columns.size(); ++c)
                if (code == spec_.columns[c].code) {
                    if (where_[c] >= 0) ck_.Add(header.line, code, text, "each column once");
                    where_[c] = static_cast<int>(h);
                    known = true;
                }
            if (!known && !code.empty())
                ck_.Add(header.line, code, text,
                        "a column of " + ck_.file + " (see docs/company-files.md)");
        }
        for (std::size_t c = 0; c < spec_.columns.size(); ++c)
            if (where_[c] < 0 && spec_.columns[c].required) {
                ck_.Add(header.line, spec_.columns[c].code, "",
                        "the required column " + HeaderText(spec_.columns[c]));
                complete_ = false;
            }
        if (!complete_) return;
        lists_ = std::make_unique<Lists>(*folder_);
        for (const ColumnSpec& c : spec_.columns)
            column_lists_.push_back(c.kind == Kind::kList ? lists_->Find(c.list) : nullptr);
    }

    void Line(const CsvRowView& row) {
        if (row.cells.size() > width_) {
            ck_.Add(row.line, "", PlainCell(row.cells[width_]),
                    "at most " + std::to_string(width_) + " cells, as many as the header has");
            return;
        }
        Record rec{row.line, std::vector<std::string>(spec_.columns.size())};
        for (std::size_t c = 0; c < spec_.columns.size(); ++c) {
            const auto at = static_cast<std::size_t>(where_[c]);
            const std::string_view text =
                where_[c] >= 0 && at < row.cells.size() ? PlainView(row.cells[at]) : "";
            std::string expected;
            if (!ConvertCell(spec_.columns[c], text, *lists_, column_lists_[c], &rec.values[c],
                             &expected)) {
                ck_.Add(row.line, spec_.columns[c].code, std::string(text), expected);
                rec.ok = false;
            }
        }
        folder_->files[static_cast<std::size_t>(index_)].push_back(std::move(rec));
    }

    int index_;
    const FileSpec& spec_;
    Folder* folder_;
    Checker& ck_;
    bool header_seen_ = false;
    bool complete_ = true;
    std::size_t width_ = 0;
    std::vector<int> where_;
    std::unique_ptr<Lists> lists_;
    std::vector<const Lists::List*> column_lists_;  // each column's, found once
};

// A record's key as one text: its key's values joined by '/', compared
// without building it.
class JoinedKey {
  public:
    JoinedKey(const Record& r, const std::vector<int>& key) : r_(r), key_(key) {}
    int Compare(const JoinedKey& other) const {
        std::size_t k = 0, i = 0, ok = 0, oi = 0;
        for (;;) {
            const int a = At(k, i), b = other.At(ok, oi);
            if (a != b) return a < b ? -1 : 1;
            if (a < 0) return 0;
            Next(&k, &i);
            other.Next(&ok, &oi);
        }
    }
    std::string Text() const {
        std::string text;
        for (int k : key_) text += r_.values[static_cast<std::size_t>(k)] + "/";
        text.pop_back();
        return text;
    }

  private:
    // The byte at offset i of key value k (the '/' after it at its end), or
    // -1 past the last.
    int At(std::size_t k, std::size_t i) const {
        if (k == key_.size()) return -1;
        const std::string& v = r_.values[static_cast<std::size_t>(key_[k])];
        if (i < v.size()) return static_cast<unsigned char>(v[i]);
        return k + 1 == key_.size() ? -1 : '/';
    }
    void Next(std::size_t* k, std::size_t* i) const {
        if (*i < r_.values[static_cast<std::size_t>(key_[*k])].size()) {
            ++*i;
        } else {
            ++*k;
            *i = 0;
        }
    }
    const Record& r_;
    const std::vector<int>& key_;
};

// Each key once: a line whose key an earlier line holds is a problem, and
// is left out. The keys are compared in sorted order, not kept in a set of a
// million texts; the problems join the file's others in the order of the
// lines, as if each had been found as its line was read.
void FileReader::DropDuplicateKeys(std::size_t first_problem) {
    std::vector<Record>& records = folder_->files[static_cast<std::size_t>(index_)];
    // Equal keys meet in the order of their hashes, sorted as numbers (the
    // keys themselves are compared only where two hashes are equal); ties
    // keep the order of the lines.
    struct Keyed {
        std::size_t hash;
        std::uint32_t index;
    };
    std::vector<Keyed> order(records.size());
    std::string text;
    for (std::size_t i = 0; i < records.size(); ++i) {
        text.clear();
        for (int k : spec_.key) text.append(records[i].values[static_cast<std::size_t>(k)]) += '/';
        order[i] = {std::hash<std::string>{}(text), static_cast<std::uint32_t>(i)};
    }
    const auto key = [&](const Keyed& k) { return JoinedKey(records[k.index], spec_.key); };
    std::sort(order.begin(), order.end(), [&](const Keyed& a, const Keyed& b) {
        if (a.hash != b.hash) return a.hash < b.hash;
        const int c = key(a).Compare(key(b));
        return c != 0 ? c < 0 : a.index < b.index;
    });
    std::vector<Problem> found;
    std::vector<bool> dropped(records.size());
    const char* column = spec_.columns[static_cast<std::size_t>(spec_.key.back())].code;
    for (std::size_t i = 1, first = 0; i < order.size(); ++i) {
        if (order[i].hash != order[first].hash || key(order[first]).Compare(key(order[i])) != 0) {
            first = i;
            continue;
        }
        const Record& r = records[order[i].index];
        dropped[order[i].index] = true;
        found.push_back({ck_.file, r.line, column, Shown(key(order[i]).Text()),
                         "a key of its own: line " +
                             std::to_string(records[order[first].index].line) + " has it too"});
    }
    if (found.empty()) return;
    std::size_t kept = 0;
    for (std::size_t i = 0; i < records.size(); ++i)
        if (!dropped[i]) {
            if (kept != i) records[kept] = std::move(records[i]);
            ++kept;
        }
    records.resize(kept);
    const auto by_line = [](const Problem& a, const Problem& b) { return a.line < b.line; };
    std::sort(found.begin(), found.end(), by_line);
    std::vector<Problem>& problems = *ck_.problems;
    const auto middle = static_cast<std::ptrdiff_t>(problems.size());
    problems.insert(problems.end(), std::make_move_iterator(found.begin()),
                    std::make_move_iterator(found.end()));
    std::inplace_merge(problems.begin() + static_cast<std::ptrdiff_t>(first_problem),
                       problems.begin() + middle, problems.end(), by_line);
}

}  // namespace

void LoadFolder(const std::string& dir, Folder* folder, std::vector<Problem>* problems) {
    for (int index = 0; index < kFileCount; ++index) {
        const FileSpec& file = Files()[static_cast<std::size_t>(index)];
        Checker ck{problems, file.name};
        bool found = false;
        std::string text = ReadFileBytes(dir + "/" + file.name, &found);
        if (!found) {
            if (!OptionalFile(index)) ck.Add(0, "", "", "the file: the folder has no " + ck.file);
            continue;
        }
        std::string error;
        long error_line = 0;
        if (!DecodeInPlace(&text, &error, &error_line)) {
            ck.Add(error_line, "", "", "readable text: " + error);
            continue;
        }
        if (index == kSettings) {
            const CsvText csv = ParseCsv(text);
            if (!csv.error.empty()) ck.Add(csv.error_line, "", "", "readable text: " + csv.error);
            if (csv.rows.empty()) {
                if (csv.error.empty()) ck.Add(1, "", "", "a header line");
                continue;
            }
            LoadSettings(csv, ck, folder);
            continue;
        }
        FileReader reader(index, folder, ck);
        // One record a line, mostly: room for them all at once.
        const auto lines = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
        folder->files[static_cast<std::size_t>(index)].reserve(lines);
        const std::size_t first_problem = problems->size();
        const bool read = ScanCsv(
            text, [&](const CsvRowView& row) { reader.Take(row); }, &error, &error_line);
        // The rows are records now: the text goes before the next file's.
        std::string().swap(text);
        reader.DropDuplicateKeys(first_problem);
        if (!read)
            ck.Add(error_line, "", "", "readable text: " + error);
        else if (!reader.header_seen())
            ck.Add(1, "", "", "a header line");
        CheckFile(index, folder->files[static_cast<std::size_t>(index)], ck);
    }
}

}  // namespace payroll::folder
