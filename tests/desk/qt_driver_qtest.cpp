// The Qt driver on hand-made dialogs and grids: what a grid view shows and
// passes on, how a modal window ends, the engine's modeless window, the
// gradient bar's colours and the waiting notice.
#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QTest>

#include "ui-qt/dialog_font.h"
#include "ui-qt/dialog_window.h"
#include "ui-qt/gradient_bar.h"
#include "ui-qt/grid_view.h"
#include "ui-qt/qt_driver.h"

namespace {

using payroll::ui::CellLook;
using payroll::ui::ControlInfo;

// Three columns (the middle one hidden), three rows; logs what it is told.
class FakeGrid : public payroll::ui::UiGrid {
  public:
    QStringList log;
    long current = 1;
    int widths[3] = {60, 0, 80};
    int ControlId() const override { return 7; }
    long RowCount() const override { return 3; }
    int ColCount() const override { return 3; }
    CString CellText(int col, long row) const override {
        if (col == -1) return CString(("#" + std::to_string(row + 1)).c_str());
        return CString(("r" + std::to_string(row) + "c" + std::to_string(col)).c_str());
    }
    CellLook ShownCell(int col, long row) const override {
        CellLook look;
        look.text = col == 2 ? CString("1,000") : CellText(col, row);
        look.align = col == 2 ? CellLook::Align::kRight : CellLook::Align::kLeft;
        return look;
    }
    CString ColumnTitle(int col) const override {
        return CString(("T" + std::to_string(col)).c_str());
    }
    int ColumnWidth(int col) const override { return widths[col]; }
    long CurrentRow() const override { return current; }
    int CurrentCol() const override { return 0; }
    bool SelectCell(int col, long row) override {
        log << QStringLiteral("select %1,%2").arg(col).arg(row);
        current = row;
        return true;
    }
    void KeyDown(UINT key) override {
        log << QStringLiteral("key %1").arg(key);
        if (key == VK_DOWN && current < 2) ++current;
    }
    void Char(UINT ch) override { log << QStringLiteral("char %1").arg(ch); }
    void DoubleClick(int col, long row) override {
        log << QStringLiteral("dclick %1,%2").arg(col).arg(row);
    }
    bool ResizeColumn(int col, int width) override {
        log << QStringLiteral("resize %1").arg(col);
        if (col == 2) return false;  // this column keeps its width
        widths[col] = width;
        return true;
    }
};

class FakeDialog : public payroll::ui::UiDialog {
  public:
    FakeGrid grid;
    bool modal = true;
    bool has_cancel = true;
    bool ended = false;
    int result = 0;
    QStringList keys;
    int TemplateId() const override { return 4321; }
    CString Title() const override { return CString("시험 창"); }
    bool IsModal() const override { return modal; }
    std::vector<ControlInfo> Controls() const override {
        std::vector<ControlInfo> out;
        auto add = [&out](int id, const char* kind, const char* text, CRect r) {
            ControlInfo c;
            c.id = id;
            c.kind = kind;
            c.text = text;
            c.rect = r;
            c.visible = true;
            out.push_back(c);
        };
        add(1000, "static", "처리 중", CRect(10, 10, 300, 30));
        add(1001, "progress", "", CRect(10, 40, 300, 60));
        add(7, "grid", "", CRect(10, 70, 300, 200));
        add(IDOK, "button", "확인", CRect(150, 210, 220, 235));
        if (has_cancel) add(IDCANCEL, "button", "취소", CRect(230, 210, 300, 235));
        return out;
    }
    CString ControlText(int) const override { return CString(); }
    payroll::ui::UiGrid* FindGrid(int) override { return &grid; }
    void PressKey(UINT key) override {
        keys << QString::number(key);
        if (key == VK_ESCAPE && has_cancel) PressButton(IDCANCEL);
    }
    void TypeChar(UINT) override {}
    void PressButton(int id) override {
        ended = true;
        result = id;
    }
    bool IsEnded() const override { return ended; }
    int Result() const override { return result; }
    CWnd* Window() override { return nullptr; }
};

}  // namespace

class QtDriverTest : public QObject {
    Q_OBJECT

