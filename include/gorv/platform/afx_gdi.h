// The drawing subset of the platform layer: colours, rectangles, and the device context, font,
// region and bitmap objects that the library's controls paint with. Every device context draws
// into a 32-bit off-screen bitmap; the window's paint context copies what was drawn into the
// window's RGBA target image (see CWnd in afx_wnd.h), which a host can show or save as PNG.
// Coordinates are pixels, y downward; a rectangle covers [left, right) x [top, bottom).
#pragma once

#include <cstdint>
#include <vector>

#include <gorv/platform/afx_string.h>
#include <gorv/platform/afx_types.h>
#include <gorv/platform/gorv_export.h>

class CWnd;

// ---- colours -------------------------------------------------------------------------------
// 0x00BBGGRR.
typedef DWORD COLORREF;
#ifndef RGB
#define RGB(r, g, b)                                                                        \
    ((COLORREF)(((BYTE)(r) | ((WORD)((BYTE)(g)) << 8)) | (((DWORD)(BYTE)(b)) << 16)))
#endif
#define GetRValue(rgb) ((BYTE)(rgb))
#define GetGValue(rgb) ((BYTE)(((WORD)(rgb)) >> 8))
#define GetBValue(rgb) ((BYTE)((rgb) >> 16))

// System colour indexes of GetSysColor.
#define COLOR_WINDOW 5
#define COLOR_WINDOWTEXT 8
#define COLOR_HIGHLIGHT 13
#define COLOR_HIGHLIGHTTEXT 14
#define COLOR_BTNFACE 15

// There is no desktop theme to ask, so the system colours are fixed:
//   COLOR_WINDOW        RGB(255, 255, 255)  white
//   COLOR_WINDOWTEXT    RGB(0, 0, 0)        black
//   COLOR_HIGHLIGHT     RGB(0, 120, 215)    blue
//   COLOR_HIGHLIGHTTEXT RGB(255, 255, 255)  white
//   COLOR_BTNFACE       RGB(240, 240, 240)  light grey
// Any other index gives 0 (black).
GORV_API COLORREF GetSysColor(int nIndex);

// ---- rectangles ----------------------------------------------------------------------------
struct POINT {
    long x;
    long y;
};
struct SIZE {
    long cx;
    long cy;
};
struct RECT {
    long left;
    long top;
    long right;
    long bottom;
};
typedef RECT* LPRECT;
typedef const RECT* LPCRECT;
typedef POINT* LPPOINT;

