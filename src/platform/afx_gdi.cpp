// Device contexts, GDI objects and RGBA images over the drawing backend. A context keeps the
// selection, origin, clip and colours; the backend only ever sees surface pixels, so every
// logical coordinate is turned into a device one here.
#include <gorv/platform/afx_gdi.h>
#include <gorv/platform/afx_wnd.h>

#include <algorithm>
#include <cwchar>
#include <new>

#include "platform/draw_backend.h"

namespace {

gorv_draw::Surface* surface_of(void* p) { return static_cast<gorv_draw::Surface*>(p); }

bool rect_empty(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

RECT intersect(const RECT& a, const RECT& b) {
    RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
           std::min(a.bottom, b.bottom)};
    if (rect_empty(r)) r = RECT{0, 0, 0, 0};
    return r;
}

gorv_draw::FontDesc desc_of(const CFont* font) {
    LOGFONTW lf{};
    if (font) font->GetLogFont(&lf);
    gorv_draw::FontDesc f;
    f.strFaceUtf8 = CString(lf.lfFaceName).ToUtf8();
    f.nHeight = lf.lfHeight;
    f.nWeight = lf.lfWeight;
    f.bItalic = lf.lfItalic != 0;
    f.bUnderline = lf.lfUnderline != 0;
    f.bStrikeOut = lf.lfStrikeOut != 0;
    return f;
}

}  // namespace

COLORREF GetSysColor(int nIndex) {
    switch (nIndex) {
    case COLOR_WINDOW: return RGB(255, 255, 255);
    case COLOR_WINDOWTEXT: return RGB(0, 0, 0);
    case COLOR_HIGHLIGHT: return RGB(0, 120, 215);
    case COLOR_HIGHLIGHTTEXT: return RGB(255, 255, 255);
    case COLOR_BTNFACE: return RGB(240, 240, 240);
    default: return 0;
    }
}

BOOL CRect::IntersectRect(LPCRECT a, LPCRECT b) noexcept {
    *static_cast<RECT*>(this) = (a && b) ? intersect(*a, *b) : RECT{0, 0, 0, 0};
    return !IsRectEmpty();
}

BOOL CRect::UnionRect(LPCRECT a, LPCRECT b) noexcept {
    const bool ea = !a || rect_empty(*a), eb = !b || rect_empty(*b);
    if (ea && eb) {
        SetRectEmpty();
        return FALSE;
    }
    if (ea) {
        *static_cast<RECT*>(this) = *b;
    } else if (eb) {
        *static_cast<RECT*>(this) = *a;
    } else {
        SetRect(std::min(a->left, b->left), std::min(a->top, b->top), std::max(a->right, b->right),
                std::max(a->bottom, b->bottom));
    }
    return TRUE;
}

// ---- GDI objects ---------------------------------------------------------------------------

CGdiObject::~CGdiObject() {
    // Derived destructors free their resources; here only the selections are undone.
    while (!m_aSelectedIn.empty()) m_aSelectedIn.back()->Deselect(this);
}

BOOL CGdiObject::DeleteObject() {
    if (!m_bCreated) return FALSE;
    while (!m_aSelectedIn.empty()) m_aSelectedIn.back()->Deselect(this);
    FreeResources();
    m_bCreated = false;
    return TRUE;
}

CFont::CFont() noexcept : m_lf{} {}
CFont::~CFont() { DeleteObject(); }

BOOL CFont::CreateFont(int nHeight, int nWidth, int nEscapement, int nOrientation, int nWeight, BYTE bItalic,
                       BYTE bUnderline, BYTE cStrikeOut, BYTE nCharSet, BYTE nOutPrecision, BYTE nClipPrecision,
                       BYTE nQuality, BYTE nPitchAndFamily, LPCTSTR lpszFacename) {
    LOGFONTW lf{};
    lf.lfHeight = nHeight;
    lf.lfWidth = nWidth;
    lf.lfEscapement = nEscapement;
    lf.lfOrientation = nOrientation;
    lf.lfWeight = nWeight;
    lf.lfItalic = bItalic;
    lf.lfUnderline = bUnderline;
    lf.lfStrikeOut = cStrikeOut;
    lf.lfCharSet = nCharSet;
    lf.lfOutPrecision = nOutPrecision;
    lf.lfClipPrecision = nClipPrecision;
    lf.lfQuality = nQuality;
    lf.lfPitchAndFamily = nPitchAndFamily;
    if (lpszFacename) std::wcsncpy(lf.lfFaceName, lpszFacename, LF_FACESIZE - 1);
    return CreateFontIndirect(&lf);
}

BOOL CFont::CreateFontIndirect(const LOGFONTW* lpLogFont) {
    if (!lpLogFont) return FALSE;
    DeleteObject();
    m_lf = *lpLogFont;
    m_lf.lfFaceName[LF_FACESIZE - 1] = 0;
    m_bCreated = true;
    return TRUE;
}

