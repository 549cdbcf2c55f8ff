// The payroll register as a clerk reads it: landscape pages with the
// approval box, each employee's run as a block of lines (the pay items
// above, the deductions below) under the same two-tier heading, the
// subtotal of each department and run and the month's total. The text is
// never smaller than 7 pt: when the items do not fit one line at that size,
// they take a second line of their own instead of shrinking further.
#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "payroll/print.h"
#include "print/paper_canvas.h"
#include "print/paper_register_sheet.h"
#include "print/paper_render.h"
#include "print/paper_sheet.h"
#include "print/paper_table.h"
#include "print/paper_write.h"

namespace payroll::print {
namespace {

using papers::Register;
using papers::RegisterTotal;

constexpr double kRegMargin = 28;
constexpr double kRegPad = 6;           // a cell's space left and right of its text
constexpr double kRegMeasureSize = 10;  // widths are measured once, at this size
constexpr double kRegSlack = 1.04;  // widths scale with the size, hinting not quite: room for that
constexpr double kRegLineFactor = 1.35;  // a text line's height over its font size
constexpr double kRegSizes[] = {8.5, 8, 7.5, kSmallestText};  // tried largest first
constexpr double kRegTableTop = kRegMargin + 62;  // under the title, the header lines and the box
constexpr double kRegFooter = 16;
constexpr double kRegMostSpare = 24;  // the most an item column grows past its widest cell

// The cells of one block: a line per text line, a cell per column.
using Cells = std::vector<std::vector<std::string>>;

// How the items are laid out: `slots` item columns, the pay items over
// `pay_lines` lines, then the deductions over `deduction_lines`.
struct Grid {
    std::size_t slots = 1, pay_lines = 1, deduction_lines = 1;
    double size = kSmallestText;
    std::vector<double> widths;  // who, department, the slots, gross and deductions, net
    std::size_t Lines() const { return pay_lines + deduction_lines; }
    std::size_t Columns() const { return slots + 4; }
    double LineHeight() const { return size * kRegLineFactor; }
};

// One block of the table: an employee's run, a subtotal, or a run's heading.
struct Block {
    Cells cells;
    bool total = false;   // bold, shaded, its label across the first two columns
    double shade = 1;     // 1 white .. 0 black
    std::string heading;  // a run's heading: one line across the table
    double height = 0;
};

std::size_t LinesFor(std::size_t items, std::size_t slots) {
    return std::max<std::size_t>(1, (items + slots - 1) / slots);
}

class RegisterLayout {
  public:
    RegisterLayout(PdfCanvas& pdf, const Register& r, int lang) : pdf_(pdf), r_(r), lang_(lang) {
        for (std::size_t c = 0; c < r.columns.size(); ++c)
            (r.columns[c].deduction ? deductions_ : pay_).push_back(c);
    }

    void Draw() {
        ChooseGrid();
        std::vector<Block> blocks = MakeBlocks();
        const Cells head = HeadCells();
        const std::vector<double> head_heights = HeadHeights(head);
        double head_height = 0;
        for (double h : head_heights) head_height += h;
        const double bottom = pdf_.height() - kRegMargin - kRegFooter;
        // First pass: where each page starts; a run's heading stays with
        // the block under it.
        std::vector<std::size_t> page_starts = {0};
        double y = kRegTableTop + head_height;
        for (std::size_t i = 0; i < blocks.size(); ++i) {
            double need = blocks[i].height;
            if (!blocks[i].heading.empty() && i + 1 < blocks.size()) need += blocks[i + 1].height;
            if (y + need > bottom && i > page_starts.back()) {
                page_starts.push_back(i);
                y = kRegTableTop + head_height;
            }
            y += blocks[i].height;
        }
        page_starts.push_back(blocks.size());
        const std::size_t pages = page_starts.size() - 1;
        for (std::size_t page = 0; page < pages; ++page) {
            if (page > 0) pdf_.NextPage();
            DrawPageHead(page == 0);
            double top = kRegTableTop;
            DrawHead(head, head_heights, top);
            top += head_height;
            DrawColumnRules(kRegTableTop, top, Rules::kHeading);
            for (std::size_t i = page_starts[page]; i < page_starts[page + 1]; ++i) {
                DrawBlock(blocks[i], top);
                DrawColumnRules(top, top + blocks[i].height,
                                blocks[i].heading.empty() ? Rules::kBody : Rules::kFrame);
                top += blocks[i].height;
            }
            pdf_.Text(kRegMargin, pdf_.height() - kRegMargin - 9, Width(),
                      PaperLabel(lang_, 1142, {std::to_string(page + 1), std::to_string(pages)}),
                      {7.5, false, Align::kCenter});
        }
    }