class CRect : public RECT {
public:
    CRect() noexcept : RECT{0, 0, 0, 0} {}
    CRect(long l, long t, long r, long b) noexcept : RECT{l, t, r, b} {}
    CRect(const RECT& rc) noexcept : RECT(rc) {}
    long Width() const noexcept { return right - left; }
    long Height() const noexcept { return bottom - top; }
    // Empty when it has no area (right <= left or bottom <= top).
    BOOL IsRectEmpty() const noexcept { return right <= left || bottom <= top; }
    void SetRect(long l, long t, long r, long b) noexcept { left = l; top = t; right = r; bottom = b; }
    void SetRectEmpty() noexcept { SetRect(0, 0, 0, 0); }
    void OffsetRect(long dx, long dy) noexcept { left += dx; right += dx; top += dy; bottom += dy; }
    // Intersection of a and b; an empty intersection gives (0, 0, 0, 0) and FALSE.
    BOOL IntersectRect(LPCRECT a, LPCRECT b) noexcept;
    // Smallest rectangle holding both; an empty input is ignored.
    BOOL UnionRect(LPCRECT a, LPCRECT b) noexcept;
    operator LPRECT() noexcept { return this; }
    operator LPCRECT() const noexcept { return this; }
    bool operator==(const RECT& o) const noexcept {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
    bool operator!=(const RECT& o) const noexcept { return !(*this == o); }
};

// ---- drawing constants ---------------------------------------------------------------------
// Background modes of SetBkMode.
#define TRANSPARENT 1
#define OPAQUE 2
// DrawText formats (only these are honoured; others are ignored).
#define DT_TOP 0x00000000
#define DT_LEFT 0x00000000
#define DT_CENTER 0x00000001
#define DT_RIGHT 0x00000002
#define DT_VCENTER 0x00000004
#define DT_BOTTOM 0x00000008
#define DT_SINGLELINE 0x00000020
#define DT_NOCLIP 0x00000100
// Raster operation of BitBlt (only a plain copy is offered).
#define SRCCOPY 0x00CC0020
// Font weights and character sets.
#define FW_DONTCARE 0
#define FW_THIN 100
#define FW_LIGHT 300
#define FW_NORMAL 400
#define FW_MEDIUM 500
#define FW_SEMIBOLD 600
#define FW_BOLD 700
#define FW_HEAVY 900
#define DEFAULT_CHARSET 1
#define OUT_DEFAULT_PRECIS 0
#define CLIP_DEFAULT_PRECIS 0
#define DEFAULT_QUALITY 0
#define DEFAULT_PITCH 0
#define FF_DONTCARE 0
#define LF_FACESIZE 32

// Region kinds returned by SelectClipRgn and GetClipBox.
#define RGN_ERROR 0
#define NULLREGION 1
#define SIMPLEREGION 2

struct LOGFONTW {
    long lfHeight;  // > 0: character cell height in pixels; < 0: em height in pixels; 0: default
    long lfWidth;   // ignored (glyphs keep their natural width)
    long lfEscapement;
    long lfOrientation;
    long lfWeight;  // 100..900; FW_DONTCARE (0) means FW_NORMAL
    BYTE lfItalic;
    BYTE lfUnderline;
    BYTE lfStrikeOut;
    BYTE lfCharSet;
    BYTE lfOutPrecision;
    BYTE lfClipPrecision;
    BYTE lfQuality;
    BYTE lfPitchAndFamily;
    wchar_t lfFaceName[LF_FACESIZE];  // empty: the system's default sans-serif face
};
typedef LOGFONTW LOGFONT;

class CDC;

// ---- GDI objects ---------------------------------------------------------------------------
// A font, a region or a bitmap. Objects are not copyable. Deleting (or destroying) an object
// that a device context has selected first puts the context's stock object back, so a context
// never draws with a dead object.
class GORV_API CGdiObject {
public:
    CGdiObject() = default;
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;
    virtual ~CGdiObject();
    // Non-null once the object was created and until it is deleted.
    void* GetSafeHandle() const noexcept { return m_bCreated ? const_cast<CGdiObject*>(this) : nullptr; }
    // Frees the object; FALSE when there was nothing to free.
    BOOL DeleteObject();

protected:
    virtual void FreeResources() {}
    friend class CDC;
    bool m_bCreated = false;
    std::vector<CDC*> m_aSelectedIn;  // the contexts that have this object selected
};

// A logical font. The height is the character cell height in pixels (ascent plus descent of the
// face) when positive, as in the original drawing interface; the em size in pixels when negative.
class GORV_API CFont : public CGdiObject {
public:
    CFont() noexcept;
    ~CFont() override;
    // Takes the height, weight, italic, underline, strike-out and face fields; the others are
    // accepted for compatibility and ignored. Always succeeds.
    BOOL CreateFont(int nHeight, int nWidth, int nEscapement, int nOrientation, int nWeight, BYTE bItalic,
                    BYTE bUnderline, BYTE cStrikeOut, BYTE nCharSet, BYTE nOutPrecision, BYTE nClipPrecision,
                    BYTE nQuality, BYTE nPitchAndFamily, LPCTSTR lpszFacename);
    BOOL CreateFontIndirect(const LOGFONTW* lpLogFont);
    // Copies the creation fields; FALSE when the font was not created.
    BOOL GetLogFont(LOGFONTW* pLogFont) const;

private:
    LOGFONTW m_lf;
};

// A rectangular region (the clipping the controls need).
class GORV_API CRgn : public CGdiObject {
public:
    CRgn() noexcept : m_rc{0, 0, 0, 0} {}
    ~CRgn() override;
    BOOL CreateRectRgn(int x1, int y1, int x2, int y2);
    BOOL CreateRectRgnIndirect(LPCRECT lpRect);
    // The bounding rectangle; returns SIMPLEREGION, NULLREGION when empty or RGN_ERROR when not created.
    int GetRgnBox(LPRECT lpRect) const;

private:
    RECT m_rc;
};

// A 32-bit bitmap (premultiplied ARGB pixels held by the drawing backend).
class GORV_API CBitmap : public CGdiObject {
public:
    CBitmap() noexcept = default;
    ~CBitmap() override;
    // A bitmap of nWidth x nHeight pixels, all transparent black. FALSE when a size is not
    // positive or the memory cannot be had.
    BOOL CreateCompatibleBitmap(CDC* pDC, int nWidth, int nHeight);
    SIZE GetBitmapDimension() const noexcept { return SIZE{m_nWidth, m_nHeight}; }

protected:
    void FreeResources() override;

private:
    friend class CDC;
    friend class CPaintDC;
    friend class CWnd;
    void* m_pSurface = nullptr;  // backend surface
    long m_nWidth = 0;
    long m_nHeight = 0;
};

// ---- device contexts -----------------------------------------------------------------------
// A device context draws into the bitmap selected into it. Drawing operations take logical
// coordinates, which are device (bitmap pixel) coordinates shifted by the window origin; the
// clip region, as in the original interface, is in device coordinates.
class GORV_API CDC {
public:
    CDC();
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;
    virtual ~CDC();

