#include "ui-qt/grid_view.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <cmath>

#include "ui-qt/qstr.h"
#include "ui-qt/win_codes.h"

namespace payroll::qt {
namespace {

Qt::Alignment AlignmentOf(payroll::ui::CellLook::Align align) {
    switch (align) {
        case payroll::ui::CellLook::Align::kRight:
            return Qt::AlignRight | Qt::AlignVCenter;
        case payroll::ui::CellLook::Align::kCenter:
            return Qt::AlignCenter;
        case payroll::ui::CellLook::Align::kLeft:
            break;
    }
    return Qt::AlignLeft | Qt::AlignVCenter;
}

}  // namespace

int LeavingButton(payroll::ui::UiDialog& dialog) {
    for (const payroll::ui::ControlInfo& c : dialog.Controls())
        if (c.kind == "button" && c.id == IDCANCEL) return IDCANCEL;
    return IDOK;
}

int GridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

int GridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : cols_;
}

QVariant GridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    if (role != Qt::DisplayRole && role != Qt::TextAlignmentRole) return {};
    const payroll::ui::CellLook look = grid_.ShownCell(index.column(), index.row());
    if (role == Qt::DisplayRole) return QStr(look.text);
    return QVariant::fromValue(AlignmentOf(look.align));
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return QAbstractTableModel::headerData(section, orientation, role);
    if (orientation == Qt::Horizontal) return QStr(grid_.ColumnTitle(section));
    return QStr(grid_.CellText(-1, section));
}

void GridModel::Reload() {
    const long rows = grid_.RowCount();
    const int cols = grid_.ColCount();
    const int fit_rows = static_cast<int>(std::clamp(rows, 0L, 1000000L));
    const int fit_cols = std::max(0, cols);
    if (fit_rows != rows_ || fit_cols != cols_) {
        beginResetModel();
        rows_ = fit_rows;
        cols_ = fit_cols;
        endResetModel();
    } else if (rows_ > 0 && cols_ > 0) {
        emit dataChanged(index(0, 0), index(rows_ - 1, cols_ - 1));
        emit headerDataChanged(Qt::Horizontal, 0, cols_ - 1);
    }
}

GridView::GridView(payroll::ui::UiDialog& dialog, payroll::ui::UiGrid& grid, double scale,
                   std::function<void()> after_input, QWidget* parent)
    : QTableView(parent),
      dialog_(dialog),
      grid_(grid),
      model_(grid, this),
      scale_(scale),
      after_input_(std::move(after_input)) {
    setModel(&model_);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setAlternatingRowColors(true);
    setTabKeyNavigation(false);  // Tab leaves the grid for the next control
    verticalHeader()->setDefaultAlignment(Qt::AlignCenter);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setHighlightSections(false);
    connect(horizontalHeader(), &QHeaderView::sectionResized, this,
            [this](int col, int old_width, int new_width) {
                ColumnResized(col, old_width, new_width);
            });
    Sync();
}

void GridView::Sync() {
    syncing_ = true;
    model_.Reload();
    for (int c = 0; c < grid_.ColCount(); ++c) {
        const int width = grid_.ColumnWidth(c);
        setColumnHidden(c, width <= 0);
        if (width > 0) setColumnWidth(c, static_cast<int>(std::lround(width * scale_)));
    }
    const long row = grid_.CurrentRow();
    if (row >= 0 && row < model_.rowCount()) {
        const int col = std::max(0, grid_.CurrentCol());
        const QModelIndex at = model_.index(static_cast<int>(row), col);
        selectionModel()->setCurrentIndex(
            at, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        scrollTo(at);
    } else {
        selectionModel()->clearSelection();
    }
    syncing_ = false;
}

void GridView::ColumnResized(int col, int old_width, int new_width) {
    if (syncing_ || new_width == 0) return;  // hiding a column is no resize
    const int grid_width = std::max(1, static_cast<int>(std::lround(new_width / scale_)));
    if (!grid_.ResizeColumn(col, grid_width)) {
        syncing_ = true;
        setColumnWidth(col, old_width);
        syncing_ = false;
    }
}

void GridView::keyPressEvent(QKeyEvent* event) {
    const UINT key = VirtualKeyOf(event->key());
    if (key == VK_TAB) {
        QTableView::keyPressEvent(event);  // the window moves the focus on
        return;
    }
    if (key != 0) {
        grid_.KeyDown(key);
        // Enter confirms and Escape leaves when the grid itself did not end
        // the dialog, as a dialog's default buttons do.
        if (key == VK_RETURN && !dialog_.IsEnded()) dialog_.PressButton(IDOK);
        if (key == VK_ESCAPE && !dialog_.IsEnded()) dialog_.PressButton(LeavingButton(dialog_));
    } else if (!event->text().isEmpty() && event->text().at(0).isPrint()) {
        for (char32_t ch : event->text().toUcs4()) grid_.Char(static_cast<UINT>(ch));
    } else {
        event->ignore();
        return;
    }
    event->accept();
    after_input_();
}

void GridView::mousePressEvent(QMouseEvent* event) {
    const QModelIndex at = indexAt(event->position().toPoint());
    if (at.isValid() && event->button() == Qt::LeftButton) {
        grid_.SelectCell(at.column(), at.row());
        setFocus();
        after_input_();
    }
    event->accept();
}

void GridView::mouseDoubleClickEvent(QMouseEvent* event) {
    const QModelIndex at = indexAt(event->position().toPoint());
    if (at.isValid() && event->button() == Qt::LeftButton) {
        grid_.DoubleClick(at.column(), at.row());
        after_input_();
    }
    event->accept();
}

}  // namespace payroll::qt
