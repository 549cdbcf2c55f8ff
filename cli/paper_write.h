// One paper written whole or not at all, as CSV or as PDF: what the payslip,
// register and ledger writers share.
#pragma once

#include <cstdio>
#include <functional>
#include <string>

#include "cli/paper_canvas.h"
#include "cli/paper_render.h"

namespace payroll::cli {

// The page size and title of a paper's PDF.
struct PaperPage {
    double width = 0, height = 0;  // points
    std::string title;
};

// Writes `path` through a temporary file: as CSV, what `csv` writes into the
// file (false when it could not); as PDF, the pages `draw` fills. False with
// a message, leaving no file under `path`.
bool WritePaper(const std::string& path, PaperFormat format,
                const std::function<bool(std::FILE*)>& csv, const PaperPage& page,
                const std::function<void(PdfCanvas&)>& draw, std::string* error);

// CSV text written whole into a file.
bool WriteCsvText(std::FILE* file, const std::string& text);

}  // namespace payroll::cli