BOOL CFont::GetLogFont(LOGFONTW* pLogFont) const {
    if (!m_bCreated || !pLogFont) return FALSE;
    *pLogFont = m_lf;
    return TRUE;
}

CRgn::~CRgn() { DeleteObject(); }

BOOL CRgn::CreateRectRgn(int x1, int y1, int x2, int y2) {
    DeleteObject();
    // The region of an unordered rectangle is the ordered one, as in the original interface.
    m_rc = RECT{std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)};
    m_bCreated = true;
    return TRUE;
}

BOOL CRgn::CreateRectRgnIndirect(LPCRECT lpRect) {
    if (!lpRect) return FALSE;
    return CreateRectRgn(lpRect->left, lpRect->top, lpRect->right, lpRect->bottom);
}

int CRgn::GetRgnBox(LPRECT lpRect) const {
    if (!m_bCreated) return RGN_ERROR;
    if (lpRect) *lpRect = m_rc;
    return rect_empty(m_rc) ? NULLREGION : SIMPLEREGION;
}

CBitmap::~CBitmap() { DeleteObject(); }

BOOL CBitmap::CreateCompatibleBitmap(CDC*, int nWidth, int nHeight) {
    gorv_draw::Surface* s = gorv_draw::create_surface(nWidth, nHeight);
    if (!s) return FALSE;
    DeleteObject();
    m_pSurface = s;
    m_nWidth = nWidth;
    m_nHeight = nHeight;
    m_bCreated = true;
    return TRUE;
}

void CBitmap::FreeResources() {
    gorv_draw::destroy_surface(surface_of(m_pSurface));
    m_pSurface = nullptr;
    m_nWidth = m_nHeight = 0;
}

// ---- device contexts -----------------------------------------------------------------------

CDC::CDC() {
    LOGFONTW lf{};
    lf.lfWeight = FW_NORMAL;
    m_stockFont.CreateFontIndirect(&lf);
    m_pFont = &m_stockFont;
    Select(&m_stockFont);
}

CDC::~CDC() {
    DeleteDC();
    Deselect(&m_stockFont);
}

BOOL CDC::DeleteDC() {
    if (m_pBitmap) Deselect(m_pBitmap);
    if (m_pFont != &m_stockFont) Deselect(m_pFont);
    m_stockBitmap.DeleteObject();
    m_pBitmap = nullptr;
    const bool was = m_bMemory;
    m_bMemory = false;
    return was;
}

BOOL CDC::CreateCompatibleDC(CDC*) {
    if (m_bMemory || m_pBitmap) return FALSE;
    if (!m_stockBitmap.CreateCompatibleBitmap(this, 1, 1)) return FALSE;
    m_bMemory = true;
    m_pBitmap = &m_stockBitmap;
    Select(&m_stockBitmap);
    return TRUE;
}

void CDC::Select(CGdiObject* pObj) { pObj->m_aSelectedIn.push_back(this); }

void CDC::Deselect(CGdiObject* pObj) {
    auto& v = pObj->m_aSelectedIn;
    v.erase(std::remove(v.begin(), v.end(), this), v.end());
    if (pObj == m_pFont) {
        m_pFont = &m_stockFont;
        if (pObj != &m_stockFont) Select(&m_stockFont);
    }
    if (pObj == m_pBitmap) {
        m_pBitmap = nullptr;
        if (m_bMemory && pObj != &m_stockBitmap && m_stockBitmap.m_bCreated) {
            m_pBitmap = &m_stockBitmap;
            Select(&m_stockBitmap);
        }
    }
}

void CDC::AttachSurface(CBitmap* pBitmap, const RECT& rcSystemClip) {
    if (m_pBitmap) Deselect(m_pBitmap);
    m_pBitmap = pBitmap;
    if (pBitmap) Select(pBitmap);
    m_bSysClip = true;
    m_rcSysClip = rcSystemClip;
}

CBitmap* CDC::SelectObject(CBitmap* pBitmap) {
    // Only a memory context takes bitmaps, and a bitmap lives in one context at a time.
    if (!pBitmap || !pBitmap->m_bCreated || !m_bMemory) return nullptr;
    if (!pBitmap->m_aSelectedIn.empty() && pBitmap != m_pBitmap) return nullptr;
    CBitmap* old = m_pBitmap;
    if (old == pBitmap) return old;
    if (old) {
        auto& v = old->m_aSelectedIn;
        v.erase(std::remove(v.begin(), v.end(), this), v.end());
    }
    m_pBitmap = pBitmap;
    Select(pBitmap);
    return old;
}

