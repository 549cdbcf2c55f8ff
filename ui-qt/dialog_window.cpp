#include "ui-qt/dialog_window.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <cmath>

#include "payroll/imirak1.h"
#include "ui-qt/face_text.h"
#include "ui-qt/form_view.h"
#include "ui-qt/gradient_bar.h"
#include "ui-qt/grid_view.h"
#include "ui-qt/qstr.h"
#include "ui-qt/win_codes.h"

namespace payroll::qt {
namespace {

// How far from the form's right edge a control still keeps to that edge.
constexpr int kRightSlack = 16;
// The engine's progress window and its two bars: the whole road (runs of
// the year, or the build's employees) and the employees of the current run.
constexpr int kProgressTemplate = 1004;
constexpr int kOverallBar = 1001;
constexpr int kEmployeeBar = 1002;
constexpr int kGap = 6;

}  // namespace
DialogWindow::DialogWindow(payroll::ui::UiDialog& dialog, double scale, QWidget* parent)
    : QDialog(parent), dialog_(dialog), scale_(scale) {
    setWindowTitle(QStr(dialog.Title()));
    setObjectName(QStringLiteral("dialog%1").arg(dialog.TemplateId()));
    Build();
}

QRect DialogWindow::Scaled(const CRect& r) const {
    auto px = [this](int v) { return static_cast<int>(std::lround(v * scale_)); };
    return QRect(px(r.left), px(r.top), std::max(1, px(r.right) - px(r.left)),
                 std::max(1, px(r.bottom) - px(r.top)));
}

void DialogWindow::Build() {
    CRect client(0, 0, 0, 0);
    if (CWnd* wnd = dialog_.Window()) wnd->GetClientRect(&client);
    const QRect size = Scaled(client);
    setFixedSize(std::max(size.width(), 120), std::max(size.height(), 40));
    for (const payroll::ui::ControlInfo& c : dialog_.Controls()) {
        QWidget* widget = nullptr;
        if (c.kind == "button") {
            auto* button = new QPushButton(QStr(c.text), this);
            button->setAutoDefault(false);
            buttons_[c.id] = button;
            const int id = c.id;
            connect(button, &QPushButton::clicked, this, [this, id] {
                dialog_.PressButton(id);
                AfterInput();
            });
            widget = button;
        } else if (c.kind == "static") {
            auto* label = new QLabel(QStr(c.text), this);
            labels_[c.id] = label;
            widget = label;
        } else if (c.kind == "progress") {
            auto* bar = new GradientBar(this);
            bars_[c.id] = bar;
            widget = bar;
        } else if (c.kind == "grid") {
            if (payroll::ui::UiGrid* grid = dialog_.FindGrid(c.id)) {
                grid_ = new GridView(
                    dialog_, *grid, scale_, [this] { AfterInput(); }, this);
                widget = grid_;
            }
        } else if (c.kind == "form") {
            if (const payroll::front::UiForm* form = payroll::front::FindForm(dialog_, c.id)) {
                form_ = new FormView(*form, this);
                widget = form_;
            }
        }
        if (!widget) continue;
        widget->setGeometry(Scaled(c.rect));
        widget->setVisible(c.visible);
        widget->setEnabled(c.enabled);
    }
    if (form_) GrowForForm();
    if (form_ && form_->HasResidentNumber()) AddRevealButton();
    if (dialog_.TemplateId() == kProgressTemplate) LabelProgress();
    if (grid_) grid_->setFocus();
}

void DialogWindow::LabelProgress() {
    // Each bar says what it counts, at its left; under them the time the
    // road has taken so far.
    const QString overall = Text(FaceText::kOverallBar);
    const QString employee = Text(FaceText::kEmployeeBar);
    const int label_width = std::max(fontMetrics().horizontalAdvance(overall),
                                     fontMetrics().horizontalAdvance(employee)) +
                            kGap;
    for (auto& [id, bar] : bars_) {
        auto* label = new QLabel(id == kEmployeeBar ? employee : overall, this);
        label->setObjectName(QStringLiteral("barLabel%1").arg(id));
        const QRect at = bar->geometry();
        label->setGeometry(at.x(), at.y(), label_width, at.height());
        label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        label->setVisible(!bar->isHidden());
        bar->setGeometry(at.x() + label_width, at.y(), std::max(1, at.width() - label_width),
                         at.height());
        bar_labels_[id] = label;
    }
    const int line = fontMetrics().height() + kGap;
    elapsed_ = new QLabel(this);
    elapsed_->setObjectName(QStringLiteral("elapsed"));
    const int left = bars_.empty() ? kGap * 2 : bars_.begin()->second->geometry().x() - label_width;
    elapsed_->setGeometry(left, height() - kGap / 2, width() - 2 * left, line);
    setFixedSize(width(), height() + line);
    clock_.start();
    ShowElapsed();
    // The time moves on while the engine works between two changes.
    auto* tick = new QTimer(this);
    connect(tick, &QTimer::timeout, this, [this] { ShowElapsed(); });
    tick->start(1000);
}

void DialogWindow::ShowElapsed() {
    if (!elapsed_) return;
    const qint64 seconds = clock_.elapsed() / 1000;
    elapsed_->setText(Text(FaceText::kElapsed)
                          .arg(QStringLiteral("%1:%2")
                                   .arg(seconds / 60)
                                   .arg(seconds % 60, 2, 10, QLatin1Char('0'))));
}

QLabel* DialogWindow::BarLabel(int control_id) const {
    auto it = bar_labels_.find(control_id);
    return it == bar_labels_.end() ? nullptr : it->second;
}

void DialogWindow::AddRevealButton() {
    // Beside OK, so that revealing the number is a step of its own.
    reveal_ = new QPushButton(Text(FaceText::kShowResident), this);
    reveal_->setObjectName(QStringLiteral("revealResident"));
    reveal_->setCheckable(true);
    reveal_->setAutoDefault(false);
    const int wide = std::max(fontMetrics().horizontalAdvance(Text(FaceText::kShowResident)),
                              fontMetrics().horizontalAdvance(Text(FaceText::kHideResident))) +
                     4 * kGap;
    auto ok = buttons_.find(IDOK);
    const QRect beside =
        ok != buttons_.end() ? ok->second->geometry() : QRect(width() - kGap, height() - 30, 0, 24);
    reveal_->setGeometry(beside.x() - kGap - wide, beside.y(), wide, beside.height());
    connect(reveal_, &QPushButton::toggled, this, [this](bool on) {
        form_->SetRevealed(on);
        reveal_->setText(Text(on ? FaceText::kHideResident : FaceText::kShowResident));
    });
    connect(form_, &QTableWidget::cellDoubleClicked, this, [this] {
        const QSignalBlocker quiet(reveal_);
        reveal_->setChecked(form_->Revealed());
        reveal_->setText(
            Text(form_->Revealed() ? FaceText::kHideResident : FaceText::kShowResident));
    });
}

void DialogWindow::GrowForForm() {
    // Longer texts than the template was drawn for (another language, a
    // bigger font) widen the form rather than cut its last pairs; what
    // keeps to the right edge as the form does moves along.
    const int frame = 2 * form_->frameWidth();
    const int extra = form_->horizontalHeader()->length() + frame - form_->width();
    if (extra <= 0) return;
    const int right_edge = form_->geometry().right();
    for (QWidget* child : findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        if (child != form_ && child->geometry().right() >= right_edge - kRightSlack)
            child->move(child->x() + extra, child->y());
    form_->resize(form_->width() + extra, form_->height());
    setFixedSize(width() + extra, height());
}

void DialogWindow::SetText(int control_id, const CString& text) {
    ShowElapsed();
    if (control_id == 0) {
        setWindowTitle(QStr(text));
        return;
    }
    auto it = labels_.find(control_id);
    if (it != labels_.end()) it->second->setText(QStr(text));
}

void DialogWindow::SetProgress(int control_id, const payroll::ui::ProgressInfo& info) {
    if (GradientBar* bar = Bar(control_id)) bar->SetInfo(info);
    ShowElapsed();
}

GradientBar* DialogWindow::Bar(int control_id) const {
    auto it = bars_.find(control_id);
    return it == bars_.end() ? nullptr : it->second;
}

void DialogWindow::AfterInput() {
    if (dialog_.IsModal() && dialog_.IsEnded()) {
        done(dialog_.Result());
        return;
    }
    if (grid_) grid_->Sync();
    if (form_) form_->Sync();
}

void DialogWindow::keyPressEvent(QKeyEvent* event) {
    const UINT key = VirtualKeyOf(event->key());
    if (key == VK_RETURN) {
        // Enter on a button presses that button, as on any desktop.
        if (auto* button = qobject_cast<QPushButton*>(focusWidget())) {
            button->click();
            event->accept();
            return;
        }
    }
    if (key == VK_RETURN || key == VK_ESCAPE) {
        // The dialog's own pre-translation decides (Enter: OK, Escape: Cancel).
        dialog_.PressKey(key);
        if (key == VK_ESCAPE && !dialog_.IsEnded()) dialog_.PressButton(LeavingButton(dialog_));
        AfterInput();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void DialogWindow::reject() {
    // The window's close button: leave as Escape would. A dialog that
    // refuses to end is cancelled by whoever runs it. The engine's own
    // windows stay until the engine closes them.
    if (!dialog_.IsModal()) return;
    if (!dialog_.IsEnded()) dialog_.PressButton(LeavingButton(dialog_));
    if (!dialog_.IsEnded()) {
        QDialog::reject();
        return;
    }
    AfterInput();
    if (isVisible()) QDialog::reject();
}

}  // namespace payroll::qt
