#include "ui-qt/form_view.h"

#include <QHeaderView>
#include <algorithm>

namespace payroll::qt {

FormView::FormView(const payroll::front::UiForm& form, QWidget* parent)
    : QTableWidget(parent), form_(form) {
    horizontalHeader()->hide();
    verticalHeader()->hide();
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::NoSelection);
    setFocusPolicy(Qt::NoFocus);
    setWordWrap(false);
    Sync();
}

void FormView::Sync() {
    clearSpans();
    const int rows = std::max(0, form_.RowCount());
    int cols = 0;
    for (int r = 0; r < rows; ++r) cols = std::max(cols, form_.ColCount(r));
    setRowCount(rows);
    setColumnCount(cols);
    const QColor label_back = palette().color(QPalette::Button);
    for (int r = 0; r < rows; ++r) {
        const bool heading = form_.IsHeading(r);
        for (int c = 0; c < cols; ++c) {
            auto* item = new QTableWidgetItem;
            if (c < form_.ColCount(r)) {
                item->setText(QString::fromUtf8(form_.CellText(r, c).c_str()));
                if (heading || form_.IsLabel(r, c)) item->setBackground(label_back);
                if (heading) {
                    QFont bold = font();
                    bold.setBold(true);
                    item->setFont(bold);
                }
            }
            setItem(r, c, item);
        }
        if (heading && cols > 1) setSpan(r, 0, 1, cols);
    }
    resizeColumnsToContents();
    resizeRowsToContents();
}

}  // namespace payroll::qt
