#include "platform/db/tsql/shape_cache.h"

#include <utility>

namespace payroll::tsql {

ShapeCache::Entry* ShapeCache::Add(std::string_view shape, std::string sql, bool returns_rows) {
    if (Entry* known = Find(shape)) return known;
    if (entries_.size() >= capacity_) return nullptr;
    auto entry = std::make_unique<Entry>();
    entry->shape.assign(shape);
    entry->sql = std::move(sql);
    entry->returns_rows = returns_rows;
    Entry* result = entry.get();
    const std::string_view key(result->shape);
    entries_.emplace(key, std::move(entry));
    return result;
}

}  // namespace payroll::tsql
