// CWnd: the window subset of the platform layer. A window here has no screen: it has a client
// size, a window text, an update area and an RGBA target image (its "screen") that painting
// writes to. Messages are delivered synchronously through SendMessage to the virtual WindowProc.
// A host toolkit embeds a window by attaching its own RGBA buffer as the target and by listening
// for invalidations, then sending WM_PAINT (or calling UpdateWindow) when it wants the pixels.
#pragma once

#include <cstdint>

#include <gorv/platform/afx_gdi.h>
#include <gorv/platform/afx_string.h>
#include <gorv/platform/afx_types.h>
#include <gorv/platform/gorv_export.h>

typedef std::uintptr_t WPARAM;
typedef std::intptr_t LPARAM;
typedef std::intptr_t LRESULT;
typedef std::uintptr_t DWORD_PTR;
struct GorvWindowHandle;
typedef GorvWindowHandle* HWND;

// Messages the window layer delivers.
#define WM_SIZE 0x0005
#define WM_SETTEXT 0x000C
#define WM_GETTEXT 0x000D
#define WM_GETTEXTLENGTH 0x000E
#define WM_PAINT 0x000F
#define WM_ERASEBKGND 0x0014
// WM_SIZE's wParam.
#define SIZE_RESTORED 0

#define MAKELPARAM(l, h) ((LPARAM)(DWORD)(((WORD)(l)) | (((DWORD)(WORD)(h)) << 16)))
#define LOWORD(l) ((WORD)(((DWORD_PTR)(l)) & 0xffff))
#define HIWORD(l) ((WORD)((((DWORD_PTR)(l)) >> 16) & 0xffff))

// RedrawWindow flags (the others are accepted and ignored).
#define RDW_INVALIDATE 0x0001
#define RDW_ERASE 0x0004
#define RDW_VALIDATE 0x0008
#define RDW_NOERASE 0x0020
#define RDW_UPDATENOW 0x0100
#define RDW_ERASENOW 0x0200

// Window styles (stored, not interpreted).
#define WS_CHILD 0x40000000L
#define WS_VISIBLE 0x10000000L

// The largest side of a window in pixels (the drawing backend's surface limit).
#define GORV_MAX_WINDOW_SIDE 32767

// What a window tells its host through the notification callback.
enum GorvWindowEvent {
    GORV_WND_INVALIDATED = 1,  // rect: the area that became invalid (client coordinates)
    GORV_WND_PAINTED = 2,      // rect: the area of the target image that painting rewrote
};
typedef void (*GorvWindowNotify)(void* pUser, CWnd* pWnd, int nEvent, const RECT* pRect);

class GORV_API CWnd {
public:
    CWnd() noexcept;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;
    virtual ~CWnd();

