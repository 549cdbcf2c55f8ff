// Exact read reuse inside one transaction. When a query text is run again
// and nothing the transaction wrote since touched a table the query names,
// the database would return the very rows it returned before: they are
// handed back from memory instead of being read again.
//
// A query's tables are every name in its translated text (column names and
// keywords included: a superset is safe). A write names its one target
// table; anything that writes and cannot be named clears every kept result.
// Only shapes whose texts actually recur are kept, so that a road that never
// repeats a read pays little more than a hash of each text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <list>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/db/result_set.h"

namespace payroll::db {

class ReadReuse {
  public:
    // The hash a text is found by: computed once per text, for Find and
    // Offer both.
    static std::size_t HashOf(std::string_view text) { return std::hash<std::string_view>{}(text); }
    // The rows of `text` when they may be reused; nullptr otherwise.
    const ResultSet* Find(std::string_view text, std::size_t hash);
    // Offers the rows a query text of one statement returned; `shape` is
    // its translated text (kept by the translator for the connection's life).
    void Offer(std::string_view text, std::size_t hash, const std::string* shape,
               const ResultSet& rows);

    // The write mark of `table`, for Wrote; it lives as long as this object.
    std::uint64_t* MarkOf(std::string_view table);
    // The table of `mark` changed (rows inserted, updated or deleted).
    void Wrote(std::uint64_t* mark) { *mark = ++writes_; }
    // Something changed that cannot be named, or the transaction ended.
    void Forget();

    long reused() const { return reused_; }

  private:
    struct Shape {
        std::vector<const std::uint64_t*> tables;  // write marks of every name it holds
        long offers = 0;
        long hits = 0;
    };
    struct Entry {
        std::string text;
        std::size_t hash = 0;  // of text
        ResultSet rows;
        std::size_t size = 0;  // what the rows count for in bytes_
        Shape* shape = nullptr;
        std::uint64_t mark = 0;  // the write count when the rows were read
    };
    using Lru = std::list<Entry>;
    // The index's key: a kept text and its hash, so that no text is hashed
    // twice.
    struct Key {
        std::string_view text;
        std::size_t hash;
        bool operator==(const Key& other) const { return text == other.text; }
    };
    struct KeyHash {
        std::size_t operator()(const Key& key) const { return key.hash; }
    };

    Shape& ShapeOf(const std::string* shape);
    bool Fresh(const Entry& entry) const;
    void Drop(Lru::iterator it);

    std::uint64_t writes_ = 0;  // writes so far; a table's mark is its last
    std::unordered_map<std::string, std::uint64_t> marks_;  // table name -> last write
    std::unordered_map<const std::string*, Shape> shapes_;
    Lru lru_;  // most recent first
    std::unordered_map<Key, Lru::iterator, KeyHash> index_;
    std::size_t bytes_ = 0;
    long reused_ = 0;
};

}  // namespace payroll::db
