// CTextProgressCtrl without looking at pixels: positions, steps, repeat, ranges, the cached bar
// width that decides when to redraw, and the text messages. Redraws and invalidations are
// counted by the window layer.
#include <gtest/gtest.h>

#include <gorv/gorv_base.h>

#include <climits>
#include <tuple>

namespace {

class Progress : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(ctrl.Create(WS_CHILD, CRect(0, 0, 200, 24), nullptr, 1)); }
    int Paints() const { return ctrl.GetPaintCount(); }
    int Invalidations() const { return ctrl.GetInvalidateCount(); }
    CTextProgressCtrl ctrl;
};

}  // namespace

TEST(ProgressDefaults, FieldsAfterConstructionAndBeforeCreation) {
    CTextProgressCtrl c;
    int lo = -1, hi = -1;
    c.GetRange(lo, hi);
    EXPECT_EQ(std::make_tuple(lo, hi, c.GetPos(), c.SetStep(5)), std::make_tuple(0, 100, 0, 1));  // old step 1
    EXPECT_EQ(std::make_tuple(c.GetShowText(), c.GetRepeat(), c.GetFontSize()), std::make_tuple(1, 0, 13));
    const COLORREF highlight = RGB(0, 120, 215), window = RGB(255, 255, 255);
    EXPECT_EQ(std::make_tuple(c.GetForeColour(), c.GetBkColour(), c.GetTextForeColour(), c.GetTextBkColour()),
              std::make_tuple(highlight, window, highlight, window));

    // No window yet: SetPos reports -1 and keeps the position; the offsets go through SetPos.
    EXPECT_EQ(std::make_tuple(c.SetPos(40), c.OffsetPos(3), c.StepIt(), c.GetPos()), std::make_tuple(-1, -1, -1, 0));
    // SetPercent and SetShowText store their value; messages need a window.
    EXPECT_EQ(c.SetPercent(30), 0);
    c.SetShowText(0);
    EXPECT_EQ(std::make_tuple(c.GetPos(), c.GetShowText()), std::make_tuple(30, 0));
    EXPECT_EQ(c.SendMessage(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"x")), 0);
    EXPECT_EQ(c.GetWindowTextLength(), 0);
}

TEST_F(Progress, RedrawsOnlyWhenTheBarWidthChanges) {
    const int p0 = Paints();
    EXPECT_EQ(ctrl.SetPos(50), 0);
    EXPECT_EQ(ctrl.GetBarWidth(), 100);
    EXPECT_EQ(Paints(), p0 + 1);
    EXPECT_EQ(ctrl.SetPos(50), 50);
    EXPECT_EQ(Paints(), p0 + 1);

    // 0..1000 over 200 pixels: one pixel is five steps, so 1..4 keep the width of 0.
    ctrl.SetRange(0, 1000);
    EXPECT_EQ(ctrl.SetPos(0), 50);
    const int p1 = Paints();
    for (int pos : {1, 2, 3, 4}) ctrl.SetPos(pos);
    EXPECT_EQ(Paints(), p1);
    ctrl.SetPos(5);
    EXPECT_EQ(ctrl.GetBarWidth(), 1);
    EXPECT_EQ(Paints(), p1 + 1);

    // A resize forgets the cached width, so the same position redraws.
    ctrl.MoveWindow(0, 0, 400, 24, FALSE);
    const int p2 = Paints();
    ctrl.SetPos(5);
    EXPECT_EQ(Paints(), p2 + 1);
    EXPECT_EQ(ctrl.GetBarWidth(), 2);
    ctrl.SetPos(5);
    EXPECT_EQ(Paints(), p2 + 1);

    // SetPercent stores the position; 100 equals the old pixel width, yet the bar did move.
    ctrl.MoveWindow(0, 0, 200, 24, FALSE);
    ctrl.SetRange(0, 100);
    ctrl.SetPos(50);
    const int p3 = Paints();
    EXPECT_EQ(ctrl.SetPercent(100), 50);
    EXPECT_EQ(Paints(), p3 + 1);
    EXPECT_EQ(ctrl.SetPercent(100), 100);
    EXPECT_EQ(Paints(), p3 + 1);
}