    // Creates the window with a client area of rect's size (the position is kept but has no
    // meaning without a screen). The whole client area starts invalid, and the target image is
    // made the client size, all transparent black (unless a host buffer is attached). FALSE when
    // the window already exists, a side is negative or above GORV_MAX_WINDOW_SIDE, or the
    // target's memory cannot be had.
    virtual BOOL Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                        CWnd* pParentWnd, UINT nID);
    // Destroys the window; its state (text, update area, counters) is reset, the target kept.
    virtual BOOL DestroyWindow();
    HWND GetSafeHwnd() const noexcept { return m_hWnd; }
    DWORD GetStyle() const noexcept { return m_dwStyle; }
    UINT GetDlgCtrlID() const noexcept { return m_nID; }
    CWnd* GetParent() const noexcept { return m_pParent; }

    // Delivers the message to WindowProc at once and returns its result. Returns 0 without
    // delivering when the window does not exist.
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

    // (0, 0, width, height) of the client area; all zero when the window does not exist.
    void GetClientRect(LPRECT lpRect) const;
    void GetWindowRect(LPRECT lpRect) const;
    // Moves and resizes the window, then sends WM_SIZE; with bRepaint the window is invalidated.
    // Sides are clamped to 0..GORV_MAX_WINDOW_SIDE. An owned target image follows the new client
    // size (an empty one when its memory cannot be had).
    void MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint = TRUE);
    void MoveWindow(LPCRECT lpRect, BOOL bRepaint = TRUE);

    void SetWindowText(LPCTSTR lpszString);
    // Copies at most nMaxCount - 1 characters through WM_GETTEXT; returns the count copied.
    int GetWindowText(LPTSTR lpszStringBuf, int nMaxCount) const;
    void GetWindowText(CString& rString) const;
    int GetWindowTextLength() const;

    // Invalidation: adds the area (the whole client area for null) to the update area, counts
    // the call, and tells the host. Nothing happens when the window does not exist.
    void Invalidate(BOOL bErase = TRUE);
    void InvalidateRect(LPCRECT lpRect, BOOL bErase = TRUE);
    void ValidateRect(LPCRECT lpRect);
    // The bounding box of the update area; FALSE when nothing is invalid.
    BOOL GetUpdateRect(LPRECT lpRect, BOOL bErase = FALSE);
    // Sends WM_ERASEBKGND (when an erase is pending) and WM_PAINT when something is invalid.
    void UpdateWindow();
    // RDW_INVALIDATE (with RDW_ERASE) invalidates lpRectUpdate (null: the whole client area),
    // RDW_VALIDATE validates it, RDW_UPDATENOW then updates at once. pRgnUpdate, when given,
    // replaces lpRectUpdate by the region's bounding box.
    BOOL RedrawWindow(LPCRECT lpRectUpdate = nullptr, CRgn* pRgnUpdate = nullptr,
                      UINT flags = RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);

    // ---- host embedding ----
    // The image painting writes into: owned (client size) unless a host buffer is attached.
    CGorvRgbaImage& GetTarget() noexcept { return m_target; }
    const CGorvRgbaImage& GetTarget() const noexcept { return m_target; }
    // Paints into the caller's RGBA buffer from now on (see CGorvRgbaImage::Attach); painting
    // writes only where the buffer and the client area overlap. FALSE for a bad buffer.
    BOOL AttachTarget(BYTE* pPixels, int nWidth, int nHeight, int nStride);
    // Goes back to an owned image of the client size (transparent black).
    void DetachTarget();
    // The callback is called on every invalidation and after every paint that wrote the target.
    void SetNotify(GorvWindowNotify pfn, void* pUser) noexcept { m_pfnNotify = pfn; m_pNotifyUser = pUser; }
    // Counters since creation: invalidation calls, and paints (paint contexts begun).
    int GetInvalidateCount() const noexcept { return m_nInvalidateCount; }
    int GetPaintCount() const noexcept { return m_nPaintCount; }

    HWND m_hWnd;  // non-null while the window exists

protected:
    // Dispatch of every message; derived windows handle theirs and pass the rest on to the base.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // The default handling: WM_SETTEXT stores the window text (returns TRUE), WM_GETTEXT and
    // WM_GETTEXTLENGTH read it, WM_PAINT validates the window without drawing, WM_ERASEBKGND and
    // WM_SIZE do nothing (return 0); anything else returns 0.
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Default handling of the message being delivered now.
    LRESULT Default();

private:
    friend class CPaintDC;
    // Begins a paint: counts it and returns the area to paint, validating the window. A paint
    // asked for while nothing is invalid covers the whole client area, because a host's toolkit
    // asks for paints on its own schedule.
    RECT BeginPaintArea(BOOL& bErase);
    // Copies the painted area of the surface (client-sized) into the target and tells the host.
    void EndPaintArea(const RECT& rcPaint, const CBitmap& surface);
    void Notify(int nEvent, const RECT& rc);

    struct CurrentMessage {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };
    CurrentMessage m_msg = {0, 0, 0};
    CString m_strText;
    DWORD m_dwStyle = 0;
    UINT m_nID = 0;
    CWnd* m_pParent = nullptr;
    RECT m_rcWindow = {0, 0, 0, 0};
    RECT m_rcUpdate = {0, 0, 0, 0};  // bounding box of the update area; empty when valid
    bool m_bErasePending = false;
    int m_nInvalidateCount = 0;
    int m_nPaintCount = 0;
    CGorvRgbaImage m_target;
    GorvWindowNotify m_pfnNotify = nullptr;
    void* m_pNotifyUser = nullptr;
};

// TRUE when hWnd names an existing window.
GORV_API BOOL IsWindow(HWND hWnd);
