// What a dialog of the library shows, read through the driver interfaces
// (payroll::ui::UiDialog, UiGrid and the front's UiForm) into plain data, and
// laid out as lines of text for a terminal or a file.
#pragma once

#include <string>
#include <vector>

#include "payroll/ui.h"

namespace payroll::cli {

struct GridSnapshot {
    bool present = false;
    std::vector<int> columns;                     // the visible columns (width > 0)
    std::vector<std::string> titles;              // of the visible columns
    std::vector<bool> right;                      // of the visible columns: amounts
    std::vector<std::string> side;                // side heading of each row
    std::vector<std::vector<std::string>> cells;  // rows of visible cells, as shown
    long current_row = -1;
};

struct FormSnapshot {
    struct Cell {
        std::string text;
        bool label = false;
    };
    struct Row {
        bool heading = false;
        std::vector<Cell> cells;
    };
    bool present = false;
    std::vector<Row> rows;
};

struct DialogSnapshot {
    int template_id = 0;
    std::string title;
    FormSnapshot form;
    GridSnapshot grid;
    // Captions of the buttons by id (IDOK, IDCANCEL).
    std::string ok_caption;
    std::string cancel_caption;
    bool has_cancel = false;
};

// What the dialog shows: form cells through their masks, list cells as a
// window shows them (amounts with thousands separators, dates as
// ####/##/##).
DialogSnapshot Capture(payroll::ui::UiDialog& dialog);

// A resident (or foreign) registration number, 13 digits with or without
// the dash after the sixth, with all but the birth date and the first digit
// after it hidden: "700101-1******". Any other text comes back unchanged.
std::string MaskRegistrationNumber(const std::string& text);

// Hides every registration number the form's value cells and the list's
// cells show, as MaskRegistrationNumber does.
void MaskRegistrationNumbers(DialogSnapshot* shown);

// The form as lines: headings as "== text ==", other rows as label and value
// cells in aligned columns. With a width (> 0), a row whose pairs do not fit
// goes on over more lines, as many pairs to a line as fit (at least one).
std::vector<std::string> FormLines(const FormSnapshot& form, int width = 0);

// The grid as a table: a header of the side heading and the visible column
// titles, then one line per row, amounts aligned to the right. Rows whose cells are all empty are
// left out when skip_empty is set.
std::vector<std::string> GridLines(const GridSnapshot& grid, bool skip_empty);

// The whole dialog as plain text lines (title, form, grid).
std::vector<std::string> DialogLines(const DialogSnapshot& dialog);

}  // namespace payroll::cli
