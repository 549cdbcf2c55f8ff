#include "print/paper_canvas.h"

#include <cairo-pdf.h>
#include <cairo.h>
#include <fontconfig/fontconfig.h>
#include <pango/pangocairo.h>

#include <cstring>

#include "payroll/print.h"
#include "print/paper_file.h"

namespace payroll::print {
namespace {

// Set once a document was drawn: pango's font map then exists.
bool g_drew = false;

cairo_status_t WriteToFile(void* closure, const unsigned char* data, unsigned int length) {
    return static_cast<PaperFile*>(closure)->Write(data, length) ? CAIRO_STATUS_SUCCESS
                                                                 : CAIRO_STATUS_WRITE_ERROR;
}

// Text from the database as pango takes it: valid UTF-8 (a broken sequence
// becomes U+FFFD) on one line (control characters become blanks).
std::string Drawable(const std::string& text) {
    std::string out;
    if (g_utf8_validate(text.data(), static_cast<gssize>(text.size()), nullptr)) {
        out = text;
    } else {
        gchar* valid = g_utf8_make_valid(text.data(), static_cast<gssize>(text.size()));
        out = valid;
        g_free(valid);
    }
    for (char& c : out)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
    return out;
}

PangoLayout* MakeLayout(cairo_t* cr, const std::string& raw, double box, const TextStyle& style) {
    const std::string text = Drawable(raw);
    PangoLayout* layout = pango_cairo_create_layout(cr);
    PangoFontDescription* font = pango_font_description_new();
    pango_font_description_set_family(font, kPaperFont);
    pango_font_description_set_weight(font, style.bold ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
    pango_font_description_set_absolute_size(font, style.size * PANGO_SCALE);
    pango_layout_set_font_description(layout, font);
    pango_font_description_free(font);
    pango_layout_set_text(layout, text.c_str(), static_cast<int>(text.size()));
    if (style.wrap && box > 0) {
        pango_layout_set_width(layout, static_cast<int>(box * PANGO_SCALE));
        pango_layout_set_wrap(layout, PANGO_WRAP_WORD_CHAR);
        pango_layout_set_alignment(layout, style.align == Align::kRight    ? PANGO_ALIGN_RIGHT
                                           : style.align == Align::kCenter ? PANGO_ALIGN_CENTER
                                                                           : PANGO_ALIGN_LEFT);
    }
    return layout;
}

}  // namespace

bool CheckFont(std::string* error) {
    const std::string install = " (install Debian's fonts-nanum)";
    if (!FcInit()) {
        *error = "fontconfig could not start" + install;
        return false;
    }
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(kPaperFont));
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    bool found = false, hangul = false;
    if (match) {
        FcChar8* family = nullptr;
        for (int i = 0; FcPatternGetString(match, FC_FAMILY, i, &family) == FcResultMatch; ++i)
            found = found || std::strcmp(reinterpret_cast<const char*>(family), kPaperFont) == 0;
        FcCharSet* chars = nullptr;
        if (FcPatternGetCharSet(match, FC_CHARSET, 0, &chars) == FcResultMatch)
            hangul = FcCharSetHasChar(chars, 0xAC00) && FcCharSetHasChar(chars, 0xD55C);
        FcPatternDestroy(match);
    }
    if (found && hangul) return true;
    *error = std::string("the Korean font ") + kPaperFont + " is missing" + install;
    return false;
}

void ReleaseFonts() {
    // pango's font map hands work to threads of its own (loading fontconfig,
    // sorting fonts), which hold the map, and through it cairo's fonts, a
    // moment after the last layout is gone. cairo asserts that no font is
    // alive when its static data goes, and fontconfig that no cache is in
    // use: so the map is let go here, in this thread, once no other holds it;
    // if one still does after a while, both are left alone. A process that
    // drew nothing has no map, and none is made here.
    if (g_drew) {
        GObject* map = G_OBJECT(pango_cairo_font_map_get_default());
        g_object_ref(map);
        pango_cairo_font_map_set_default(nullptr);
        for (int waited = 0; waited < 2000 && g_atomic_int_get(&map->ref_count) > 1; ++waited)
            g_usleep(1000);
        if (g_atomic_int_get(&map->ref_count) > 1) return;
        g_object_unref(map);
        g_drew = false;
    }
    cairo_debug_reset_static_data();
    FcFini();
}

PdfCanvas::PdfCanvas(PaperFile& out, double width, double height, const std::string& title)
    : out_(out), width_(width), height_(height) {
    g_drew = true;
    surface_ = cairo_pdf_surface_create_for_stream(WriteToFile, &out, width, height);
    cairo_pdf_surface_set_metadata(surface_, CAIRO_PDF_METADATA_TITLE, title.c_str());
    cairo_pdf_surface_set_metadata(surface_, CAIRO_PDF_METADATA_CREATOR, "payroll");
    cr_ = cairo_create(surface_);
}

PdfCanvas::~PdfCanvas() {
    cairo_destroy(cr_);
    cairo_surface_destroy(surface_);
}

bool PdfCanvas::Broken() const {
    return out_.failed() || cairo_surface_status(surface_) != CAIRO_STATUS_SUCCESS ||
           cairo_status(cr_) != CAIRO_STATUS_SUCCESS;
}

double PdfCanvas::Text(double x, double y, double box, const std::string& text,
                       const TextStyle& style) {
    if (Broken()) return 0;
    PangoLayout* layout = MakeLayout(cr_, text, box, style);
    int w = 0, h = 0;
    pango_layout_get_size(layout, &w, &h);
    double dx = 0;
    if (!style.wrap && style.align == Align::kRight) dx = box - w / double(PANGO_SCALE);
    if (!style.wrap && style.align == Align::kCenter) dx = (box - w / double(PANGO_SCALE)) / 2;
    cairo_set_source_rgb(cr_, 0, 0, 0);
    cairo_move_to(cr_, x + dx, y);
    pango_cairo_show_layout(cr_, layout);
    g_object_unref(layout);
    return h / double(PANGO_SCALE);
}

double PdfCanvas::TextWidth(const std::string& text, const TextStyle& style) {
    if (Broken()) return 0;
    PangoLayout* layout = MakeLayout(cr_, text, 0, style);
    int w = 0, h = 0;
    pango_layout_get_size(layout, &w, &h);
    g_object_unref(layout);
    return w / double(PANGO_SCALE);
}

double PdfCanvas::TextHeight(const std::string& text, double box, const TextStyle& style) {
    if (Broken()) return 0;
    PangoLayout* layout = MakeLayout(cr_, text, box, style);
    int w = 0, h = 0;
    pango_layout_get_size(layout, &w, &h);
    g_object_unref(layout);
    return h / double(PANGO_SCALE);
}

void PdfCanvas::Line(double x1, double y1, double x2, double y2, double weight) {
    if (Broken()) return;
    cairo_set_source_rgb(cr_, 0, 0, 0);
    cairo_set_line_width(cr_, weight);
    cairo_move_to(cr_, x1, y1);
    cairo_line_to(cr_, x2, y2);
    cairo_stroke(cr_);
}

void PdfCanvas::Rect(double x, double y, double w, double h, double grey) {
    if (Broken()) return;
    cairo_set_source_rgb(cr_, grey, grey, grey);
    cairo_rectangle(cr_, x, y, w, h);
    cairo_fill(cr_);
}

void PdfCanvas::NextPage() {
    if (Broken()) return;
    cairo_show_page(cr_);
}

bool PdfCanvas::Finish(std::string* error) {
    // Finishing writes the fonts and the cross references: only a document
    // still whole gets that far.
    if (!Broken()) cairo_surface_finish(surface_);
    if (!Broken()) return true;
    if (out_.failed()) {
        *error = out_.FailureReason();
    } else {
        cairo_status_t status = cairo_status(cr_);
        if (status == CAIRO_STATUS_SUCCESS) status = cairo_surface_status(surface_);
        *error = std::string("the PDF could not be drawn: ") + cairo_status_to_string(status);
    }
    return false;
}

}  // namespace payroll::print
