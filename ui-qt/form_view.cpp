#include "ui-qt/form_view.h"

#include <QHeaderView>
#include <algorithm>

#include "ui-qt/face_text.h"

namespace payroll::qt {

FormView::FormView(const payroll::front::UiForm& form, QWidget* parent)
    : QTableWidget(parent), form_(form) {
    horizontalHeader()->hide();
    verticalHeader()->hide();
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::NoSelection);
    setFocusPolicy(Qt::NoFocus);
    setWordWrap(false);
    connect(this, &QTableWidget::cellDoubleClicked, this, [this](int row, int col) {
        if (row < form_.RowCount() && col < form_.ColCount(row) &&
            IsResidentNumber(QString::fromUtf8(form_.CellText(row, col).c_str())))
            SetRevealed(!revealed_);
    });
    Sync();
}

void FormView::SetRevealed(bool revealed) {
    if (revealed == revealed_) return;
    revealed_ = revealed;
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
    has_resident_ = false;
    for (int r = 0; r < rows; ++r) {
        const bool heading = form_.IsHeading(r);
        for (int c = 0; c < cols; ++c) {
            auto* item = new QTableWidgetItem;
            if (c < form_.ColCount(r)) {
                const QString text = QString::fromUtf8(form_.CellText(r, c).c_str());
                if (!form_.IsLabel(r, c) && IsResidentNumber(text)) {
                    has_resident_ = true;
                    item->setText(revealed_ ? text : MaskResidentNumber(text));
                    if (!revealed_) item->setToolTip(Text(FaceText::kMaskedResident));
                } else {
                    item->setText(text);
                }
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
