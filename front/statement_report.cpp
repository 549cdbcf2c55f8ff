#include "front/statement_report.h"

#include "payroll/cstring.h"
#include "platform/text/utf8_pieces.h"
#include "platform/ui/afx.h"

namespace payroll::front {

std::vector<std::string> TraceLines(std::string_view sql, std::string_view tag) {
    std::vector<std::string> lines;
    if (sql.size() <= text::kTracePiece) return lines;
    std::string title(tag);
    for (std::string_view piece : text::Utf8Pieces(sql, text::kTracePiece)) {
        CString line;
        line.Format("--[select %s ]--- %s\n", title.c_str(), std::string(piece).c_str());
        lines.push_back(line.str());
    }
    return lines;
}

std::vector<std::string> ReportStatement(std::string_view sql, std::string_view tag, bool quiet) {
    std::vector<std::string> lines = TraceLines(sql, tag);
    if (!quiet) AfxMessageBox(std::string(tag).c_str(), MB_OK);
    return lines;
}

}  // namespace payroll::front
