#include "desk/import_window.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "desk/desk_text.h"
#include "payroll/host.h"

namespace payroll::desk {
namespace {

QString ImportText(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QTableWidgetItem* NumberCell(long value) {
    auto* item = new QTableWidgetItem(QString::number(value));
    item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return item;
}

void SetColumns(QTableWidget* table, std::initializer_list<TextId> titles) {
    QStringList names;
    for (TextId id : titles) names << Tr(id);
    table->clear();
    table->setColumnCount(static_cast<int>(names.size()));
    table->setHorizontalHeaderLabels(names);
}

// The keys of one kind of change, after its count ("E0001, E0002 ...").
QString Keys(const std::vector<std::string>& keys, long count) {
    QStringList shown;
    for (const std::string& k : keys) shown << ImportText(k);
    QString text = shown.join(QStringLiteral(", "));
    if (count > static_cast<long>(keys.size())) text += QStringLiteral(" \u2026");
    return text;
}

}  // namespace

ImportWindow::ImportWindow(const QString& folder, QWidget* parent)
    : QDialog(parent),
      folder_(QFile::encodeName(folder).toStdString()),
      summary_(new QLabel(this)),
      table_(new QTableWidget(this)),
      import_(new QPushButton(Tr(kImport), this)) {
    setObjectName(QStringLiteral("importWindow"));
    setWindowTitle(Tr(kImportTitle).arg(folder));
    auto* layout = new QVBoxLayout(this);
    summary_->setObjectName(QStringLiteral("importSummary"));
    summary_->setWordWrap(true);
    summary_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    table_->setObjectName(QStringLiteral("importTable"));
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setAlternatingRowColors(true);
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(summary_);
    layout->addWidget(table_, 1);
    auto* buttons = new QDialogButtonBox(this);
    import_->setObjectName(QStringLiteral("importButton"));
    buttons->addButton(import_, QDialogButtonBox::AcceptRole);
    QPushButton* close = buttons->addButton(Tr(kClose), QDialogButtonBox::RejectRole);
    close->setObjectName(QStringLiteral("closeButton"));
    layout->addWidget(buttons);
    connect(import_, &QPushButton::clicked, this, [this] { Import(); });
    connect(close, &QPushButton::clicked, this, [this] { done(imported_ ? Accepted : Rejected); });
    resize(860, 420);

    problems_ = folder::CheckFolder(folder_, &company_);
    ShowProblems();
}

void ImportWindow::ShowProblems() {
    SetColumns(table_, {kColFile, kColLine, kColColumn, kColValue, kColExpected});
    table_->setRowCount(static_cast<int>(problems_.size()));
    for (int r = 0; r < table_->rowCount(); ++r) {
        const folder::Problem& p = problems_[static_cast<std::size_t>(r)];
        table_->setItem(r, 0, new QTableWidgetItem(ImportText(p.file)));
        table_->setItem(r, 1, p.line > 0 ? NumberCell(p.line) : new QTableWidgetItem);
        table_->setItem(r, 2, new QTableWidgetItem(ImportText(p.column)));
        table_->setItem(r, 3, new QTableWidgetItem(ImportText(p.value)));
        table_->setItem(r, 4, new QTableWidgetItem(ImportText(p.expected)));
    }
    table_->resizeColumnsToContents();
    table_->setVisible(!problems_.empty());
    const bool ok = problems_.empty();
    summary_->setStyleSheet(ok ? QStringLiteral("color: #1b5e20")
                               : QStringLiteral("color: #b00020; font-weight: bold"));
    summary_->setText(ok ? Tr(kReadyToImport).arg(ImportText(company_))
                         : Tr(kProblemsFound).arg(problems_.size()));
    import_->setEnabled(ok && payroll::IsDatabaseOpen());
    if (ok && !payroll::IsDatabaseOpen()) summary_->setText(Tr(kNoDatabase));
}

bool ImportWindow::Import() {
    if (!CanImport() || !payroll::IsDatabaseOpen()) {
        import_->setEnabled(false);
        return false;
    }
    // A database opened afresh gets its tables first, as `company import` does.
    std::vector<std::string> created;
    std::string error;
    if (!payroll::ApplySchema(&created, &error)) {
        summary_->setStyleSheet(QStringLiteral("color: #b00020; font-weight: bold"));
        summary_->setText(Tr(kImportFailed).arg(ImportText(error)));
        return false;
    }
    const folder::ImportResult result = folder::ImportFolder(folder_);
    if (!result.problems.empty()) {
        // The folder changed after the check: its problems now, nothing written.
        problems_ = result.problems;
        ShowProblems();
        return false;
    }
    if (!result.ok) {
        summary_->setStyleSheet(QStringLiteral("color: #b00020; font-weight: bold"));
        summary_->setText(Tr(kImportFailed).arg(ImportText(result.error)));
        return false;
    }
    imported_ = true;
    company_ = result.company;
    import_->setEnabled(false);
    summary_->setStyleSheet(QStringLiteral("color: #1b5e20"));
    summary_->setText(Tr(kImported).arg(ImportText(company_)));
    ShowChanges(result.changes);
    return true;
}

void ImportWindow::ShowChanges(const std::vector<folder::FileChange>& changes) {
    setWindowTitle(Tr(kImportedTitle).arg(ImportText(company_)));
    SetColumns(table_, {kColFile, kColAdded, kColChanged, kColRemoved, kColKeys});
    table_->setRowCount(static_cast<int>(changes.size()));
    long any = 0;
    for (int r = 0; r < table_->rowCount(); ++r) {
        const folder::FileChange& c = changes[static_cast<std::size_t>(r)];
        table_->setItem(r, 0, new QTableWidgetItem(ImportText(c.file)));
        table_->setItem(r, 1, NumberCell(c.added));
        table_->setItem(r, 2, NumberCell(c.changed));
        table_->setItem(r, 3, NumberCell(c.removed));
        QStringList keys;
        if (c.added) keys << QStringLiteral("+ ") + Keys(c.keys_added, c.added);
        if (c.changed) keys << QStringLiteral("~ ") + Keys(c.keys_changed, c.changed);
        if (c.removed) keys << QStringLiteral("\u2212 ") + Keys(c.keys_removed, c.removed);
        table_->setItem(r, 4,
                        new QTableWidgetItem(keys.isEmpty() ? Tr(kNothingChanged)
                                                            : keys.join(QStringLiteral("; "))));
        any += c.added + c.changed + c.removed;
    }
    if (any == 0)
        summary_->setText(Tr(kImported).arg(ImportText(company_)) + QLatin1Char(' ') +
                          Tr(kNothingChanged));
    table_->resizeColumnsToContents();
    table_->setVisible(true);
}

}  // namespace payroll::desk