CFont* CDC::SelectObject(CFont* pFont) {
    if (!pFont || !pFont->m_bCreated) return nullptr;
    CFont* old = m_pFont;
    if (old == pFont) return old;
    auto& v = old->m_aSelectedIn;
    v.erase(std::remove(v.begin(), v.end(), this), v.end());
    m_pFont = pFont;
    Select(pFont);
    return old;
}

RECT CDC::DeviceClip() const {
    if (!m_pBitmap || !m_pBitmap->m_bCreated) return RECT{0, 0, 0, 0};
    RECT r{0, 0, m_pBitmap->m_nWidth, m_pBitmap->m_nHeight};
    if (m_bSysClip) r = intersect(r, m_rcSysClip);
    if (m_bClip) r = intersect(r, m_rcClip);
    return r;
}

RECT CDC::ToDevice(const RECT& rc) const noexcept {
    return RECT{rc.left - m_ptOrg.x, rc.top - m_ptOrg.y, rc.right - m_ptOrg.x, rc.bottom - m_ptOrg.y};
}

int CDC::SelectClipRgn(CRgn* pRgn) {
    if (!pRgn) {
        m_bClip = false;
    } else {
        RECT rc;
        if (pRgn->GetRgnBox(&rc) == RGN_ERROR) return RGN_ERROR;
        m_bClip = true;
        m_rcClip = rc;
    }
    return rect_empty(DeviceClip()) ? NULLREGION : SIMPLEREGION;
}

int CDC::GetClipBox(LPRECT lpRect) const {
    RECT r = DeviceClip();
    const bool empty = rect_empty(r);
    if (!empty) DPtoLP(&r);
    if (lpRect) *lpRect = r;
    return empty ? NULLREGION : SIMPLEREGION;
}

POINT CDC::SetWindowOrg(int x, int y) {
    const POINT old = m_ptOrg;
    m_ptOrg = POINT{x, y};
    return old;
}

void CDC::LPtoDP(LPRECT lpRect) const noexcept {
    if (lpRect) *lpRect = ToDevice(*lpRect);
}

void CDC::DPtoLP(LPRECT lpRect) const noexcept {
    if (!lpRect) return;
    lpRect->left += m_ptOrg.x;
    lpRect->right += m_ptOrg.x;
    lpRect->top += m_ptOrg.y;
    lpRect->bottom += m_ptOrg.y;
}

COLORREF CDC::SetTextColor(COLORREF cr) {
    const COLORREF old = m_crText;
    m_crText = cr;
    return old;
}

COLORREF CDC::SetBkColor(COLORREF cr) {
    const COLORREF old = m_crBk;
    m_crBk = cr;
    return old;
}

int CDC::SetBkMode(int nMode) {
    if (nMode != TRANSPARENT && nMode != OPAQUE) return 0;
    const int old = m_nBkMode;
    m_nBkMode = nMode;
    return old;
}

void CDC::FillSolidRect(LPCRECT lpRect, COLORREF cr) {
    SetBkColor(cr);
    if (!lpRect || !m_pBitmap) return;
    const RECT clip = DeviceClip();
    gorv_draw::fill_rect(surface_of(m_pBitmap->m_pSurface), ToDevice(*lpRect), &clip, cr);
    m_bDrawn = true;
}

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF cr) {
    const RECT rc{x, y, static_cast<long>(x) + cx, static_cast<long>(y) + cy};
    FillSolidRect(&rc, cr);
}

int CDC::DrawText(const CString& str, LPRECT lpRect, UINT nFormat) {
    if (!lpRect || !m_pBitmap) return 0;
    const RECT clip = DeviceClip();
    m_bDrawn = true;
    return gorv_draw::draw_text(surface_of(m_pBitmap->m_pSurface), desc_of(m_pFont), str.ToUtf8(),
                                ToDevice(*lpRect), nFormat, &clip, m_crText, m_nBkMode == OPAQUE, m_crBk);
}

int CDC::DrawText(LPCTSTR lpszString, int nCount, LPRECT lpRect, UINT nFormat) {
    if (!lpszString) return 0;
    if (nCount < 0) return DrawText(CString(lpszString), lpRect, nFormat);
    const int len = static_cast<int>(std::wcslen(lpszString));
    return DrawText(CString(lpszString, std::min(nCount, len)), lpRect, nFormat);
}

SIZE CDC::GetTextExtent(const CString& str) const { return gorv_draw::text_extent(desc_of(m_pFont), str.ToUtf8()); }

int CDC::GetUnknownGlyphCount(const CString& str) const {
    return gorv_draw::unknown_glyphs(desc_of(m_pFont), str.ToUtf8());
}

