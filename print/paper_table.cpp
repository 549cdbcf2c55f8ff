#include "print/paper_table.h"

#include <algorithm>
#include <sstream>

namespace payroll::print {
namespace {

std::vector<std::string> Words(const std::string& text) {
    std::vector<std::string> words;
    std::istringstream in(text);
    for (std::string word; in >> word;) words.push_back(word);
    return words;
}

}  // namespace

std::vector<std::string> WordLines(PdfCanvas& pdf, const std::string& text, double width,
                                   const TextStyle& style) {
    std::vector<std::string> lines;
    for (const std::string& word : Words(text)) {
        if (!lines.empty() && pdf.TextWidth(lines.back() + " " + word, style) <= width) {
            lines.back() += " " + word;
            continue;
        }
        lines.push_back(word);
    }
    return lines;
}

double WidestWord(PdfCanvas& pdf, const std::string& text, const TextStyle& style) {
    double widest = 0;
    for (const std::string& word : Words(text))
        widest = std::max(widest, pdf.TextWidth(word, style));
    return widest;
}

void DrawLines(PdfCanvas& pdf, double x, double y, double width, double line_height,
               const std::vector<std::string>& lines, const TextStyle& style) {
    for (const std::string& line : lines) {
        pdf.Text(x, y, width, line, style);
        y += line_height;
    }
}

void Frame(PdfCanvas& pdf, double x, double y, double w, double h, double weight) {
    pdf.Line(x, y, x + w, y, weight);
    pdf.Line(x, y + h, x + w, y + h, weight);
    pdf.Line(x, y, x, y + h, weight);
    pdf.Line(x + w, y, x + w, y + h, weight);
}

}  // namespace payroll::print