    // Makes this a memory context; its stock bitmap is 1 x 1. pDC may be null. FALSE when this
    // context already is one.
    BOOL CreateCompatibleDC(CDC* pDC);
    BOOL DeleteDC();
    BOOL IsPrinting() const noexcept { return m_bPrinting; }

    // Selection returns the object that was selected before (the context's stock object at
    // first), or null when the object was not created.
    CBitmap* SelectObject(CBitmap* pBitmap);
    CFont* SelectObject(CFont* pFont);
    CFont* GetCurrentFont() const noexcept { return m_pFont; }
    // Clips drawing to the region (device coordinates), or removes clipping when pRgn is null.
    int SelectClipRgn(CRgn* pRgn);
    // The logical rectangle that drawing can reach: the clip region within the bitmap.
    int GetClipBox(LPRECT lpRect) const;

    POINT SetWindowOrg(int x, int y);
    POINT GetWindowOrg() const noexcept { return m_ptOrg; }
    void LPtoDP(LPRECT lpRect) const noexcept;
    void DPtoLP(LPRECT lpRect) const noexcept;

    COLORREF SetTextColor(COLORREF cr);
    COLORREF GetTextColor() const noexcept { return m_crText; }
    COLORREF SetBkColor(COLORREF cr);
    COLORREF GetBkColor() const noexcept { return m_crBk; }
    int SetBkMode(int nMode);
    int GetBkMode() const noexcept { return m_nBkMode; }

    // Fills the rectangle with the colour (a rectangle without area fills nothing). Sets the
    // background colour to cr, as the original does.
    void FillSolidRect(LPCRECT lpRect, COLORREF cr);
    void FillSolidRect(int x, int y, int cx, int cy, COLORREF cr);
    // Draws text with the selected font and the text colour, honouring DT_CENTER, DT_RIGHT,
    // DT_VCENTER, DT_BOTTOM (with DT_SINGLELINE) and DT_NOCLIP; without DT_NOCLIP the text is
    // clipped to the rectangle. With DT_SINGLELINE line breaks do not break the line. An OPAQUE
    // background mode fills the text's extent with the background colour first. Returns the text
    // height in pixels, 0 when nothing could be drawn.
    int DrawText(const CString& str, LPRECT lpRect, UINT nFormat);
    int DrawText(LPCTSTR lpszString, int nCount, LPRECT lpRect, UINT nFormat);
    // Width and height in pixels of a single line of text in the selected font.
    SIZE GetTextExtent(const CString& str) const;
    // Copies a block from the source context's bitmap (SRCCOPY only; other operations fail).
    BOOL BitBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc, DWORD dwRop);

