// The drawing backend over Cairo image surfaces and Pango text layout (fontconfig finds the
// fonts). Surfaces hold premultiplied ARGB32 pixels; every operation makes its own short-lived
// cairo context, so no drawing state survives between calls. Text is antialiased in grey only
// (no subpixel colours), so a text pixel is always a blend of the text and what lay beneath.
#include "platform/draw_backend.h"
#include "platform/library_pin.h"

#include <cairo.h>
#include <pango/pangocairo.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace gorv_draw {

struct Surface {
    cairo_surface_t* p;
};

namespace {

// The drawing libraries set up process-wide state when they load (pixman's implementations,
// fontconfig's configuration) and never free it. Unloaded together with this library, they would
// leak that state on every load and unload by a host, so they stay for the life of the process;
// this library itself can still be unloaded.
[[maybe_unused]] const bool g_bDrawingPinned =
    gorv_detail::pin_library_of(reinterpret_cast<const void*>(&pango_cairo_font_map_get_default));

void set_colour(cairo_t* cr, COLORREF c) {
    cairo_set_source_rgb(cr, GetRValue(c) / 255.0, GetGValue(c) / 255.0, GetBValue(c) / 255.0);
}

void clip_to(cairo_t* cr, const RECT& rc) {
    cairo_rectangle(cr, rc.left, rc.top, static_cast<double>(rc.right) - rc.left,
                    static_cast<double>(rc.bottom) - rc.top);
    cairo_clip(cr);
}

bool has_area(const RECT& rc) { return rc.right > rc.left && rc.bottom > rc.top; }

// A Pango context of the default font map with greyscale antialiasing.
PangoContext* make_context() {
    PangoFontMap* map = pango_cairo_font_map_get_default();
    PangoContext* ctx = pango_font_map_create_context(map);
    cairo_font_options_t* fo = cairo_font_options_create();
    cairo_font_options_set_antialias(fo, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_subpixel_order(fo, CAIRO_SUBPIXEL_ORDER_DEFAULT);
    pango_cairo_context_set_font_options(ctx, fo);
    cairo_font_options_destroy(fo);
    return ctx;
}

// The em size in pixels that gives the requested height: a positive height is the cell height
// (ascent + descent of the primary face), a negative one the em size; 0 gives a 16-pixel cell.
double em_pixels(PangoContext* ctx, PangoFontDescription* desc, long nHeight) {
    if (nHeight < 0) return -static_cast<double>(nHeight);
    const double cell = nHeight == 0 ? 16.0 : static_cast<double>(nHeight);
    const double probe = 100.0;
    pango_font_description_set_absolute_size(desc, probe * PANGO_SCALE);
    double em = cell;  // no face to measure: take the cell for the em
    if (PangoFont* font = pango_context_load_font(ctx, desc)) {
        PangoFontMetrics* m = pango_font_get_metrics(font, nullptr);
        const double cellAtProbe =
            (pango_font_metrics_get_ascent(m) + pango_font_metrics_get_descent(m)) / static_cast<double>(PANGO_SCALE);
        if (cellAtProbe > 0) em = cell * probe / cellAtProbe;
        pango_font_metrics_unref(m);
        g_object_unref(font);
    }
    return em;
}

PangoFontDescription* make_font(PangoContext* ctx, const FontDesc& f) {
    PangoFontDescription* desc = pango_font_description_new();
    pango_font_description_set_family(desc, f.strFaceUtf8.empty() ? "Sans" : f.strFaceUtf8.c_str());
    const long w = f.nWeight <= 0 ? 400 : std::min<long>(std::max<long>(f.nWeight, 100), 1000);
    pango_font_description_set_weight(desc, static_cast<PangoWeight>(w));
    pango_font_description_set_style(desc, f.bItalic ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);
    // Sizes beyond any screen are clamped: glyphs are rasterised whole, whatever the clip.
    const double em = std::min(em_pixels(ctx, desc, f.nHeight), 2048.0);
    pango_font_description_set_absolute_size(desc, std::max(em, 1.0) * PANGO_SCALE);
    return desc;
}

// A single-line layout of the text in the font; the caller unrefs it.
PangoLayout* make_layout(PangoContext* ctx, const FontDesc& f, const std::string& utf8) {
    PangoLayout* layout = pango_layout_new(ctx);
    PangoFontDescription* desc = make_font(ctx, f);
    pango_layout_set_font_description(layout, desc);
    pango_font_description_free(desc);
    pango_layout_set_single_paragraph_mode(layout, TRUE);
    if (f.bUnderline || f.bStrikeOut) {
        PangoAttrList* attrs = pango_attr_list_new();
        if (f.bUnderline) pango_attr_list_insert(attrs, pango_attr_underline_new(PANGO_UNDERLINE_SINGLE));
        if (f.bStrikeOut) pango_attr_list_insert(attrs, pango_attr_strikethrough_new(TRUE));
        pango_layout_set_attributes(layout, attrs);
        pango_attr_list_unref(attrs);
    }
    pango_layout_set_text(layout, utf8.c_str(), static_cast<int>(utf8.size()));
    return layout;
}

}  // namespace

Surface* create_surface(int w, int h) {
    if (w <= 0 || h <= 0) return nullptr;
    cairo_surface_t* p = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    if (cairo_surface_status(p) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(p);
        return nullptr;
    }
    return new Surface{p};
}

void destroy_surface(Surface* s) {
    if (!s) return;
    cairo_surface_destroy(s->p);
    delete s;
}

void fill_rect(Surface* s, const RECT& rc, const RECT* clip, COLORREF c) {
    if (!s || !has_area(rc)) return;
    cairo_t* cr = cairo_create(s->p);
    if (clip) clip_to(cr, *clip);
    clip_to(cr, rc);
    set_colour(cr, c);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_paint(cr);
    cairo_destroy(cr);
}

int draw_text(Surface* s, const FontDesc& font, const std::string& utf8, const RECT& rc, UINT fmt,
              const RECT* clip, COLORREF text, bool bOpaque, COLORREF bk) {
    if (!s) return 0;
    cairo_t* cr = cairo_create(s->p);
    PangoContext* ctx = make_context();
    pango_cairo_update_context(cr, ctx);
    PangoLayout* layout = make_layout(ctx, font, utf8);
    PangoRectangle ink, logical;
    pango_layout_get_pixel_extents(layout, &ink, &logical);

    const long w = rc.right - rc.left, h = rc.bottom - rc.top;
    long x = rc.left, y = rc.top;
    if (fmt & DT_CENTER) {
        x = rc.left + (w - logical.width) / 2;
    } else if (fmt & DT_RIGHT) {
        x = rc.right - logical.width;
    }
    if (fmt & DT_SINGLELINE) {
        if (fmt & DT_VCENTER) {
            y = rc.top + (h - logical.height) / 2;
        } else if (fmt & DT_BOTTOM) {
            y = rc.bottom - logical.height;
        }
    }
    if (clip) clip_to(cr, *clip);
    if (!(fmt & DT_NOCLIP)) clip_to(cr, rc);
    if (bOpaque) {
        cairo_rectangle(cr, x, y, logical.width, logical.height);
        set_colour(cr, bk);
        cairo_fill(cr);
    }
    set_colour(cr, text);
    cairo_move_to(cr, static_cast<double>(x - logical.x), static_cast<double>(y - logical.y));
    pango_cairo_show_layout(cr, layout);
    const int height = logical.height;
    g_object_unref(layout);
    g_object_unref(ctx);
    cairo_destroy(cr);
    return height;
}

SIZE text_extent(const FontDesc& font, const std::string& utf8) {
    PangoContext* ctx = make_context();
    PangoLayout* layout = make_layout(ctx, font, utf8);
    PangoRectangle logical;
    pango_layout_get_pixel_extents(layout, nullptr, &logical);
    g_object_unref(layout);
    g_object_unref(ctx);
    return SIZE{logical.width, logical.height};
}

int unknown_glyphs(const FontDesc& font, const std::string& utf8) {
    PangoContext* ctx = make_context();
    PangoLayout* layout = make_layout(ctx, font, utf8);
    const int n = pango_layout_get_unknown_glyphs_count(layout);
    g_object_unref(layout);
    g_object_unref(ctx);
    return n;
}

void copy_rect(Surface* dst, int dx, int dy, int w, int h, Surface* src, int sx, int sy, const RECT* dst_clip) {
    if (!dst || !src || w <= 0 || h <= 0) return;
    cairo_surface_flush(src->p);
    cairo_t* cr = cairo_create(dst->p);
    if (dst_clip) clip_to(cr, *dst_clip);
    clip_to(cr, RECT{dx, dy, static_cast<long>(dx) + w, static_cast<long>(dy) + h});
    cairo_set_source_surface(cr, src->p, static_cast<double>(dx) - sx, static_cast<double>(dy) - sy);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_paint(cr);
    cairo_destroy(cr);
}

namespace {

// The part of rc inside both the surface and the w x h buffer.
bool overlap(Surface* s, const RECT& rc, int w, int h, RECT& out) {
    const long sw = cairo_image_surface_get_width(s->p), sh = cairo_image_surface_get_height(s->p);
    out.left = std::max<long>(rc.left, 0);
    out.top = std::max<long>(rc.top, 0);
    out.right = std::min<long>({rc.right, sw, static_cast<long>(w)});
    out.bottom = std::min<long>({rc.bottom, sh, static_cast<long>(h)});
    return has_area(out);
}

}  // namespace

void read_rgba(Surface* s, const RECT& rc, BYTE* rgba, int w, int h, int stride) {
    RECT a;
    if (!s || !rgba || !overlap(s, rc, w, h, a)) return;
    cairo_surface_flush(s->p);
    const unsigned char* data = cairo_image_surface_get_data(s->p);
    const int sstride = cairo_image_surface_get_stride(s->p);
    for (long y = a.top; y < a.bottom; ++y) {
        for (long x = a.left; x < a.right; ++x) {
            std::uint32_t p;
            std::memcpy(&p, data + y * sstride + x * 4, 4);
            const unsigned al = p >> 24;
            unsigned r = (p >> 16) & 0xff, g = (p >> 8) & 0xff, b = p & 0xff;
            if (al == 0) {
                r = g = b = 0;
            } else if (al != 255) {
                r = (r * 255 + al / 2) / al;
                g = (g * 255 + al / 2) / al;
                b = (b * 255 + al / 2) / al;
            }
            BYTE* q = rgba + y * static_cast<long>(stride) + x * 4;
            q[0] = static_cast<BYTE>(std::min(r, 255u));
            q[1] = static_cast<BYTE>(std::min(g, 255u));
            q[2] = static_cast<BYTE>(std::min(b, 255u));
            q[3] = static_cast<BYTE>(al);
        }
    }
}

void write_rgba(Surface* s, const RECT& rc, const BYTE* rgba, int w, int h, int stride) {
    RECT a;
    if (!s || !rgba || !overlap(s, rc, w, h, a)) return;
    cairo_surface_flush(s->p);
    unsigned char* data = cairo_image_surface_get_data(s->p);
    const int sstride = cairo_image_surface_get_stride(s->p);
    for (long y = a.top; y < a.bottom; ++y) {
        for (long x = a.left; x < a.right; ++x) {
            const BYTE* q = rgba + y * static_cast<long>(stride) + x * 4;
            const unsigned al = q[3];
            const unsigned r = (q[0] * al + 127) / 255, g = (q[1] * al + 127) / 255, b = (q[2] * al + 127) / 255;
            const std::uint32_t p = (al << 24) | (r << 16) | (g << 8) | b;
            std::memcpy(data + y * sstride + x * 4, &p, 4);
        }
    }
    cairo_surface_mark_dirty(s->p);
}

namespace {

cairo_status_t append_bytes(void* closure, const unsigned char* data, unsigned int length) {
    auto* out = static_cast<std::vector<unsigned char>*>(closure);
    out->insert(out->end(), data, data + length);
    return CAIRO_STATUS_SUCCESS;
}

}  // namespace

bool encode_png(const BYTE* rgba, int w, int h, int stride, std::vector<unsigned char>& out) {
    Surface* s = create_surface(w, h);
    if (!s) return false;
    write_rgba(s, RECT{0, 0, w, h}, rgba, w, h, stride);
    out.clear();
    const cairo_status_t st = cairo_surface_write_to_png_stream(s->p, append_bytes, &out);
    destroy_surface(s);
    if (st != CAIRO_STATUS_SUCCESS) out.clear();
    return st == CAIRO_STATUS_SUCCESS;
}

bool write_png_file(const BYTE* rgba, int w, int h, int stride, const char* path) {
    Surface* s = create_surface(w, h);
    if (!s || !path) {
        destroy_surface(s);
        return false;
    }
    write_rgba(s, RECT{0, 0, w, h}, rgba, w, h, stride);
    const cairo_status_t st = cairo_surface_write_to_png(s->p, path);
    destroy_surface(s);
    return st == CAIRO_STATUS_SUCCESS;
}

}  // namespace gorv_draw