  private:
    double Width() const { return pdf_.width() - 2 * kRegMargin; }
    double TableWidth() const { return X(grid_.Columns()) - kRegMargin; }
    std::size_t GrossColumn() const { return grid_.slots + 2; }
    std::size_t NetColumn() const { return grid_.slots + 3; }

    // The text width at kRegMeasureSize, measured once per text.
    double Measured(const std::string& text, bool bold) {
        auto& cache = bold ? bold_widths_ : widths_;
        auto it = cache.find(text);
        if (it != cache.end()) return it->second;
        return cache[text] = pdf_.TextWidth(text, {kRegMeasureSize, bold});
    }

    // An item's cell: empty when nothing was paid or deducted.
    static std::string Amount(double a) { return a == 0 ? std::string() : PaperWon(a); }

    // An amount of a line or total a host made shorter than the columns: 0.
    static double At(const std::vector<double>& amounts, std::size_t i) {
        return i < amounts.size() ? amounts[i] : 0;
    }

    Cells AmountCells(const std::vector<double>& amounts, double gross, double deductions,
                      double net) const {
        Cells cells(grid_.Lines(), std::vector<std::string>(grid_.Columns()));
        for (std::size_t i = 0; i < pay_.size(); ++i)
            cells[i / grid_.slots][2 + i % grid_.slots] = Amount(At(amounts, pay_[i]));
        for (std::size_t i = 0; i < deductions_.size(); ++i)
            cells[grid_.pay_lines + i / grid_.slots][2 + i % grid_.slots] =
                Amount(At(amounts, deductions_[i]));
        cells[0][GrossColumn()] = PaperWon(gross);
        cells[grid_.pay_lines][GrossColumn()] = PaperWon(deductions);
        cells[grid_.pay_lines][NetColumn()] = PaperWon(net);
        return cells;
    }

    Block TotalBlock(const RegisterTotal& t, const std::string& label, double shade) const {
        Block b;
        b.cells = AmountCells(t.amounts, t.gross, t.total_deductions, t.net);
        b.cells[0][0] = label;
        b.cells[1][0] =
            PaperLabel(lang_, 1306, {std::to_string(t.people), std::to_string(t.lines)});
        b.total = true;
        b.shade = shade;
        return b;
    }

    std::string DepartmentText(const std::string& code, const std::string& name) const {
        return name.empty() || name == code ? code : code + " " + name;
    }

    std::string RunText(const papers::RegisterRun& run) const {
        return PaperLabel(lang_, 1307,
                          {std::to_string(run.sq), run.pay_types, PaperDate(run.pay_date)});
    }

    std::vector<Block> MakeBlocks() const {
        std::vector<Block> blocks;
        const double line_h = grid_.LineHeight();
        std::size_t department = 0;
        for (std::size_t run = 0; run < r_.runs.size(); ++run) {
            Block heading;
            heading.heading = RunText(r_.runs[run]);
            heading.shade = 0.9;
            blocks.push_back(heading);
            for (std::size_t i = 0; i < r_.lines.size(); ++i) {
                const papers::RegisterLine& l = r_.lines[i];
                if (l.run != run) continue;
                Block b;
                b.cells = AmountCells(l.amounts, l.gross, l.total_deductions, l.net);
                b.cells[0][0] = l.employee;
                b.cells[1][0] = l.name;
                b.cells[0][1] = DepartmentText(l.department, l.department_name);
                blocks.push_back(std::move(b));
                const bool last = i + 1 == r_.lines.size() || r_.lines[i + 1].run != run ||
                                  r_.lines[i + 1].department != l.department;
                if (last && department < r_.departments.size()) {
                    const RegisterTotal& d = r_.departments[department++];
                    blocks.push_back(TotalBlock(
                        d,
                        PaperLabel(lang_, 1304, {DepartmentText(d.department, d.department_name)}),
                        0.95));
                }
            }
            if (r_.runs.size() > 1 && run < r_.run_totals.size())
                blocks.push_back(
                    TotalBlock(r_.run_totals[run],
                               PaperLabel(lang_, 1305, {std::to_string(r_.runs[run].sq)}), 0.9));
        }
        blocks.push_back(TotalBlock(r_.total, PaperLabel(lang_, 1141), 0.84));
        for (Block& b : blocks)
            b.height =
                b.heading.empty() ? static_cast<double>(grid_.Lines()) * line_h + 3 : line_h + 4;
        return blocks;
    }

