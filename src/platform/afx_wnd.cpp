// CWnd: synchronous message delivery, the window text, the update area (kept as one bounding
// rectangle) and the paint cycle that moves pixels from a paint context into the target image.
// Windows are meant for one thread at a time, as the controls built on them are.
#include <gorv/platform/afx_wnd.h>

#include <algorithm>
#include <cwchar>
#include <unordered_set>

#include "platform/draw_backend.h"

namespace {

std::unordered_set<HWND>& live_windows() {
    static std::unordered_set<HWND> windows;
    return windows;
}

bool rect_empty(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

RECT intersect(const RECT& a, const RECT& b) {
    RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
           std::min(a.bottom, b.bottom)};
    if (rect_empty(r)) r = RECT{0, 0, 0, 0};
    return r;
}

}  // namespace

BOOL IsWindow(HWND hWnd) { return hWnd != nullptr && live_windows().count(hWnd) != 0; }

CWnd::CWnd() noexcept : m_hWnd(nullptr) {}

CWnd::~CWnd() {
    if (m_hWnd) live_windows().erase(m_hWnd);
}

BOOL CWnd::Create(LPCTSTR, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
    if (m_hWnd) return FALSE;
    const long w = rect.right - rect.left, h = rect.bottom - rect.top;
    if (w < 0 || h < 0 || w > GORV_MAX_WINDOW_SIDE || h > GORV_MAX_WINDOW_SIDE) return FALSE;
    if (!m_target.IsBorrowed() && !m_target.Reset(static_cast<int>(w), static_cast<int>(h))) return FALSE;
    m_hWnd = reinterpret_cast<HWND>(this);
    live_windows().insert(m_hWnd);
    m_strText = lpszWindowName;
    m_dwStyle = dwStyle;
    m_nID = nID;
    m_pParent = pParentWnd;
    m_rcWindow = rect;
    m_nInvalidateCount = 0;
    m_nPaintCount = 0;
    // A new window has everything to paint.
    m_rcUpdate = RECT{0, 0, w, h};
    m_bErasePending = true;
    if (!rect_empty(m_rcUpdate)) Notify(GORV_WND_INVALIDATED, m_rcUpdate);
    return TRUE;
}

BOOL CWnd::DestroyWindow() {
    if (!m_hWnd) return FALSE;
    live_windows().erase(m_hWnd);
    m_hWnd = nullptr;
    m_rcUpdate = RECT{0, 0, 0, 0};
    m_bErasePending = false;
    return TRUE;
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (!m_hWnd) return 0;
    const CurrentMessage saved = m_msg;
    m_msg = CurrentMessage{message, wParam, lParam};
    const LRESULT r = WindowProc(message, wParam, lParam);
    m_msg = saved;
    return r;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) { return DefWindowProc(message, wParam, lParam); }

LRESULT CWnd::Default() { return DefWindowProc(m_msg.message, m_msg.wParam, m_msg.lParam); }

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SETTEXT: m_strText = reinterpret_cast<LPCTSTR>(lParam); return TRUE;
    case WM_GETTEXT: {
        auto* buf = reinterpret_cast<LPTSTR>(lParam);
        if (!buf || wParam == 0) return 0;
        const std::size_t n = std::min<std::size_t>(wParam - 1, static_cast<std::size_t>(m_strText.GetLength()));
        std::wmemcpy(buf, m_strText.GetString(), n);
        buf[n] = 0;
        return static_cast<LRESULT>(n);
    }
    case WM_GETTEXTLENGTH: return m_strText.GetLength();
    case WM_PAINT: {
        CPaintDC dc(this);
        return 0;
    }
    default: return 0;
    }
}

void CWnd::GetClientRect(LPRECT lpRect) const {
    if (!lpRect) return;
    *lpRect = m_hWnd ? RECT{0, 0, m_rcWindow.right - m_rcWindow.left, m_rcWindow.bottom - m_rcWindow.top}
                     : RECT{0, 0, 0, 0};
}

void CWnd::GetWindowRect(LPRECT lpRect) const {
    if (lpRect) *lpRect = m_hWnd ? m_rcWindow : RECT{0, 0, 0, 0};
}

void CWnd::MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint) {
    if (!m_hWnd) return;
    const long w = std::min(std::max(nWidth, 0), GORV_MAX_WINDOW_SIDE);
    const long h = std::min(std::max(nHeight, 0), GORV_MAX_WINDOW_SIDE);
    m_rcWindow = RECT{x, y, x + w, y + h};
    if (!m_target.IsBorrowed()) m_target.Reset(static_cast<int>(w), static_cast<int>(h));
    m_rcUpdate = intersect(m_rcUpdate, RECT{0, 0, w, h});
    SendMessage(WM_SIZE, SIZE_RESTORED, MAKELPARAM(w, h));
    if (bRepaint) Invalidate();
}

void CWnd::MoveWindow(LPCRECT lpRect, BOOL bRepaint) {
    if (lpRect)
        MoveWindow(lpRect->left, lpRect->top, lpRect->right - lpRect->left, lpRect->bottom - lpRect->top, bRepaint);
}

