// The drawing backend behind CDC, CBitmap and CGorvRgbaImage: surfaces of premultiplied 32-bit
// pixels, rectangle fills, single-line text, block copies, RGBA conversion and PNG encoding.
// One implementation (src/platform/cairo/draw_cairo.cpp, over Cairo and Pango); nothing of the
// libraries' own types crosses this interface. All rectangles are in surface pixels.
#pragma once

#include <string>
#include <vector>

#include <gorv/platform/afx_gdi.h>

namespace gorv_draw {

struct Surface;

// A surface of w x h pixels, transparent black; null for a size <= 0 or when memory fails.
Surface* create_surface(int w, int h);
void destroy_surface(Surface* s);

struct FontDesc {
    std::string strFaceUtf8;  // empty: the default sans-serif face
    long nHeight;             // > 0 cell height, < 0 em height, 0 default (pixels)
    long nWeight;             // 100..900, 0 = normal
    bool bItalic;
    bool bUnderline;
    bool bStrikeOut;
};

// Fills rc within clip (null: no clip) with the opaque colour.
void fill_rect(Surface* s, const RECT& rc, const RECT* clip, COLORREF cr);

// Single-line text placed in rc by the DT_ alignment flags of fmt; drawn within clip and, unless
// DT_NOCLIP, within rc. With bOpaque the text's extent is first filled with bk. Returns the line
// height in pixels (0 when no layout could be made).
int draw_text(Surface* s, const FontDesc& font, const std::string& utf8, const RECT& rc, UINT fmt,
              const RECT* clip, COLORREF text, bool bOpaque, COLORREF bk);

// Logical width and height of a single line of text.
SIZE text_extent(const FontDesc& font, const std::string& utf8);

// Characters of the text without a glyph in any installed font (after fallback).
int unknown_glyphs(const FontDesc& font, const std::string& utf8);

// Copies w x h pixels from src at (sx, sy) to dst at (dx, dy), within dst_clip (null: no clip).
void copy_rect(Surface* dst, int dx, int dy, int w, int h, Surface* src, int sx, int sy, const RECT* dst_clip);

// RGBA (straight alpha) <-> surface over the area rc of the surface; the RGBA buffer's pixel
// (0, 0) is the surface's (0, 0). Areas outside either side are skipped.
void read_rgba(Surface* s, const RECT& rc, BYTE* rgba, int w, int h, int stride);
void write_rgba(Surface* s, const RECT& rc, const BYTE* rgba, int w, int h, int stride);

// PNG bytes of an RGBA image; false on failure.
bool encode_png(const BYTE* rgba, int w, int h, int stride, std::vector<unsigned char>& out);

// Writes the RGBA image to a PNG file; false on failure.
bool write_png_file(const BYTE* rgba, int w, int h, int stride, const char* path);


}  // namespace gorv_draw
