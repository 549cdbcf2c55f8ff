#include "print/paper_sheet.h"

#include <vector>

#include "print/paper_file.h"
#include "print/paper_render.h"

namespace payroll::print {

std::string SheetCsv(const Sheet& sheet) {
    std::string text;
    for (const std::vector<SheetCell>& row : sheet.rows) {
        std::vector<std::string> cells;
        cells.reserve(row.size());
        for (const SheetCell& cell : row)
            cells.push_back(cell.numeric ? PaperCsvAmount(cell.number) : cell.text);
        text += PaperCsvLine(cells);
    }
    return text;
}

bool WriteSheetFile(const Sheet& sheet, Format format, const std::string& path,
                    std::string* error) {
    if (format == Format::kXlsx) return WriteXlsx(sheet, path, error);
    PaperFile file;
    if (!file.Open(path, error)) return false;
    const std::string text = kCsvByteOrderMark + SheetCsv(sheet);
    file.Write(text.data(), text.size());
    return file.Commit(error);
}

}  // namespace payroll::print