  private slots:
    void gridViewShowsTheGridAndPassesActionsOn() {
        FakeDialog dialog;
        payroll::qt::DialogWindow window(dialog, 1.5);
        window.show();
        payroll::qt::GridView* view = window.Grid();
        QVERIFY(view);
        QVERIFY(view->isColumnHidden(1));
        QCOMPARE(view->columnWidth(0), 90);  // 60 grid pixels at 1.5
        QCOMPARE(view->columnWidth(2), 120);
        QCOMPARE(view->model()->headerData(2, Qt::Horizontal).toString(), QStringLiteral("T2"));
        QCOMPARE(view->model()->headerData(0, Qt::Vertical).toString(), QStringLiteral("#1"));
        QCOMPARE(view->model()->index(0, 0).data().toString(), QStringLiteral("r0c0"));
        QCOMPARE(view->model()->index(0, 2).data().toString(), QStringLiteral("1,000"));
        QVERIFY(Qt::Alignment(view->model()->index(0, 2).data(Qt::TextAlignmentRole).toInt()) &
                Qt::AlignRight);
        QCOMPARE(view->currentIndex().row(), 1);

        QTest::keyClick(view, Qt::Key_Down);
        QCOMPARE(view->currentIndex().row(), 2);  // the grid moved, the view follows
        QTest::keyClick(view, Qt::Key_A);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                          view->visualRect(view->model()->index(0, 0)).center());
        QCOMPARE(view->currentIndex().row(), 0);
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {},
                           view->visualRect(view->model()->index(0, 2)).center());
        view->horizontalHeader()->resizeSection(0, 150);
        view->horizontalHeader()->resizeSection(2, 200);
        QCOMPARE(dialog.grid.widths[0], 100);
        QCOMPARE(view->columnWidth(2), 120);  // refused: back to its width
        QVERIFY(!dialog.ended);
        QCOMPARE(dialog.grid.log, QStringList({"key 40", "char 97", "select 0,0", "dclick 2,0",
                                               "resize 0", "resize 2"}));
        // Enter on the list confirms when the grid did not end the dialog.
        QTest::keyClick(view, Qt::Key_Return);
        QVERIFY(dialog.ended);
        QCOMPARE(dialog.result, IDOK);
        QCOMPARE(window.result(), IDOK);
    }

    void modalWindowsEndAsTheirDialogs() {
        payroll::qt::QtDriver driver;
        for (bool has_cancel : {true, false}) {
            FakeDialog dialog;
            dialog.has_cancel = has_cancel;
            QString title;
            driver.SetModalHook([&title](payroll::qt::DialogWindow& window) {
                title = window.windowTitle();
                QTest::keyClick(&window, Qt::Key_Escape);
            });
            driver.RunModal(dialog);
            QVERIFY(dialog.ended);
            QCOMPARE(dialog.result, has_cancel ? IDCANCEL : IDOK);
            QCOMPARE(title, QStringLiteral("시험 창"));
        }
    }

    void modelessWindowFollowsTheEngine() {
        payroll::qt::QtDriver driver;
        FakeDialog dialog;
        dialog.modal = false;
        driver.DialogOpened(dialog);
        QCOMPARE(driver.OpenWindows(), 1);
        int changes = 0;
        payroll::qt::DialogWindow* seen = nullptr;
        driver.SetChangeHook([&](payroll::qt::DialogWindow& w) {
            ++changes;
            seen = &w;
        });
        payroll::ui::ProgressInfo info;
        info.upper = 8;
        info.pos = 2;
        info.show_percent = true;
        driver.ProgressChanged(&dialog, 1001, info);
        driver.TextChanged(dialog, 1000, CString("3명 처리"));
        driver.TextChanged(dialog, 0, CString("새 제목"));
        QCOMPARE(changes, 3);
        QVERIFY(seen && seen->isVisible());
        QCOMPARE(seen->Bar(1001)->Info().Percent(), 25);
        QCOMPARE(driver.LastProgress(4321, 1001).pos, 2);
        QCOMPARE(seen->windowTitle(), QStringLiteral("새 제목"));
        bool text_shown = false;
        for (QLabel* label : seen->findChildren<QLabel*>())
            text_shown = text_shown || label->text() == QStringLiteral("3명 처리");
        QVERIFY(text_shown);
        seen->reject();  // the engine's window stays until the engine closes it
        QVERIFY(seen->isVisible());
        QVERIFY(!dialog.ended);
        driver.DialogClosed(dialog);
        QCOMPARE(driver.OpenWindows(), 0);
    }

    void gradientBarDrawsItsColoursUpToThePercentage() {
        payroll::qt::GradientBar bar;
        bar.resize(200, 20);
        payroll::ui::ProgressInfo info;
        info.pos = 50;
        info.start_color = 0x0000FF;  // red, as COLORREF is 0x00BBGGRR
        info.end_color = 0xFF0000;    // blue
        bar.SetInfo(info);
        const QImage image = bar.grab().toImage();
        const QColor left = image.pixelColor(3, 10);
        const QColor middle = image.pixelColor(90, 10);
        const QColor empty = image.pixelColor(180, 10);
        QVERIFY2(left.red() > 200 && left.blue() < 60, qPrintable(left.name()));
        QVERIFY2(middle.blue() > 60 && middle.red() > 60, qPrintable(middle.name()));
        QCOMPARE(empty, bar.palette().color(QPalette::Base));
    }

    void waitingNoticeShowsItsLinesInItsColours() {
        payroll::qt::QtDriver driver;
        driver.SplashShown(3, CString("잠시 기다려 주십시오"), CString("급여 자료 저장"));
        QCOMPARE(driver.OpenNotices(), 1);
        QWidget* notice = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == QStringLiteral("payrollNotice") && w->isVisible()) notice = w;
        QVERIFY(notice);
        QCOMPARE(notice->palette().color(QPalette::WindowText), QColor(0, 0, 128));
        QCOMPARE(notice->palette().color(QPalette::Window), QColor(Qt::white));
        QStringList lines;
        for (QLabel* label : notice->findChildren<QLabel*>()) lines << label->text();
        QCOMPARE(lines, QStringList({"잠시 기다려 주십시오", "급여 자료 저장"}));
        driver.SplashHidden(3);
        QCOMPARE(driver.OpenNotices(), 0);
    }
};

QTEST_MAIN(QtDriverTest)
#include "qt_driver_qtest.moc"