    // Diagnostics: the number of characters of str that no installed font has a glyph for in the
    // selected font (after font fallback).
    int GetUnknownGlyphCount(const CString& str) const;

protected:
    // Paint contexts draw into a bitmap of their own, limited to the area being painted.
    void AttachSurface(CBitmap* pBitmap, const RECT& rcSystemClip);
    bool m_bDrawn = false;  // something was drawn since the context was made
    bool m_bPrinting = false;

private:
    friend class CGdiObject;
    void Deselect(CGdiObject* pObj);
    void Select(CGdiObject* pObj);
    // The device rectangle drawing can reach: bitmap bounds, system clip and clip region.
    RECT DeviceClip() const;
    RECT ToDevice(const RECT& rc) const noexcept;

    bool m_bSysClip = false;
    RECT m_rcSysClip = {0, 0, 0, 0};

    bool m_bMemory = false;
    CBitmap m_stockBitmap;
    CFont m_stockFont;
    CBitmap* m_pBitmap = nullptr;
    CFont* m_pFont = nullptr;
    bool m_bClip = false;
    RECT m_rcClip = {0, 0, 0, 0};  // device coordinates
    POINT m_ptOrg = {0, 0};
    COLORREF m_crText = 0;
    COLORREF m_crBk = RGB(255, 255, 255);
    int m_nBkMode = OPAQUE;
};

struct PAINTSTRUCT {
    void* hdc;
    BOOL fErase;
    RECT rcPaint;
};

// The context a window paints with inside WM_PAINT: it covers the window's client area, starts
// with the window's current image, is clipped to the area to be painted, and on destruction
// copies what was drawn into the window's target and validates the window.
class GORV_API CPaintDC : public CDC {
public:
    explicit CPaintDC(CWnd* pWnd);
    ~CPaintDC() override;
    PAINTSTRUCT m_ps;

protected:
    CWnd* m_pWnd;
    CBitmap m_surface;
};

// ---- images --------------------------------------------------------------------------------
// An RGBA image: 4 bytes per pixel in R, G, B, A order, straight (not premultiplied) alpha, rows
// top down, stride bytes apart. It owns its pixels, or borrows a caller's buffer (Attach).
class GORV_API CGorvRgbaImage {
public:
    CGorvRgbaImage() = default;
    CGorvRgbaImage(const CGorvRgbaImage&) = delete;
    CGorvRgbaImage& operator=(const CGorvRgbaImage&) = delete;

    // Owned pixels of the given size, all transparent black (a size below 0 counts as 0).
    // FALSE, leaving an empty image, when the memory cannot be had.
    BOOL Reset(int nWidth, int nHeight);
    // Borrows the caller's buffer, which must stay valid while attached; stride >= 4 x width.
    // FALSE (and nothing changes) for a null buffer, a negative size or a short stride.
    BOOL Attach(BYTE* pPixels, int nWidth, int nHeight, int nStride);
    BOOL IsBorrowed() const noexcept { return m_pBorrowed != nullptr; }

    int GetWidth() const noexcept { return m_nWidth; }
    int GetHeight() const noexcept { return m_nHeight; }
    int GetStride() const noexcept { return m_nStride; }
    BYTE* GetPixels() noexcept { return m_pBorrowed ? m_pBorrowed : m_aOwned.data(); }
    const BYTE* GetPixels() const noexcept { return m_pBorrowed ? m_pBorrowed : m_aOwned.data(); }
    // The pixel's colour (alpha dropped) and alpha; x, y outside the image give 0.
    COLORREF GetPixel(int x, int y) const noexcept;
    BYTE GetAlpha(int x, int y) const noexcept;
    // Fills every pixel with the colour and alpha.
    void Fill(COLORREF cr, BYTE alpha = 255) noexcept;

    // Encodes the image as PNG; FALSE when encoding fails or the image is empty.
    BOOL EncodePng(std::vector<unsigned char>& out) const;
    // Writes the image to a PNG file (UTF-8 path); FALSE when the file cannot be written.
    BOOL SavePng(const char* pszPath) const;

private:
    std::vector<BYTE> m_aOwned;
    BYTE* m_pBorrowed = nullptr;
    int m_nWidth = 0;
    int m_nHeight = 0;
    int m_nStride = 0;
};

// Diagnostics: TRUE when an installed font can draw text (the default face has glyphs for
// Latin letters). Without one, text is drawn as placeholder boxes or not at all.
GORV_API BOOL GorvFontsInstalled();