    Cells HeadCells() const {
        Cells head(grid_.Lines(), std::vector<std::string>(grid_.Columns()));
        head[0][0] = PaperLabel(lang_, 1102);
        head[1][0] = PaperLabel(lang_, 1103);
        head[0][1] = PaperLabel(lang_, 1104);
        for (std::size_t i = 0; i < pay_.size(); ++i)
            head[i / grid_.slots][2 + i % grid_.slots] = r_.columns[pay_[i]].name;
        for (std::size_t i = 0; i < deductions_.size(); ++i)
            head[grid_.pay_lines + i / grid_.slots][2 + i % grid_.slots] =
                r_.columns[deductions_[i]].name;
        head[0][GrossColumn()] = PaperLabel(lang_, 1117);
        head[grid_.pay_lines][GrossColumn()] = PaperLabel(lang_, 1118);
        head[grid_.pay_lines][NetColumn()] = PaperLabel(lang_, 1119);
        return head;
    }

    // The widths of the columns for `slots` at kRegMeasureSize, padding aside.
    std::vector<double> MeasureColumns(std::size_t slots) {
        const std::size_t saved = grid_.slots;
        grid_.slots = slots;
        grid_.pay_lines = LinesFor(pay_.size(), slots);
        grid_.deduction_lines = LinesFor(deductions_.size(), slots);
        std::vector<double> widths(grid_.Columns(), 0);
        const Cells head = HeadCells();
        for (const auto& line : head)
            for (std::size_t c = 0; c < line.size(); ++c)
                widths[c] = std::max(widths[c], WidestWord(pdf_, line[c], {kRegMeasureSize, true}));
        const std::vector<Block> blocks = MakeBlocks();
        for (const Block& b : blocks) {
            if (!b.heading.empty()) continue;
            for (std::size_t l = 0; l < b.cells.size(); ++l)
                for (std::size_t c = 0; c < b.cells[l].size(); ++c) {
                    if (b.total && c == 0) continue;  // a label spans two columns
                    widths[c] = std::max(widths[c], Measured(b.cells[l][c], b.total));
                }
        }
        // A subtotal's label runs across the first two columns.
        for (const Block& b : blocks)
            if (b.total)
                for (std::size_t l = 0; l < 2; ++l)
                    widths[1] = std::max(widths[1], Measured(b.cells[l][0], true) - widths[0]);
        grid_.slots = saved;
        return widths;
    }

    // The fewest lines per employee, then the largest size, that fit the page.
    void ChooseGrid() {
        const std::size_t most = std::max<std::size_t>({pay_.size(), deductions_.size(), 1});
        for (std::size_t lines = 2;; ++lines) {
            std::size_t slots = 1;
            while (slots < most &&
                   LinesFor(pay_.size(), slots) + LinesFor(deductions_.size(), slots) > lines)
                ++slots;
            const std::vector<double> measured = MeasureColumns(slots);
            for (double size : kRegSizes) {
                double total = 0;
                for (double w : measured) total += w * size * kRegSlack / kRegMeasureSize + kRegPad;
                if (total <= Width() || (slots == 1 && size == kSmallestText)) {
                    grid_.slots = slots;
                    grid_.pay_lines = LinesFor(pay_.size(), slots);
                    grid_.deduction_lines = LinesFor(deductions_.size(), slots);
                    grid_.size = size;
                    grid_.widths.clear();
                    for (double w : measured)
                        grid_.widths.push_back(w * size * kRegSlack / kRegMeasureSize + kRegPad);
                    // What is left of the page goes to the item columns, a
                    // little each: a run of few items keeps its figures together.
                    const double spare =
                        std::min(kRegMostSpare, (Width() - total) / static_cast<double>(slots));
                    for (std::size_t c = 2; spare > 0 && c < 2 + slots; ++c)
                        grid_.widths[c] += spare;
                    return;
                }
            }
        }
    }

