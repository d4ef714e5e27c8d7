// CTextProgressCtrl: position and bar-width bookkeeping, its messages, and the paint that fills
// the bar and the rest, draws the text twice through two clip regions and copies the off-screen
// bitmap to the window in one block.
#include <gorv/ui/text_progress_ctrl.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cwchar>

namespace {

// Truncation toward zero that saturates instead of overflowing (NaN gives 0): a huge position
// in a narrow range must not make the conversion undefined.
int truncate_saturated(double v) {
    if (std::isnan(v)) return 0;
    if (v >= static_cast<double>(INT_MAX)) return INT_MAX;
    if (v <= static_cast<double>(INT_MIN)) return INT_MIN;
    return static_cast<int>(v);
}

int add_saturated(int a, int b) {
    const std::int64_t s = static_cast<std::int64_t>(a) + b;
    return s > INT_MAX ? INT_MAX : (s < INT_MIN ? INT_MIN : static_cast<int>(s));
}

double fraction(int pos, int lower, int upper) {
    return (static_cast<double>(pos) - lower) / (static_cast<double>(upper) - lower);
}

}  // namespace

CTextProgressCtrl::CTextProgressCtrl()
    : m_nPos(0),
      m_nStep(1),
      m_nUpper(100),
      m_nLower(0),
      m_bShowText(1),
      m_nBarWidth(-1),
      m_colFore(GetSysColor(COLOR_HIGHLIGHT)),
      m_colBk(GetSysColor(COLOR_WINDOW)),
      m_colTextFore(GetSysColor(COLOR_HIGHLIGHT)),
      m_colTextBk(GetSysColor(COLOR_WINDOW)),
      m_bRepeat(0),
      m_nFontWeight(FW_BOLD),
      m_nFontItalic(0),
      m_nFontUnderline(0),
      m_nFontHeight(13) {}

CTextProgressCtrl::~CTextProgressCtrl() = default;

int CTextProgressCtrl::ComputeBarWidth() const {
    RECT rc;
    GetClientRect(&rc);
    return truncate_saturated(fraction(m_nPos, m_nLower, m_nUpper) * static_cast<double>(rc.right - rc.left));
}

void CTextProgressCtrl::RedrawIfWidthChanged() {
    const int w = ComputeBarWidth();
    if (w == m_nBarWidth) return;
    m_nBarWidth = w;
    RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
}

int CTextProgressCtrl::SetPos(int nPos) {
    if (!IsWindow(m_hWnd)) return -1;
    const int old = m_nPos;
    m_nPos = nPos;
    RedrawIfWidthChanged();
    return old;
}

int CTextProgressCtrl::OffsetPos(int nDelta) { return SetPos(add_saturated(m_nPos, nDelta)); }

int CTextProgressCtrl::SetStep(int nStep) {
    const int old = m_nStep;
    m_nStep = nStep;
    return old;
}

int CTextProgressCtrl::StepIt() {
    if (m_bRepeat && m_nPos > m_nUpper) m_nPos = 0;
    return SetPos(add_saturated(m_nPos, m_nStep));
}

void CTextProgressCtrl::SetRange(int nLower, int nUpper) {
    m_nLower = nLower;
    m_nUpper = nUpper;
}

// The stored last bar width is compared in pixels, like SetPos does, rather than with the
// percentage itself: a percentage that happened to equal the old pixel width would otherwise
// leave a stale bar on the screen.
int CTextProgressCtrl::SetPercent(int nPercent) {
    const int old = m_nPos;
    m_nPos = nPercent;
    if (IsWindow(m_hWnd)) RedrawIfWidthChanged();
    return old;
}

void CTextProgressCtrl::SetShowText(int bShow) {
    if (IsWindow(m_hWnd) && m_bShowText != bShow) Invalidate();
    m_bShowText = bShow;
}

void CTextProgressCtrl::SetFontData(CString strFace, int nWeight, int bItalic, int bUnderline) {
    m_strFontFace = strFace;
    m_nFontWeight = nWeight;
    m_nFontItalic = bItalic;
    m_nFontUnderline = bUnderline;
}

CString CTextProgressCtrl::GetDisplayText() const {
    if (m_nLower >= m_nUpper) return CString();
    if (!m_strCaption.IsEmpty()) return m_strCaption;
    CString s;
    s.Format(L"%d%%", truncate_saturated(fraction(m_nPos, m_nLower, m_nUpper) * 100.0));
    return s;
}