void CWnd::SetWindowText(LPCTSTR lpszString) { SendMessage(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(lpszString)); }

int CWnd::GetWindowText(LPTSTR lpszStringBuf, int nMaxCount) const {
    if (!lpszStringBuf || nMaxCount <= 0) return 0;
    return static_cast<int>(const_cast<CWnd*>(this)->SendMessage(WM_GETTEXT, static_cast<WPARAM>(nMaxCount),
                                                                  reinterpret_cast<LPARAM>(lpszStringBuf)));
}

void CWnd::GetWindowText(CString& rString) const {
    // The window's own handler decides what it reports, so grow the buffer until it fits.
    for (int n = 256;; n *= 2) {
        wchar_t* buf = rString.GetBuffer(n);
        buf[0] = 0;
        const int got = GetWindowText(buf, n);
        if (got < n - 1 || n >= (1 << 24)) {
            rString.ReleaseBuffer(got);
            return;
        }
        rString.ReleaseBuffer(0);
    }
}

int CWnd::GetWindowTextLength() const {
    return static_cast<int>(const_cast<CWnd*>(this)->SendMessage(WM_GETTEXTLENGTH));
}

void CWnd::Invalidate(BOOL bErase) { InvalidateRect(nullptr, bErase); }

void CWnd::InvalidateRect(LPCRECT lpRect, BOOL bErase) {
    if (!m_hWnd) return;
    RECT client;
    GetClientRect(&client);
    const RECT area = lpRect ? intersect(*lpRect, client) : client;
    ++m_nInvalidateCount;
    if (rect_empty(area)) return;
    CRect u;
    u.UnionRect(&m_rcUpdate, &area);
    m_rcUpdate = u;
    if (bErase) m_bErasePending = true;
    Notify(GORV_WND_INVALIDATED, area);
}

void CWnd::ValidateRect(LPCRECT lpRect) {
    // The update area is one rectangle: it becomes valid only when lpRect covers all of it.
    if (!lpRect || (lpRect->left <= m_rcUpdate.left && lpRect->top <= m_rcUpdate.top &&
                    lpRect->right >= m_rcUpdate.right && lpRect->bottom >= m_rcUpdate.bottom)) {
        m_rcUpdate = RECT{0, 0, 0, 0};
        m_bErasePending = false;
    }
}

BOOL CWnd::GetUpdateRect(LPRECT lpRect, BOOL) {
    if (lpRect) *lpRect = m_rcUpdate;
    return !rect_empty(m_rcUpdate);
}

void CWnd::UpdateWindow() {
    if (m_hWnd && !rect_empty(m_rcUpdate)) SendMessage(WM_PAINT);
}

BOOL CWnd::RedrawWindow(LPCRECT lpRectUpdate, CRgn* pRgnUpdate, UINT flags) {
    if (!m_hWnd) return FALSE;
    RECT box;
    if (pRgnUpdate && pRgnUpdate->GetRgnBox(&box) != RGN_ERROR) lpRectUpdate = &box;
    if (flags & RDW_INVALIDATE) InvalidateRect(lpRectUpdate, (flags & RDW_ERASE) && !(flags & RDW_NOERASE));
    if (flags & RDW_VALIDATE) ValidateRect(lpRectUpdate);
    if (flags & RDW_UPDATENOW) {
        UpdateWindow();
    } else if ((flags & RDW_ERASENOW) && m_bErasePending) {
        m_bErasePending = false;
        SendMessage(WM_ERASEBKGND);
    }
    return TRUE;
}

RECT CWnd::BeginPaintArea(BOOL& bErase) {
    ++m_nPaintCount;
    RECT client;
    GetClientRect(&client);
    const RECT area = rect_empty(m_rcUpdate) ? client : m_rcUpdate;
    bErase = FALSE;
    if (m_bErasePending) {
        // The window erases its background here; when it does not, the painter has to.
        m_bErasePending = false;
        bErase = SendMessage(WM_ERASEBKGND) == 0;
    }
    m_rcUpdate = RECT{0, 0, 0, 0};
    return area;
}

void CWnd::EndPaintArea(const RECT& rcPaint, const CBitmap& surface) {
    gorv_draw::read_rgba(static_cast<gorv_draw::Surface*>(surface.m_pSurface), rcPaint, m_target.GetPixels(),
                         m_target.GetWidth(), m_target.GetHeight(), m_target.GetStride());
    const RECT written = intersect(rcPaint, RECT{0, 0, m_target.GetWidth(), m_target.GetHeight()});
    if (!rect_empty(written)) Notify(GORV_WND_PAINTED, written);
}

void CWnd::Notify(int nEvent, const RECT& rc) {
    if (m_pfnNotify) m_pfnNotify(m_pNotifyUser, this, nEvent, &rc);
}

BOOL CWnd::AttachTarget(BYTE* pPixels, int nWidth, int nHeight, int nStride) {
    return m_target.Attach(pPixels, nWidth, nHeight, nStride);
}

void CWnd::DetachTarget() {
    RECT client;
    GetClientRect(&client);
    m_target.Reset(static_cast<int>(client.right), static_cast<int>(client.bottom));
}
