// Translations by statement shape. A shape is a statement's token sequence
// with its value literals replaced, so every INSERT of the default-row step
// shares one entry however its values differ.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

#include "platform/db/tsql/skeleton.h"

namespace payroll::tsql {

class ShapeCache {
  public:
    struct Entry {
        std::string shape;
        std::string sql;
        bool returns_rows = false;
        Skeleton skeleton;      // the last text seen of this shape, for the fast road
        Entry* next = nullptr;  // the shape that followed this one last time
    };

    explicit ShapeCache(std::size_t capacity) : capacity_(capacity) {}

    // The entry of `shape`, or nullptr.
    Entry* Find(std::string_view shape) const {
        auto it = entries_.find(shape);
        return it == entries_.end() ? nullptr : it->second.get();
    }

    // Stores a translation and returns its entry; nullptr when the cache is
    // full. Entries are never dropped, so their texts keep their addresses for
    // the cache's whole life.
    Entry* Add(std::string_view shape, std::string sql, bool returns_rows);

    std::size_t size() const { return entries_.size(); }
    std::size_t capacity() const { return capacity_; }

  private:
    std::size_t capacity_;
    // Keys view the entries' own shape texts.
    std::unordered_map<std::string_view, std::unique_ptr<Entry>> entries_;
};

}  // namespace payroll::tsql