BOOL CDC::BitBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc, DWORD dwRop) {
    if (dwRop != SRCCOPY || !pSrcDC || !pSrcDC->m_pBitmap || !m_pBitmap) return FALSE;
    const RECT dst = ToDevice(RECT{x, y, x, y});
    const RECT src = pSrcDC->ToDevice(RECT{xSrc, ySrc, xSrc, ySrc});
    const RECT clip = DeviceClip();
    gorv_draw::copy_rect(surface_of(m_pBitmap->m_pSurface), dst.left, dst.top, nWidth, nHeight,
                         surface_of(pSrcDC->m_pBitmap->m_pSurface), src.left, src.top, &clip);
    m_bDrawn = true;
    return TRUE;
}

// ---- paint context -------------------------------------------------------------------------

CPaintDC::CPaintDC(CWnd* pWnd) : m_ps{this, FALSE, {0, 0, 0, 0}}, m_pWnd(pWnd) {
    if (!pWnd || !IsWindow(pWnd->m_hWnd)) return;
    m_ps.rcPaint = pWnd->BeginPaintArea(m_ps.fErase);
    RECT client;
    pWnd->GetClientRect(&client);
    if (m_surface.CreateCompatibleBitmap(nullptr, client.right, client.bottom)) {
        // The context starts with the window's current pixels, so what is not drawn stays.
        const CGorvRgbaImage& t = pWnd->GetTarget();
        gorv_draw::write_rgba(surface_of(m_surface.m_pSurface), client, t.GetPixels(), t.GetWidth(), t.GetHeight(),
                              t.GetStride());
    }
    AttachSurface(&m_surface, m_ps.rcPaint);
}

CPaintDC::~CPaintDC() {
    if (m_bDrawn && m_pWnd && IsWindow(m_pWnd->m_hWnd) && m_surface.GetSafeHandle())
        m_pWnd->EndPaintArea(m_ps.rcPaint, m_surface);
}

// ---- images --------------------------------------------------------------------------------

BOOL CGorvRgbaImage::Reset(int nWidth, int nHeight) {
    m_pBorrowed = nullptr;
    std::vector<BYTE>().swap(m_aOwned);
    m_nWidth = m_nHeight = m_nStride = 0;
    const std::size_t w = static_cast<std::size_t>(std::max(nWidth, 0)), h = static_cast<std::size_t>(std::max(nHeight, 0));
    try {
        m_aOwned.assign(w * 4 * h, 0);
    } catch (const std::bad_alloc&) {
        return FALSE;
    }
    m_nWidth = static_cast<int>(w);
    m_nHeight = static_cast<int>(h);
    m_nStride = static_cast<int>(w * 4);
    return TRUE;
}

BOOL CGorvRgbaImage::Attach(BYTE* pPixels, int nWidth, int nHeight, int nStride) {
    if (!pPixels || nWidth < 0 || nHeight < 0 || nStride / 4 < nWidth) return FALSE;
    std::vector<BYTE>().swap(m_aOwned);
    m_pBorrowed = pPixels;
    m_nWidth = nWidth;
    m_nHeight = nHeight;
    m_nStride = nStride;
    return TRUE;
}

COLORREF CGorvRgbaImage::GetPixel(int x, int y) const noexcept {
    if (x < 0 || y < 0 || x >= m_nWidth || y >= m_nHeight) return 0;
    const BYTE* p = GetPixels() + static_cast<std::size_t>(y) * m_nStride + static_cast<std::size_t>(x) * 4;
    return RGB(p[0], p[1], p[2]);
}

BYTE CGorvRgbaImage::GetAlpha(int x, int y) const noexcept {
    if (x < 0 || y < 0 || x >= m_nWidth || y >= m_nHeight) return 0;
    return GetPixels()[static_cast<std::size_t>(y) * m_nStride + static_cast<std::size_t>(x) * 4 + 3];
}

void CGorvRgbaImage::Fill(COLORREF cr, BYTE alpha) noexcept {
    for (int y = 0; y < m_nHeight; ++y) {
        BYTE* row = GetPixels() + static_cast<std::size_t>(y) * m_nStride;
        for (int x = 0; x < m_nWidth; ++x) {
            row[4 * x] = GetRValue(cr);
            row[4 * x + 1] = GetGValue(cr);
            row[4 * x + 2] = GetBValue(cr);
            row[4 * x + 3] = alpha;
        }
    }
}

BOOL CGorvRgbaImage::EncodePng(std::vector<unsigned char>& out) const {
    return gorv_draw::encode_png(GetPixels(), m_nWidth, m_nHeight, m_nStride, out);
}

BOOL CGorvRgbaImage::SavePng(const char* pszPath) const {
    return gorv_draw::write_png_file(GetPixels(), m_nWidth, m_nHeight, m_nStride, pszPath);
}

BOOL GorvFontsInstalled() {
    // The font map always offers the generic families, installed fonts or not: ask for glyphs.
    gorv_draw::FontDesc f{std::string(), 0, FW_NORMAL, false, false, false};
    return gorv_draw::unknown_glyphs(f, "Aa") == 0;
}
