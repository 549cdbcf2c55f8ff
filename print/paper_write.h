// One paper written whole or not at all, as CSV or as PDF: what the payslip,
// register and ledger writers share.
#pragma once

#include <functional>
#include <string>

#include "payroll/print.h"
#include "print/paper_canvas.h"

namespace payroll::print {

// The page size and title of a paper's PDF.
struct PaperPage {
    double width = 0, height = 0;  // points
    std::string title;
};

// Writes `path` through a temporary file: as CSV, the text `csv` makes; as
// PDF, the pages `draw` fills. False with a message naming the file and the
// reason, leaving `path` as it was.
bool WritePaper(const std::string& path, Format format, const std::function<std::string()>& csv,
                const PaperPage& page, const std::function<void(PdfCanvas&)>& draw,
                std::string* error);

}  // namespace payroll::print
