#include "tools/company/batch_writer.h"

#include <cstdarg>

namespace payroll::company {

std::string Q(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\'') out += '\'';
        out += c;
    }
    return out;
}

void BatchWriter::Add(const char* format, ...) {
    if (!ok_) return;
    va_list args;
    va_start(args, format);
    CString one;
    one.FormatV(format, args);
    va_end(args);
    text_ += one.str();
    text_ += '\n';
    ++total_;
    if (++pending_ >= limit_) Flush();
}

bool BatchWriter::Flush() {
    if (ok_ && pending_ > 0 && !sql_.OnExecuteQuery(CString(text_))) {
        ok_ = false;
        error_ = sql_.GetLastError().str();
    }
    text_.clear();
    pending_ = 0;
    return ok_;
}

bool BatchWriter::FlushAndCommit(G_DataSource& tx, std::string* error) {
    if (!Flush()) {
        tx.OnRollbackTrans();
        *error = error_;
        return false;
    }
    if (!tx.OnCommitTrans()) {
        *error = tx.GetLastError().str();
        return false;
    }
    return true;
}

}  // namespace payroll::company
