// The engine's progress dialog (template 1004): one text line and two
// gradient bars, created modeless with the engine as parent and updated
// between employees. Every change reaches the UI driver.
#pragma once

#include "platform/ui/dialog_ids.h"
#include "platform/ui/gradient_progress.h"
#include "platform/ui/velo_controls.h"
#include "platform/ui/velo_dialog.h"

class CProgressDlg : public CVeloDialog {
  public:
    explicit CProgressDlg(CWnd* parent = nullptr);

    // Creates the dialog (hidden until ShowWindow); FALSE when it cannot be.
    BOOL Open();
    // The text line under the title.
    void SetText(const char* text) { m_text.SetWindowText(text); }
    CString GetText() const { return m_text.GetWindowText(); }
    // Bar 0 or 1.
    CG_GradientProgressCtrl& Bar(int index) { return index == 0 ? m_bar1 : m_bar2; }
    // Reduces the dialog's height by some pixels, keeping its top.
    void Shrink(int pixels);
    // Closes the dialog (destroys its window); harmless when already closed.
    void Close() { DestroyWindow(); }

  protected:
    void DoDataExchange(CDataExchange* dx) override;

  private:
    CWnd* parent_;
    CVeloStatic m_text;
    CG_GradientProgressCtrl m_bar1;
    CG_GradientProgressCtrl m_bar2;
};
