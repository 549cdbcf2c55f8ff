#include "cli/faces/tui_snapshot.h"

#include <algorithm>

#include "cli/faces/tui_text.h"
#include "payroll/imirak1.h"

namespace payroll::cli {
namespace {

constexpr int kMaxCellWidth = 40;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace

std::string MaskRegistrationNumber(const std::string& text) {
    const bool dashed = text.size() == 14 && text[6] == '-';
    if (!dashed && text.size() != 13) return text;
    std::string digits = dashed ? text.substr(0, 6) + text.substr(7) : text;
    if (!std::all_of(digits.begin(), digits.end(), IsDigit)) return text;
    return digits.substr(0, 6) + "-" + digits.substr(6, 1) + "******";
}

void MaskRegistrationNumbers(DialogSnapshot* shown) {
    for (FormSnapshot::Row& row : shown->form.rows)
        for (FormSnapshot::Cell& cell : row.cells)
            if (!cell.label) cell.text = MaskRegistrationNumber(cell.text);
    for (std::vector<std::string>& row : shown->grid.cells)
        for (std::string& cell : row) cell = MaskRegistrationNumber(cell);
}

DialogSnapshot Capture(payroll::ui::UiDialog& dialog) {
    DialogSnapshot out;
    out.template_id = dialog.TemplateId();
    out.title = tui::Printable(dialog.Title().str());
    for (const payroll::ui::ControlInfo& c : dialog.Controls()) {
        if (c.kind != "button") continue;
        if (c.id == IDOK) out.ok_caption = tui::Printable(c.text.str());
        if (c.id == IDCANCEL) {
            out.cancel_caption = tui::Printable(c.text.str());
            out.has_cancel = true;
        }
    }
    if (const payroll::front::UiForm* form = payroll::front::FindForm(dialog, 0)) {
        out.form.present = true;
        for (int r = 0; r < form->RowCount(); ++r) {
            FormSnapshot::Row row;
            row.heading = form->IsHeading(r);
            for (int c = 0; c < form->ColCount(r); ++c)
                row.cells.push_back(
                    {tui::Printable(form->CellText(r, c).str()), form->IsLabel(r, c)});
            out.form.rows.push_back(std::move(row));
        }
    }
    if (payroll::ui::UiGrid* grid = dialog.FindGrid(0)) {
        GridSnapshot& g = out.grid;
        g.present = true;
        for (int c = 0; c < grid->ColCount(); ++c) {
            if (grid->ColumnWidth(c) <= 0) continue;
            g.columns.push_back(c);
            g.titles.push_back(tui::Printable(grid->ColumnTitle(c).str()));
            g.right.push_back(false);
        }
        for (long r = 0; r < grid->RowCount(); ++r) {
            g.side.push_back(tui::Printable(grid->CellText(-1, r).str()));
            std::vector<std::string> cells;
            for (std::size_t i = 0; i < g.columns.size(); ++i) {
                const payroll::ui::CellLook look = grid->ShownCell(g.columns[i], r);
                if (look.align == payroll::ui::CellLook::Align::kRight) g.right[i] = true;
                cells.push_back(tui::Printable(look.text.str()));
            }
            g.cells.push_back(std::move(cells));
        }
        g.current_row = grid->CurrentRow();
    }
    return out;
}

std::vector<std::string> FormLines(const FormSnapshot& form, int width) {
    int label_width = 0, value_width = 0;
    for (const auto& row : form.rows) {
        if (row.heading) continue;
        for (const auto& cell : row.cells) {
            int w = std::min(tui::DisplayWidth(cell.text), kMaxCellWidth);
            (cell.label ? label_width : value_width) =
                std::max(cell.label ? label_width : value_width, w);
        }
    }
    // A pair is a label and the values after it; pairs are three apart.
    const int pair_width = label_width + 1 + value_width;
    const int per_line = width > 0 ? std::max(1, (width + 3) / (pair_width + 3)) : 1 << 20;
    std::vector<std::string> lines;
    for (const auto& row : form.rows) {
        if (row.heading) {
            lines.push_back("== " + (row.cells.empty() ? std::string() : row.cells[0].text) +
                            " ==");
            continue;
        }
        std::string line;
        int pairs = 0;
        for (std::size_t c = 0; c < row.cells.size(); ++c) {
            const auto& cell = row.cells[c];
            if (cell.label && c > 0 && ++pairs % per_line == 0) {
                while (!line.empty() && line.back() == ' ') line.pop_back();
                lines.push_back(line);
                line.clear();
            } else if (c) {
                line += cell.label ? "   " : " ";
            }
            line += tui::PadRight(cell.text, cell.label ? label_width : value_width);
        }
        while (!line.empty() && line.back() == ' ') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

std::vector<std::string> GridLines(const GridSnapshot& grid, bool skip_empty) {
    std::vector<std::vector<std::string>> rows;
    std::vector<std::string> header{"#"};
    header.insert(header.end(), grid.titles.begin(), grid.titles.end());
    rows.push_back(header);
    for (std::size_t r = 0; r < grid.cells.size(); ++r) {
        const auto& cells = grid.cells[r];
        bool empty =
            std::all_of(cells.begin(), cells.end(), [](const std::string& s) { return s.empty(); });
        if (skip_empty && empty) continue;
        std::vector<std::string> row{r < grid.side.size() ? grid.side[r] : std::string()};
        row.insert(row.end(), cells.begin(), cells.end());
        rows.push_back(std::move(row));
    }
    // Amounts and their title are padded on the left to their column's
    // width, so that their digits line up; the table pads every other cell
    // on the right.
    for (std::size_t i = 0; i < grid.right.size(); ++i) {
        if (!grid.right[i]) continue;
        const std::size_t col = i + 1;
        int width = 0;
        for (const auto& row : rows)
            if (col < row.size())
                width = std::max(width, std::min(tui::DisplayWidth(row[col]), kMaxCellWidth));
        for (auto& row : rows) {
            std::string& cell = row[col];
            const int pad = width - tui::DisplayWidth(cell);
            if (pad > 0) cell.insert(0, static_cast<std::size_t>(pad), ' ');
        }
    }
    return tui::LayOutTable(rows, kMaxCellWidth);
}

std::vector<std::string> DialogLines(const DialogSnapshot& dialog) {
    std::vector<std::string> lines;
    if (!dialog.title.empty()) lines.push_back(dialog.title);
    if (dialog.form.present) {
        std::vector<std::string> form = FormLines(dialog.form);
        lines.insert(lines.end(), form.begin(), form.end());
    }
    if (dialog.grid.present) {
        std::vector<std::string> grid = GridLines(dialog.grid, /*skip_empty=*/true);
        lines.insert(lines.end(), grid.begin(), grid.end());
    }
    return lines;
}

}  // namespace payroll::cli
