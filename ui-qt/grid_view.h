// A list grid of the library as a table view. The model reads the grid's
// cells through their masks; the view passes keys, typed characters,
// clicks, double-clicks and column resizes to the grid, so the grid's own
// handlers decide what happens, and then shows what the grid became.
#pragma once

#include <QAbstractTableModel>
#include <QTableView>
#include <functional>

#include "payroll/ui.h"

namespace payroll::qt {

// The button that leaves a dialog: Cancel when it has one, else OK.
int LeavingButton(payroll::ui::UiDialog& dialog);

class GridModel : public QAbstractTableModel {
  public:
    explicit GridModel(payroll::ui::UiGrid& grid, QObject* parent = nullptr)
        : QAbstractTableModel(parent), grid_(grid) {}

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Takes in the grid's current rows and cells.
    void Reload();

  private:
    payroll::ui::UiGrid& grid_;
    int rows_ = 0;
    int cols_ = 0;
};

class GridView : public QTableView {
  public:
    // after_input runs after each action passed to the grid (the dialog may
    // have ended); scale turns grid pixels into screen pixels.
    GridView(payroll::ui::UiDialog& dialog, payroll::ui::UiGrid& grid, double scale,
             std::function<void()> after_input, QWidget* parent = nullptr);

    // Shows the grid as it is now: cells, column widths, current row.
    void Sync();
    payroll::ui::UiGrid& Grid() { return grid_; }

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

  private:
    void ColumnResized(int col, int old_width, int new_width);

    payroll::ui::UiDialog& dialog_;
    payroll::ui::UiGrid& grid_;
    GridModel model_;
    double scale_;
    std::function<void()> after_input_;
    bool syncing_ = false;
};

}  // namespace payroll::qt