TEST_F(Progress, SettersRedrawOrInvalidateOnlyWhenTheyMustAndShowTextOnChange) {
    ctrl.SetPos(10);
    const int p = Paints(), inv = Invalidations();
    ctrl.SetRange(0, 50);
    ctrl.SetForeColour(RGB(1, 2, 3));
    ctrl.SetBkColour(RGB(4, 5, 6));
    ctrl.SetTextForeColour(RGB(7, 8, 9));
    ctrl.SetTextBkColour(RGB(10, 11, 12));
    ctrl.SetFontData(L"Serif", FW_NORMAL, 1, 1);
    ctrl.SetFontSize(20);
    ctrl.ResetText();
    ctrl.SetRepeat(1);
    ctrl.SetShowText(1);  // unchanged
    EXPECT_EQ(Paints(), p);
    EXPECT_EQ(Invalidations(), inv);
    ctrl.SetShowText(0);
    EXPECT_EQ(Invalidations(), inv + 1);
}

TEST_F(Progress, StepItRestartsFromZeroWithRepeat) {
    ctrl.SetStep(10);
    ctrl.SetPos(101);
    ctrl.SetRepeat(1);
    EXPECT_EQ(ctrl.StepIt(), 0);  // position went to 0 first
    EXPECT_EQ(ctrl.GetPos(), 10);
    // From 0, not from the lower bound.
    ctrl.SetRange(20, 100);
    ctrl.SetPos(101);
    ctrl.StepIt();
    EXPECT_EQ(ctrl.GetPos(), 10);
    // Only above the upper bound, and only with repeat on.
    ctrl.SetPos(100);
    ctrl.StepIt();
    EXPECT_EQ(ctrl.GetPos(), 110);
    ctrl.SetRepeat(0);
    ctrl.StepIt();
    EXPECT_EQ(ctrl.GetPos(), 120);

    EXPECT_EQ(ctrl.OffsetPos(-25), 120);
    EXPECT_EQ(ctrl.GetPos(), 95);
    // Sums saturate instead of overflowing.
    ctrl.SetPos(INT_MAX - 1);
    ctrl.OffsetPos(5);
    EXPECT_EQ(ctrl.GetPos(), INT_MAX);
    ctrl.SetPos(INT_MIN + 1);
    ctrl.OffsetPos(-5);
    EXPECT_EQ(ctrl.GetPos(), INT_MIN);
}

TEST_F(Progress, TextMessages) {
    const int inv = Invalidations();
    EXPECT_EQ(ctrl.SendMessage(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"Loading")), TRUE);
    EXPECT_EQ(Invalidations(), inv + 1);
    ctrl.SetWindowText(L"Loading");  // same caption: no invalidation
    EXPECT_EQ(Invalidations(), inv + 1);

    wchar_t buf[8] = {L'#', L'#', L'#', L'#', L'#', L'#', L'#', L'#'};
    EXPECT_EQ(ctrl.SendMessage(WM_GETTEXT, 4, reinterpret_cast<LPARAM>(buf)), 3);
    EXPECT_STREQ(buf, L"Loa");
    EXPECT_EQ(buf[4], L'#');
    EXPECT_EQ(ctrl.SendMessage(WM_GETTEXT, 0, reinterpret_cast<LPARAM>(buf)), 0);
    EXPECT_EQ(buf[0], L'L');
    EXPECT_EQ(ctrl.SendMessage(WM_GETTEXT, 8, 0), 0);
    CString text;
    ctrl.GetWindowText(text);
    EXPECT_EQ(text, CString(L"Loading"));
    EXPECT_EQ(ctrl.GetDisplayText(), CString(L"Loading"));

    // A null text counts as empty; then the percentage is shown again.
    ctrl.SendMessage(WM_SETTEXT, 0, 0);
    EXPECT_EQ(Invalidations(), inv + 2);
    ctrl.GetWindowText(text);
    EXPECT_TRUE(text.IsEmpty());
    EXPECT_EQ(ctrl.GetDisplayText(), CString(L"0%"));

    // ResetText empties the caption quietly.
    ctrl.SetWindowText(L"Saving");
    const int inv2 = Invalidations();
    ctrl.ResetText();
    EXPECT_EQ(Invalidations(), inv2);
    EXPECT_EQ(ctrl.SendMessage(WM_GETTEXT, 8, reinterpret_cast<LPARAM>(buf)), 0);
    EXPECT_STREQ(buf, L"");
    EXPECT_EQ(ctrl.SendMessage(WM_ERASEBKGND), TRUE);
}

