// What CTextProgressCtrl paints: the bar's end, the colours on either side of it (text is
// antialiased, so a text pixel may be any blend of the text colour and the fill beneath), the
// percentage text, empty ranges, partial repaints, host buffers and PNG output. Tests that need
// text skip when no font is installed, and fail instead when $CI is set.
#include <gtest/gtest.h>

#include <gorv/gorv_base.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

#define REQUIRE_FONTS()                                                                             \
    if (!GorvFontsInstalled()) {                                                                    \
        if (std::getenv("CI")) FAIL() << "no font installed: CI must have fonts to draw text";      \
        GTEST_SKIP() << "no font installed (fontconfig finds none): text drawing not tested";        \
    }

const COLORREF kBar = RGB(0, 0, 255);
const COLORREF kBack = RGB(255, 255, 255);
const COLORREF kTextBar = RGB(255, 255, 0);
const COLORREF kTextBack = RGB(255, 0, 0);

// True when c lies on the segment from a to b (within rounding), and gives how far along.
bool OnSegment(COLORREF c, COLORREF a, COLORREF b, double& t) {
    const int ca[3] = {GetRValue(a), GetGValue(a), GetBValue(a)}, cb[3] = {GetRValue(b), GetGValue(b), GetBValue(b)},
              cc[3] = {GetRValue(c), GetGValue(c), GetBValue(c)};
    double num = 0, den = 0;
    for (int i = 0; i < 3; ++i) num += double(cc[i] - ca[i]) * (cb[i] - ca[i]), den += double(cb[i] - ca[i]) * (cb[i] - ca[i]);
    t = den > 0 ? num / den : 0;
    bool near = t >= -0.01 && t <= 1.01;
    for (int i = 0; i < 3; ++i) near = near && std::abs(ca[i] + t * (cb[i] - ca[i]) - cc[i]) <= 2.0;
    return near;
}

void Configure(CTextProgressCtrl& c, int w, int h, int fontPx) {
    ASSERT_TRUE(c.Create(WS_CHILD, CRect(0, 0, w, h), nullptr, 1));
    c.SetForeColour(kBar);
    c.SetBkColour(kBack);
    c.SetTextBkColour(kTextBar);
    c.SetTextForeColour(kTextBack);
    c.SetFontSize(fontPx);
}

std::vector<BYTE> Pixels(const CGorvRgbaImage& img) {
    std::vector<BYTE> v;
    for (int y = 0; y < img.GetHeight(); ++y) {
        const BYTE* row = img.GetPixels() + static_cast<std::size_t>(y) * img.GetStride();
        v.insert(v.end(), row, row + 4 * img.GetWidth());
    }
    return v;
}

// The picture of a 200 x 30 control at pos with the caption (empty: the percentage).
std::vector<BYTE> Render(int pos, const wchar_t* caption) {
    CTextProgressCtrl c;
    Configure(c, 200, 30, 16);
    c.SetWindowText(caption);
    c.SetPos(pos);
    return Pixels(c.GetTarget());
}

}  // namespace

TEST(ProgressPaint, BarEndsAtTruncatedWidthAndTextSwitchesColourThere) {
    REQUIRE_FONTS();
    struct Case {
        int w, pos;
        const wchar_t* caption;
        int bar;
    } cases[] = {
        {200, 33, L"", 66},  {200, 29, L"", 57},   {200, 0, L"", 0},
        {200, 100, L"", 200}, {200, 50, L"HHHHHHHHHHHH", 100}, {333, 50, L"WWWWWWWW", 166},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.w << " px at " << c.pos);
        CTextProgressCtrl ctrl;
        Configure(ctrl, c.w, 30, 22);
        ctrl.SetWindowText(c.caption);
        ctrl.SetPos(c.pos);
        const CGorvRgbaImage& img = ctrl.GetTarget();
        ASSERT_EQ(img.GetWidth(), c.w);
        ASSERT_EQ(ctrl.GetBarWidth(), c.bar);
        int textLeft = 0, textRight = 0;  // strongly coloured text pixels next to the bar's end
        int bad = 0;
        for (int y = 0; y < 30; ++y) {
            for (int x = 0; x < c.w; ++x) {
                const COLORREF px = img.GetPixel(x, y);
                ASSERT_EQ(img.GetAlpha(x, y), 255);
                double t = 0;
                const bool inBar = x < c.bar;
                if (!OnSegment(px, inBar ? kBar : kBack, inBar ? kTextBar : kTextBack, t)) {
                    if (++bad < 5) ADD_FAILURE() << "pixel " << x << "," << y << " = " << std::hex << px;
                    continue;
                }
                if (t > 0.6 && x >= c.bar - 8 && x < c.bar) ++textLeft;
                if (t > 0.6 && x >= c.bar && x < c.bar + 8) ++textRight;
            }
        }
        EXPECT_EQ(bad, 0);
        // Row 0 (above any text) is pure fill up to the exact column.
        if (c.bar > 0) { EXPECT_EQ(img.GetPixel(c.bar - 1, 0), kBar); }
        if (c.bar < c.w) { EXPECT_EQ(img.GetPixel(c.bar, 0), kBack); }
        if (c.caption[0]) {
            EXPECT_GT(textLeft, 0) << "no text over the bar next to its end";
            EXPECT_GT(textRight, 0) << "no text over the background next to the bar's end";
        }
    }
}

