// Dialog templates: the layout of a dialog as data. Each lives in
// resources/dialogs/<id>.json:
//
//   {"id": 1016, "title": "", "size": [223, 181],
//    "controls": [{"id": 1, "kind": "button", "text": "OK", "rect": [113, 162, 40, 14]}]}
//
// Sizes and rectangles ([x, y, width, height]) are in dialog units, which
// the dialog turns into pixels (see DialogUnitsToPixels). Kinds: "button",
// "static", "progress", "grid", "form". A template whose file is missing or
// does not parse comes from the copy built into the library.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "payroll/wnd.h"

namespace payroll::ui {

struct ControlTemplate {
    int id = 0;
    std::string kind;
    std::string text;
    CRect rect;  // dialog units
};

struct DialogTemplate {
    int id = 0;
    std::string title;
    int width = 0;  // dialog units
    int height = 0;
    std::vector<ControlTemplate> controls;
};

// Parses a template; nullopt when the text is not a template of that id.
// Controls with a missing or bad field are left out.
std::optional<DialogTemplate> ParseDialogTemplate(std::string_view json, int expected_id);

// The template of a dialog: from <resources>/dialogs/<id>.json, else the
// built-in copy; nullopt when neither exists.
std::optional<DialogTemplate> LoadDialogTemplate(int id);

// The built-in copy alone.
std::optional<DialogTemplate> BuiltinDialogTemplate(int id);

// Dialog units to pixels with the base units of the dialog font (6 by 13
// pixels for 4 by 8 units).
CRect DialogUnitsToPixels(const CRect& units);

}  // namespace payroll::ui
