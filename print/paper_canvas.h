// A PDF drawn with cairo and laid out with pango, in points, with the
// Korean font the papers use embedded in it. Text is drawn from the top
// left of its box; amounts are right-aligned in theirs.
#pragma once

#include <string>

// cairo's own names, declared here so that only the .cpp files include cairo.h.
typedef struct _cairo cairo_t;                  // NOLINT(bugprone-reserved-identifier)
typedef struct _cairo_surface cairo_surface_t;  // NOLINT(bugprone-reserved-identifier)

namespace payroll::print {

class PaperFile;

// The font family of the papers: Debian's NanumGothic (fonts-nanum). The
// font check and release are the library's own (payroll/print.h).
inline constexpr const char* kPaperFont = "NanumGothic";

enum class Align { kLeft, kCenter, kRight };

struct TextStyle {
    double size = 9;  // points
    bool bold = false;
    Align align = Align::kLeft;
    bool wrap = false;  // break lines at the box's width instead of one line
};

class PdfCanvas {
  public:
    // A document written to `out` (the caller's open paper), first page of
    // width x height points. Once a write has failed (or cairo has stopped
    // for any reason) nothing more is drawn: Finish then says why.
    PdfCanvas(PaperFile& out, double width, double height, const std::string& title);
    ~PdfCanvas();
    PdfCanvas(const PdfCanvas&) = delete;
    PdfCanvas& operator=(const PdfCanvas&) = delete;

    double width() const { return width_; }
    double height() const { return height_; }

    // Draws text in the box from (x, y) `box` wide; returns its height.
    double Text(double x, double y, double box, const std::string& text, const TextStyle& style);
    // The width and height the text takes on one line.
    double TextWidth(const std::string& text, const TextStyle& style);
    double TextHeight(const std::string& text, double box, const TextStyle& style);
    void Line(double x1, double y1, double x2, double y2, double weight = 0.5);
    void Rect(double x, double y, double w, double h, double grey);  // filled, 0 black .. 1 white
    void NextPage();
    // Finishes the document; false with a message when a write failed or
    // cairo reported an error.
    bool Finish(std::string* error);

  private:
    // True once the document cannot be whole: a write failed or cairo is in
    // error. Drawing on stops there, before cairo could trip over its own
    // broken state.
    bool Broken() const;

    PaperFile& out_;
    cairo_surface_t* surface_ = nullptr;
    cairo_t* cr_ = nullptr;
    double width_, height_;
};

}  // namespace payroll::print