TEST(ProgressPaint, PercentageIsTheTruncatedFraction) {
    REQUIRE_FONTS();
    EXPECT_EQ(Render(33, L""), Render(33, L"33%"));
    EXPECT_NE(Render(33, L""), Render(33, L"34%"));
    EXPECT_EQ(Render(29, L""), Render(29, L"28%"));
    EXPECT_NE(Render(29, L""), Render(29, L"29%"));
}

TEST(ProgressPaint, HiddenTextAndEmptyRanges) {
    // Without text every pixel is a pure fill (no font needed).
    CTextProgressCtrl ctrl;
    Configure(ctrl, 120, 20, 13);
    ctrl.SetShowText(0);
    ctrl.SetPos(25);
    const CGorvRgbaImage& img = ctrl.GetTarget();
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 120; ++x) ASSERT_EQ(img.GetPixel(x, y), x < 30 ? kBar : kBack) << x << "," << y;

    // A range with lower >= upper leaves the target as it was.
    for (int upper : {25, 10}) {
        SCOPED_TRACE(upper);
        ctrl.GetTarget().Fill(RGB(12, 34, 56), 200);
        const std::vector<BYTE> before = Pixels(ctrl.GetTarget());
        ctrl.SetRange(25, upper);
        ctrl.SetPos(30);
        ctrl.Invalidate();
        ctrl.UpdateWindow();
        ctrl.SendMessage(WM_PAINT);
        EXPECT_EQ(Pixels(ctrl.GetTarget()), before);
    }
}

TEST(ProgressPaint, PartialRepaintMatchesFullRepaint) {
    REQUIRE_FONTS();
    // b is painted green, then only a strip across the bar's end is repainted blue: the clip
    // regions must follow the strip's origin. a is painted blue whole.
    CTextProgressCtrl a, b;
    const CRect strip(70, 3, 130, 27);
    for (CTextProgressCtrl* c : {&a, &b}) {
        Configure(*c, 200, 30, 18);
        c->SetWindowText(L"Partial");
        c->SetForeColour(RGB(0, 128, 0));
        c->SetPos(45);
        c->GetTarget().Fill(RGB(0, 0, 0), 255);
        c->Invalidate();
        c->UpdateWindow();
        c->SetForeColour(kBar);
        c == &a ? c->Invalidate() : c->InvalidateRect(strip);
        c->UpdateWindow();
    }
    for (int y = strip.top; y < strip.bottom; ++y)
        for (int x = strip.left; x < strip.right; ++x)
            ASSERT_EQ(b.GetTarget().GetPixel(x, y), a.GetTarget().GetPixel(x, y)) << x << "," << y;
    // Outside the strip b keeps the earlier green picture.
    EXPECT_EQ(b.GetTarget().GetPixel(5, 1), RGB(0, 128, 0));
}

