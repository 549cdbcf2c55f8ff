#include "platform/db/read_reuse.h"

#include <cctype>

namespace payroll::db {
namespace {

// A shape's texts are kept while at least one in kHitShare of its reads is
// reused; the first kTrial reads of a shape, and one in kProbe later, are
// always kept, so that a shape whose texts start to recur is noticed.
constexpr long kTrial = 16;
constexpr long kHitShare = 8;
constexpr long kProbe = 256;
// Bounds of what is kept: entries, bytes in all, and bytes of one result.
constexpr std::size_t kMaxEntries = 256;
constexpr std::size_t kMaxBytes = 8u << 20;
constexpr std::size_t kMaxResultBytes = 256u << 10;

bool NameChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '#' || c == '@';
}

std::string Upper(std::string_view name) {
    std::string out(name);
    for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

std::size_t SizeOf(const ResultSet& rows) {
    // The column names are shared with the backend's statement.
    return rows.cells.size() + rows.ends.size() * sizeof(std::uint32_t);
}

}  // namespace

ReadReuse::Shape& ReadReuse::ShapeOf(const std::string* shape) {
    auto [it, added] = shapes_.try_emplace(shape);
    if (!added) return it->second;
    // Every name in the text, once: a table it reads is among them.
    const std::string& sql = *shape;
    for (std::size_t i = 0; i < sql.size();) {
        if (!NameChar(sql[i])) {
            ++i;
            continue;
        }
        std::size_t end = i;
        while (end < sql.size() && NameChar(sql[end])) ++end;
        if (!std::isdigit(static_cast<unsigned char>(sql[i]))) {
            const std::uint64_t* mark = &marks_[Upper(std::string_view(sql).substr(i, end - i))];
            bool known = false;
            for (const std::uint64_t* m : it->second.tables) known = known || m == mark;
            if (!known) it->second.tables.push_back(mark);
        }
        i = end;
    }
    return it->second;
}

bool ReadReuse::Fresh(const Entry& entry) const {
    for (const std::uint64_t* mark : entry.shape->tables)
        if (*mark > entry.mark) return false;
    return true;
}

void ReadReuse::Drop(Lru::iterator it) {
    bytes_ -= it->size;
    index_.erase(Key{it->text, it->hash});
    lru_.erase(it);
}

const ResultSet* ReadReuse::Find(std::string_view text, std::size_t hash) {
    if (index_.empty()) return nullptr;
    auto found = index_.find(Key{text, hash});
    if (found == index_.end()) return nullptr;
    Lru::iterator it = found->second;
    if (!Fresh(*it)) {
        Drop(it);
        return nullptr;
    }
    lru_.splice(lru_.begin(), lru_, it);
    ++it->shape->hits;
    ++reused_;
    return &it->rows;
}

void ReadReuse::Offer(std::string_view text, std::size_t hash, const std::string* shape,
                      const ResultSet& rows) {
    Shape& s = ShapeOf(shape);
    ++s.offers;
    if (s.offers > kTrial && s.hits * kHitShare < s.offers && s.offers % kProbe != 0) return;
    const std::size_t size = SizeOf(rows);
    if (size > kMaxResultBytes) return;
    if (auto found = index_.find(Key{text, hash}); found != index_.end()) Drop(found->second);
    if (lru_.size() >= kMaxEntries) {
        // Full: the least recent entry becomes the new one, its buffers
        // kept.
        Lru::iterator last = std::prev(lru_.end());
        index_.erase(Key{last->text, last->hash});
        bytes_ -= last->size;
        lru_.splice(lru_.begin(), lru_, last);
        Entry& e = lru_.front();
        e.text.assign(text);
        e.rows = rows;
    } else {
        lru_.push_front(Entry{std::string(text), 0, rows, 0, nullptr, 0});
    }
    Entry& e = lru_.front();
    e.hash = hash;
    e.size = size;
    e.shape = &s;
    e.mark = writes_;
    index_.emplace(Key{e.text, hash}, lru_.begin());
    bytes_ += size;
    while (lru_.size() > 1 && bytes_ > kMaxBytes) Drop(std::prev(lru_.end()));
}

std::uint64_t* ReadReuse::MarkOf(std::string_view table) {
    // A schema-qualified name changes the table of its last part.
    std::size_t dot = table.rfind('.');
    if (dot != std::string_view::npos) table.remove_prefix(dot + 1);
    return &marks_[Upper(table)];
}

void ReadReuse::Forget() {
    ++writes_;
    lru_.clear();
    index_.clear();
    bytes_ = 0;
}

}  // namespace payroll::db
