// CTextProgressCtrl: a progress bar that draws itself: a filled bar on a background with a
// centred text on top (the caller's caption, or the percentage). The text changes colour where
// the bar ends, because it is drawn twice through two clipping regions. The control keeps its
// own range, position and step, and paints through an off-screen bitmap.
//
// Painting goes to the window's target image (CWnd::GetTarget, or a host buffer attached with
// CWnd::AttachTarget). The font height is the character cell height in pixels (ascent plus
// descent), as a positive height is in the original drawing interface, not the em size.
#pragma once

#include <gorv/platform/afx_ctrl.h>
#include <gorv/platform/afx_gdi.h>
#include <gorv/platform/afx_string.h>
#include <gorv/platform/afx_wnd.h>
#include <gorv/platform/gorv_export.h>

class GORV_API CTextProgressCtrl : public CProgressCtrl {
public:
    // Position 0, step 1, range 0 to 100, no caption, text shown, bar in COLOR_HIGHLIGHT on
    // COLOR_WINDOW, text in COLOR_WINDOW over the bar and COLOR_HIGHLIGHT over the background
    // (see GetSysColor for their values), no repeat, default face, weight 700, cell height 13.
    CTextProgressCtrl();
    ~CTextProgressCtrl() override;

    // Returns the previous position, or -1 when the window does not exist (then nothing
    // changes). Stores the position; when the bar width (pixels) changes, the window is redrawn
    // at once (RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW).
    int SetPos(int nPos);
    int GetPos() const noexcept { return m_nPos; }
    // SetPos(position + nDelta); the sum saturates at the int range.
    int OffsetPos(int nDelta);
    // Returns the previous step.
    int SetStep(int nStep);
    int GetStep() const noexcept { return m_nStep; }
    // With repeat on and the position above the upper bound, the position first goes to 0 (not
    // to the lower bound); then SetPos(position + step). Returns what SetPos returns.
    int StepIt();
    // Stores the bounds; no redraw. A range with lower >= upper paints nothing.
    void SetRange(int nLower, int nUpper);
    void GetRange(int& nLower, int& nUpper) const noexcept { nLower = m_nLower; nUpper = m_nUpper; }
    // Stores the value as the position and returns the previous position; redraws when the
    // window exists and the bar width changed. The value is taken as a position, not converted.
    int SetPercent(int nPercent);
    // Stores the flag; when the window exists and the flag changed, invalidates the window.
    void SetShowText(int bShow);
    int GetShowText() const noexcept { return m_bShowText; }

    // Colours are stored without a redraw.
    void SetForeColour(COLORREF col) noexcept { m_colFore = col; }          // the bar
    void SetBkColour(COLORREF col) noexcept { m_colBk = col; }              // the background
    void SetTextForeColour(COLORREF col) noexcept { m_colTextFore = col; }  // text over the background
    void SetTextBkColour(COLORREF col) noexcept { m_colTextBk = col; }      // text over the bar
    COLORREF GetForeColour() const noexcept { return m_colFore; }
    COLORREF GetBkColour() const noexcept { return m_colBk; }
    COLORREF GetTextForeColour() const noexcept { return m_colTextFore; }
    COLORREF GetTextBkColour() const noexcept { return m_colTextBk; }

    void SetRepeat(int bRepeat) noexcept { m_bRepeat = bRepeat; }
    int GetRepeat() const noexcept { return m_bRepeat; }
    // Face (empty: the system's default sans-serif), weight 100..900, italic and underline
    // flags; no redraw.
    void SetFontData(CString strFace, int nWeight, int bItalic, int bUnderline);
    // Cell height in pixels; no redraw.
    void SetFontSize(int nHeight) noexcept { m_nFontHeight = nHeight; }
    int GetFontSize() const noexcept { return m_nFontHeight; }
    // Empties the caption; no redraw.
    void ResetText() { m_strCaption.Empty(); }

    // What the next paint draws: the caption when it is not empty, else the percentage
    // "%d%%" of truncate(f x 100) with f = (position - lower) / (upper - lower). Empty when the
    // range is empty (lower >= upper), which paints nothing.
    CString GetDisplayText() const;
    // The bar width in pixels that painting gives for the current client width, position and
    // range, as truncate(client width x f); 0 when the range is empty.
    int GetBarWidth() const;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void OnPaint();
    LRESULT OnSetText(LPARAM lParam);
    LRESULT OnGetText(WPARAM nMax, LPARAM lParam) const;
    // Width of the bar for the current state, as SetPos computes it.
    int ComputeBarWidth() const;
    void RedrawIfWidthChanged();

    int m_nPos;
    int m_nStep;
    int m_nUpper;
    int m_nLower;
    CString m_strCaption;
    int m_bShowText;
    int m_nBarWidth;  // last bar width in pixels; -1: unknown, the next SetPos redraws
    COLORREF m_colFore;
    COLORREF m_colBk;
    COLORREF m_colTextFore;
    COLORREF m_colTextBk;
    int m_bRepeat;
    CString m_strFontFace;
    int m_nFontWeight;
    int m_nFontItalic;
    int m_nFontUnderline;
    int m_nFontHeight;
};