TEST(ProgressPaint, HostBufferReceivesThePaint) {
    const int w = 50, h = 10, stride = w * 4 + 16;
    std::vector<BYTE> buf(static_cast<std::size_t>(stride) * h + 64, 0xAB);
    CTextProgressCtrl ctrl;
    ASSERT_TRUE(ctrl.AttachTarget(buf.data(), w, h, stride));
    EXPECT_FALSE(ctrl.AttachTarget(buf.data(), w, h, w * 4 - 1));  // short stride refused
    Configure(ctrl, w, h, 8);
    ctrl.SetShowText(0);
    ctrl.SetPos(40);
    for (int y = 0; y < h; ++y) {
        const BYTE* row = buf.data() + static_cast<std::size_t>(y) * stride;
        for (int x = 0; x < w; ++x) {
            const COLORREF expect = x < 20 ? kBar : kBack;
            ASSERT_EQ(RGB(row[4 * x], row[4 * x + 1], row[4 * x + 2]), expect) << x << "," << y;
            ASSERT_EQ(row[4 * x + 3], 255);
        }
        // The padding at the end of each row is the host's.
        for (int i = 4 * w; i < stride; ++i) ASSERT_EQ(row[i], 0xAB);
    }
    for (std::size_t i = static_cast<std::size_t>(stride) * h; i < buf.size(); ++i) ASSERT_EQ(buf[i], 0xAB);

    // A buffer smaller than the window gets only the overlap.
    std::vector<BYTE> small(4 * 10 * 5, 0);
    ctrl.AttachTarget(small.data(), 10, 5, 40);
    ctrl.Invalidate();
    ctrl.UpdateWindow();
    EXPECT_EQ(RGB(small[0], small[1], small[2]), kBar);
    ctrl.DetachTarget();
    EXPECT_EQ(ctrl.GetTarget().GetWidth(), w);
}

TEST(ProgressPaint, KoreanAndChineseCaptionsHaveGlyphs) {
    REQUIRE_FONTS();
    CDC dc;
    ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
    CFont font;
    font.CreateFont(13, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"");
    CFont* old = dc.SelectObject(&font);
    ASSERT_NE(old, nullptr);
    const int korean = dc.GetUnknownGlyphCount(L"데이터를 불러오는 중");
    const int chinese = dc.GetUnknownGlyphCount(L"正在載入資料");
    if ((korean != 0 || chinese != 0) && !std::getenv("CI"))
        GTEST_SKIP() << "no font with Korean and Chinese glyphs installed (Debian: fonts-noto-cjk)";
    EXPECT_EQ(korean, 0);
    EXPECT_EQ(chinese, 0);
    // The count does see characters no font has (unassigned code points).
    EXPECT_EQ(dc.GetUnknownGlyphCount(L"a\u0378b\U0010FFFD"), 2);
    dc.SelectObject(old);
}

TEST(ProgressPaint, FontHeightIsTheCellHeight) {
    REQUIRE_FONTS();
    CDC dc;
    ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
    for (int px : {13, 24, 40}) {
        SCOPED_TRACE(px);
        CFont cell, em;  // a negative height is the em size, which is smaller than the cell
        cell.CreateFont(px, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"");
        em.CreateFont(-px, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"");
        dc.SelectObject(&cell);
        EXPECT_NEAR(dc.GetTextExtent(L"Hg").cy, px, 1);
        dc.SelectObject(&em);
        EXPECT_GT(dc.GetTextExtent(L"Hg").cy, px);
    }
}

TEST(ProgressPaint, TargetSavesAsPng) {
    CTextProgressCtrl ctrl;
    Configure(ctrl, 64, 16, 10);
    ctrl.SetShowText(0);
    ctrl.SetPos(50);
    // The encoded image itself (signature, size) is checked through `gorv ui progress --png`.
    std::vector<unsigned char> png;
    ASSERT_TRUE(ctrl.GetTarget().EncodePng(png));
    const std::string path = testing::TempDir() + "gorv_progress_test.png";
    ASSERT_TRUE(ctrl.GetTarget().SavePng(path.c_str()));
    std::FILE* f = std::fopen(path.c_str(), "rb");
    ASSERT_NE(f, nullptr);
    std::vector<unsigned char> file(png.size() + 16);
    file.resize(std::fread(file.data(), 1, file.size(), f));
    std::fclose(f);
    std::remove(path.c_str());
    EXPECT_EQ(file, png);  // the file holds exactly the encoded bytes
    EXPECT_FALSE(ctrl.GetTarget().SavePng("/nonexistent-dir/x.png"));
}
