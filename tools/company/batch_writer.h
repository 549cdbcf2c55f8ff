// Gathers statement texts and sends them through the database component in
// batches, so a generated company of millions of rows takes few calls.
#pragma once

#include <string>

#include "payroll/cstring.h"
#include "payroll/datasource.h"

namespace payroll::company {

class BatchWriter {
  public:
    explicit BatchWriter(std::size_t statements_per_batch = 2000) : limit_(statements_per_batch) {}

    // Adds one statement (a printf-style template and its values; text values
    // must already be escaped). Sends the batch when it is full.
    void Add(const char* format, ...) __attribute__((format(printf, 2, 3)));
    // Sends what is left. False (with the database's message) when any batch
    // failed; later statements are then dropped.
    bool Flush();
    // Flushes and then commits the transaction `tx` holds: true when both
    // worked; else the transaction is rolled back and *error says why.
    bool FlushAndCommit(G_DataSource& tx, std::string* error);
    bool ok() const { return ok_; }
    const std::string& error() const { return error_; }
    long statements() const { return total_; }

  private:
    std::size_t limit_;
    std::size_t pending_ = 0;
    long total_ = 0;
    std::string text_;
    std::string error_;
    bool ok_ = true;
    G_DirectSQL sql_;
};

// Doubles quotes for a text between quotes.
std::string Q(const std::string& text);

}  // namespace payroll::company
