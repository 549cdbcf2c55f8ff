#include "front/statement_report.h"

#include "payroll/cstring.h"
#include "payroll/fixed_text.h"
#include "platform/ui/afx.h"

namespace payroll::front {

std::vector<std::string> TraceLines(std::string_view sql, std::string_view tag) {
    std::vector<std::string> lines;
    if (sql.size() <= kTracePiece) return lines;
    std::string title(tag);
    while (!sql.empty()) {
        std::size_t n = Utf8PrefixLength(sql, kTracePiece);
        if (n == 0) n = std::min(sql.size(), kTracePiece);  // not UTF-8: cut bytes
        CString line;
        line.Format("--[select %s ]--- %s\n", title.c_str(), std::string(sql.substr(0, n)).c_str());
        lines.push_back(line.str());
        sql.remove_prefix(n);
    }
    return lines;
}

std::vector<std::string> ReportStatement(std::string_view sql, std::string_view tag, bool quiet) {
    std::vector<std::string> lines = TraceLines(sql, tag);
    if (!quiet) AfxMessageBox(std::string(tag).c_str(), MB_OK);
    return lines;
}

}  // namespace payroll::front