TEST_F(Progress, PercentageTextTruncates) {
    // (33% and 28% for 29 are checked through `gorv ui progress`.)
    const struct {
        int lower, upper, pos;
        const wchar_t* text;
        int bar;
    } cases[] = {
        {0, 100, 0, L"0%", 0},      {0, 100, 100, L"100%", 200}, {0, 100, 150, L"150%", 300},
        {0, 100, -10, L"-10%", -20}, {-50, 50, 0, L"50%", 100},   {0, 3, 1, L"33%", 66},
        {5, 5, 5, L"", 0},  // empty range: nothing is drawn
        {9, 3, 5, L"", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pos);
        ctrl.SetRange(c.lower, c.upper);
        ctrl.SetPos(c.pos);
        EXPECT_EQ(ctrl.GetDisplayText(), CString(c.text));
        EXPECT_EQ(ctrl.GetBarWidth(), c.bar);
    }
    // Extreme positions saturate the pixel width instead of overflowing.
    ctrl.SetRange(0, 1);
    ctrl.SetPos(INT_MAX);
    EXPECT_EQ(ctrl.GetBarWidth(), INT_MAX);
}

TEST_F(Progress, WindowLayerInvalidationAndHostNotification) {
    struct Log {
        int invalidated = 0, painted = 0;
        RECT last{};
    } log;
    ctrl.SetNotify(
        [](void* user, CWnd*, int event, const RECT* rc) {
            auto* l = static_cast<Log*>(user);
            (event == GORV_WND_INVALIDATED ? l->invalidated : l->painted)++;
            l->last = *rc;
        },
        &log);
    ctrl.SetPos(40);
    EXPECT_EQ(std::make_pair(log.invalidated, log.painted), std::make_pair(1, 1));
    EXPECT_TRUE(CRect(log.last) == CRect(0, 0, 200, 24));
    RECT update;
    EXPECT_FALSE(ctrl.GetUpdateRect(&update));

    CRect part(10, 5, 30, 15);
    ctrl.InvalidateRect(part);
    EXPECT_EQ(log.invalidated, 2);
    ASSERT_TRUE(ctrl.GetUpdateRect(&update));
    EXPECT_TRUE(part == update);
    ctrl.UpdateWindow();
    EXPECT_EQ(log.painted, 2);
    EXPECT_TRUE(part == log.last);

    ASSERT_TRUE(ctrl.DestroyWindow());
    EXPECT_FALSE(IsWindow(ctrl.m_hWnd));
    EXPECT_EQ(ctrl.SetPos(10), -1);
}

TEST(ProgressWindow, DegenerateSizesAndFontsNeverFail) {
    // Too large for the drawing surfaces: refused, and the control stays without a window.
    CTextProgressCtrl huge;
    EXPECT_FALSE(huge.Create(WS_CHILD, CRect(0, 0, GORV_MAX_WINDOW_SIDE + 1, 10), nullptr, 1));
    EXPECT_FALSE(huge.Create(WS_CHILD, CRect(10, 0, 0, 10), nullptr, 1));
    EXPECT_EQ(huge.SetPos(1), -1);

    // An empty client area paints nothing and reports no bar.
    CTextProgressCtrl empty;
    ASSERT_TRUE(empty.Create(WS_CHILD, CRect(0, 0, 0, 0), nullptr, 1));
    EXPECT_EQ(empty.SetPos(50), 0);
    EXPECT_EQ(empty.GetBarWidth(), 0);
    EXPECT_EQ(empty.GetTarget().GetWidth(), 0);

    // Absurd font sizes and weights still paint (the size is clamped for drawing).
    CTextProgressCtrl c;
    ASSERT_TRUE(c.Create(WS_CHILD, CRect(0, 0, 60, 20), nullptr, 1));
    for (int height : {INT_MAX, INT_MIN, 0, -1}) {
        c.SetFontSize(height);
        c.SetFontData(L"No Such Face", INT_MIN, 1, 1);
        c.Invalidate();
        c.UpdateWindow();
    }
    EXPECT_EQ(c.GetPaintCount(), 4);
}
