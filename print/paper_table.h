// What the register and the ledger share to lay out their tables: headings
// broken into lines only between words (pango would break Hangul between
// any two syllables), the widest word of a heading, and the page sizes.
#pragma once

#include <string>
#include <vector>

#include "payroll/print.h"
#include "print/paper_canvas.h"

namespace payroll::print {

// Landscape sheets, in points.
inline constexpr double kA4Long = 841.89, kA4Short = 595.28;
inline constexpr double kA3Long = 1190.55;

// The smallest text a table of the papers is drawn in, in points.
inline constexpr double kSmallestText = 7;

// The words of `text` (split at spaces) as lines no wider than `width`; a
// word wider than that stands on a line of its own, whole.
std::vector<std::string> WordLines(PdfCanvas& pdf, const std::string& text, double width,
                                   const TextStyle& style);

// The width of the widest word of `text`.
double WidestWord(PdfCanvas& pdf, const std::string& text, const TextStyle& style);

// Draws `lines` one under the other from (x, y), each in a box `width`
// wide, `line_height` apart.
void DrawLines(PdfCanvas& pdf, double x, double y, double width, double line_height,
               const std::vector<std::string>& lines, const TextStyle& style);

// A rectangle's outline.
void Frame(PdfCanvas& pdf, double x, double y, double w, double h, double weight);

}  // namespace payroll::print