int CTextProgressCtrl::GetBarWidth() const { return m_nLower >= m_nUpper ? 0 : ComputeBarWidth(); }

LRESULT CTextProgressCtrl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND: return TRUE;  // painting covers every pixel
    case WM_PAINT: OnPaint(); return 0;
    case WM_SIZE: {
        const LRESULT r = Default();
        m_nBarWidth = -1;
        return r;
    }
    case WM_SETTEXT: return OnSetText(lParam);
    case WM_GETTEXT: return OnGetText(wParam, lParam);
    default: return CProgressCtrl::WindowProc(message, wParam, lParam);
    }
}

LRESULT CTextProgressCtrl::OnSetText(LPARAM lParam) {
    const LRESULT r = Default();
    const CString text(reinterpret_cast<LPCTSTR>(lParam));  // null reads as empty
    if (text != m_strCaption) {
        m_strCaption = text;
        Invalidate();
    }
    return r;
}

LRESULT CTextProgressCtrl::OnGetText(WPARAM nMax, LPARAM lParam) const {
    auto* buf = reinterpret_cast<LPTSTR>(lParam);
    if (!buf || nMax == 0) return 0;
    const std::size_t n = std::min<std::size_t>(nMax - 1, static_cast<std::size_t>(m_strCaption.GetLength()));
    std::wmemcpy(buf, m_strCaption.GetString(), n);
    buf[n] = 0;
    return static_cast<LRESULT>(n);
}

void CTextProgressCtrl::OnPaint() {
    CPaintDC paintDC(this);
    if (m_nLower >= m_nUpper) return;
    const double f = fraction(m_nPos, m_nLower, m_nUpper);
    CRect r;
    GetClientRect(&r);

    // Off-screen drawing over the paint area, with the window origin at its top-left corner.
    CRect clip;
    paintDC.GetClipBox(&clip);
    CDC memDC;
    CBitmap bitmap;
    CBitmap* pOldBitmap = nullptr;
    CDC* pDC = &paintDC;
    if (!paintDC.IsPrinting() && memDC.CreateCompatibleDC(&paintDC) &&
        bitmap.CreateCompatibleBitmap(&paintDC, clip.Width(), clip.Height())) {
        pOldBitmap = memDC.SelectObject(&bitmap);
        memDC.SetWindowOrg(clip.left, clip.top);
        pDC = &memDC;
    }

    CRect barRect(r), restRect(r);
    barRect.right = add_saturated(r.left, truncate_saturated(static_cast<double>(r.Width()) * f));
    restRect.left = barRect.right;
    pDC->FillSolidRect(barRect, m_colFore);
    pDC->FillSolidRect(restRect, m_colBk);

    if (m_bShowText) {
        CString text = m_strCaption;
        if (text.IsEmpty()) text.Format(L"%d%%", truncate_saturated(f * 100.0));
        pDC->SetBkMode(TRANSPARENT);
        CFont font;
        font.CreateFont(m_nFontHeight, 0, 0, 0, m_nFontWeight, static_cast<BYTE>(m_nFontItalic != 0),
                        static_cast<BYTE>(m_nFontUnderline != 0), 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                        CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, m_strFontFace);
        CFont* pOldFont = pDC->SelectObject(&font);
        const UINT format = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
        // Regions clip in device coordinates: shift the logical rectangles by the window origin.
        CRgn rgn;
        CRect device(barRect);
        pDC->LPtoDP(device);
        rgn.CreateRectRgnIndirect(device);
        pDC->SelectClipRgn(&rgn);
        pDC->SetTextColor(m_colTextBk);
        pDC->DrawText(text, r, format);

        device = restRect;
        pDC->LPtoDP(device);
        rgn.DeleteObject();
        rgn.CreateRectRgnIndirect(device);
        pDC->SelectClipRgn(&rgn);
        pDC->SetTextColor(m_colTextFore);
        pDC->DrawText(text, r, format);
        pDC->SelectClipRgn(nullptr);
        pDC->SelectObject(pOldFont);
    }

    if (pDC == &memDC) {
        paintDC.BitBlt(clip.left, clip.top, clip.Width(), clip.Height(), &memDC, clip.left, clip.top, SRCCOPY);
        memDC.SelectObject(pOldBitmap);
    }
}