    double X(std::size_t column) const {
        double x = kRegMargin;
        for (std::size_t c = 0; c < column; ++c) x += grid_.widths[c];
        return x;
    }

    // Each heading line's height: its cells broken between words.
    std::vector<double> HeadHeights(const Cells& head) {
        std::vector<double> heights;
        const TextStyle style{grid_.size, true};
        for (const auto& line : head) {
            std::size_t most = 1;
            for (std::size_t c = 0; c < line.size(); ++c)
                most = std::max(most,
                                WordLines(pdf_, line[c], grid_.widths[c] - kRegPad, style).size());
            heights.push_back(static_cast<double>(most) * grid_.LineHeight() + 2);
        }
        return heights;
    }

    void DrawHead(const Cells& head, const std::vector<double>& heights, double y) {
        double total = 0;
        for (double h : heights) total += h;
        pdf_.Rect(kRegMargin, y, TableWidth(), total, 0.88);
        const TextStyle style{grid_.size, true, Align::kCenter};
        for (std::size_t l = 0; l < head.size(); ++l) {
            for (std::size_t c = 0; c < head[l].size(); ++c) {
                const double w = grid_.widths[c] - kRegPad;
                DrawLines(pdf_, X(c) + kRegPad / 2, y + 1, w, grid_.LineHeight(),
                          WordLines(pdf_, head[l][c], w, style), style);
            }
            y += heights[l];
            pdf_.Line(kRegMargin, y, kRegMargin + TableWidth(), y,
                      l + 1 == grid_.pay_lines ? 0.3 : 0.1);
        }
        pdf_.Line(kRegMargin, y, kRegMargin + TableWidth(), y, 0.8);
    }

    void DrawBlock(const Block& b, double y) {
        const double line_h = grid_.LineHeight();
        if (b.shade < 1) pdf_.Rect(kRegMargin, y, TableWidth(), b.height, b.shade);
        if (!b.heading.empty()) {
            pdf_.Text(kRegMargin + kRegPad / 2, y + 2, TableWidth() - kRegPad, b.heading,
                      {grid_.size, true});
            pdf_.Line(kRegMargin, y + b.height, kRegMargin + TableWidth(), y + b.height, 0.3);
            return;
        }
        for (std::size_t l = 0; l < b.cells.size(); ++l) {
            const double ty =
                y + 1.5 + static_cast<double>(l) * line_h + (line_h - grid_.size * 1.15) / 2;
            for (std::size_t c = 0; c < b.cells[l].size(); ++c) {
                if (b.cells[l][c].empty()) continue;
                double w = grid_.widths[c];
                if (b.total && c == 0) w += grid_.widths[1];
                pdf_.Text(X(c) + kRegPad / 2, ty, w - kRegPad, b.cells[l][c],
                          {grid_.size, b.total, c < 2 ? Align::kLeft : Align::kRight});
            }
            if (l + 1 == grid_.pay_lines)
                pdf_.Line(X(2), y + 1.5 + static_cast<double>(l + 1) * line_h,
                          kRegMargin + TableWidth(), y + 1.5 + static_cast<double>(l + 1) * line_h,
                          0.1);
        }
        pdf_.Line(kRegMargin, y + b.height, kRegMargin + TableWidth(), y + b.height,
                  b.total ? 0.5 : 0.25);
    }

    // The rules between the columns, the groups' heavier: all of them under
    // the heading, none between the first two in the body (a subtotal's
    // label runs across), only the table's edges beside a run's heading.
    enum class Rules { kHeading, kBody, kFrame };
    void DrawColumnRules(double top, double bottom, Rules rules) {
        for (std::size_t c = 0; c <= grid_.Columns(); ++c) {
            const bool edge = c == 0 || c == grid_.Columns();
            const bool group = edge || c == 2 || c == GrossColumn();
            if ((rules == Rules::kFrame && !edge) || (rules == Rules::kBody && c == 1)) continue;
            pdf_.Line(X(c), top, X(c), bottom, group ? 0.5 : 0.1);
        }
    }

