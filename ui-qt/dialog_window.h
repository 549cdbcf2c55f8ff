// A dialog of the library as a window: its controls where the dialog has
// them (scaled for the screen font), buttons that press the dialog's
// buttons, its grid as a GridView and its form as a FormView. For a modal
// dialog the window ends itself once the dialog has ended.
#pragma once

#include <QDialog>
#include <QElapsedTimer>
#include <map>

#include "payroll/ui.h"

class QLabel;
class QPushButton;

namespace payroll::qt {

class FormView;
class GradientBar;
class GridView;

class DialogWindow : public QDialog {
  public:
    DialogWindow(payroll::ui::UiDialog& dialog, double scale, QWidget* parent = nullptr);

    payroll::ui::UiDialog& Dialog() { return dialog_; }
    // Shows a changed text (control 0: the title) or bar.
    void SetText(int control_id, const CString& text);
    void SetProgress(int control_id, const payroll::ui::ProgressInfo& info);
    // The bar of that control, or null.
    GradientBar* Bar(int control_id) const;
    GridView* Grid() const { return grid_; }
    FormView* Form() const { return form_; }
    // The label beside a bar of the engine's progress window, its elapsed
    // time line and the viewer's reveal button (null where there is none).
    QLabel* BarLabel(int control_id) const;
    QLabel* ElapsedLine() const { return elapsed_; }
    QPushButton* RevealButton() const { return reveal_; }

    // Shows what the dialog became after an action, and ends a modal window
    // whose dialog has ended.
    void AfterInput();

    // Leaves the dialog as Escape or the window's close button would.
    void reject() override;

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void Build();
    void GrowForForm();
    void LabelProgress();
    void AddRevealButton();
    void ShowElapsed();
    QRect Scaled(const CRect& r) const;

    payroll::ui::UiDialog& dialog_;
    double scale_;
    GridView* grid_ = nullptr;
    FormView* form_ = nullptr;
    std::map<int, QLabel*> labels_;
    std::map<int, GradientBar*> bars_;
    std::map<int, QLabel*> bar_labels_;
    std::map<int, QPushButton*> buttons_;
    QLabel* elapsed_ = nullptr;
    QPushButton* reveal_ = nullptr;
    QElapsedTimer clock_;
};

}  // namespace payroll::qt