    void DrawPageHead(bool first) {
        const double box = ApprovalBoxWidth();
        pdf_.Text(kRegMargin, kRegMargin, Width(), PaperLabel(lang_, 1140),
                  {16, true, Align::kCenter});
        std::string company = PaperLabel(lang_, 1101) + " " + r_.company;
        if (!r_.company_name.empty() && r_.company_name != r_.company)
            company += " " + r_.company_name;
        const std::string head =
            company + "    " + PaperLabel(lang_, 1105) + " " + PaperDate(r_.month);
        pdf_.Text(kRegMargin, kRegMargin + 26, Width() - box - 12, head, {9, true});
        std::string runs;
        for (const papers::RegisterRun& run : r_.runs)
            runs += (runs.empty() ? "" : "    ") + RunText(run);
        pdf_.Text(kRegMargin, kRegMargin + 40, Width() - box - 12, runs,
                  {8, false, Align::kLeft, true});
        if (first) DrawApprovalBox(kRegMargin + Width() - box, kRegMargin, 54);
    }

    // The approval box's title cell and each signer's cell: room for the
    // names, and a signer's cell at least 44 points wide to sign in.
    static constexpr TextStyle kApproval{7.5, true, Align::kCenter};
    double ApprovalTitleWidth() {
        return std::max(22.0, pdf_.TextWidth(PaperLabel(lang_, 1300), kApproval) + 8);
    }
    double ApprovalCellWidth() {
        double cell = 44;
        for (int id = 1301; id <= 1303; ++id)
            cell = std::max(cell, pdf_.TextWidth(PaperLabel(lang_, id), kApproval) + 8);
        return cell;
    }
    double ApprovalBoxWidth() { return ApprovalTitleWidth() + 3 * ApprovalCellWidth(); }

    // 결재란: a title cell, then 담당, 검토 and 승인, each with room to
    // sign under its name.
    void DrawApprovalBox(double x, double y, double h) {
        const double title_w = ApprovalTitleWidth(), cell = ApprovalCellWidth(), name_h = 12;
        Frame(pdf_, x, y, title_w + 3 * cell, h, 0.6);
        pdf_.Text(x, y + (h - 7.5 * 1.15) / 2, title_w, PaperLabel(lang_, 1300), kApproval);
        pdf_.Line(x + title_w, y, x + title_w, y + h, 0.6);
        pdf_.Line(x + title_w, y + name_h, x + title_w + 3 * cell, y + name_h, 0.3);
        for (int i = 0; i < 3; ++i) {
            const double cx = x + title_w + cell * i;
            if (i > 0) pdf_.Line(cx, y, cx, y + h, 0.3);
            pdf_.Text(cx, y + 2, cell, PaperLabel(lang_, 1301 + i), kApproval);
        }
    }

    PdfCanvas& pdf_;
    const Register& r_;
    const int lang_;
    std::vector<std::size_t> pay_, deductions_;  // the columns of each kind, in order
    Grid grid_;
    std::map<std::string, double> widths_, bold_widths_;
};

}  // namespace

bool WriteRegister(const Register& reg, int language, Format format, PaperSize paper,
                   const std::string& path, std::string* error) {
    if (format != Format::kPdf)
        return WriteSheetFile(RegisterSheet(reg, language), format, path, error);
    const bool a3 = paper == PaperSize::kA3;
    return WritePaper(
        path, format, [] { return std::string(); },
        {a3 ? kA3Long : kA4Long, a3 ? kA4Long : kA4Short,
         PaperLabel(language, 1140) + " " + reg.company + " " + reg.month},
        [&](PdfCanvas& pdf) { RegisterLayout(pdf, reg, language).Draw(); }, error);
}

bool WriteRegister(const Register& reg, int language, Format format, const std::string& path,
                   std::string* error) {
    return WriteRegister(reg, language, format, PaperSize::kA4, path, error);
}

}  // namespace payroll::print
