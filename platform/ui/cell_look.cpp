#include "platform/ui/cell_look.h"

#include "platform/ui/mask.h"

namespace payroll::ui {
namespace {

bool IsPlainNumber(std::string_view text) {
    std::size_t i = text.empty() || text[0] != '-' ? 0 : 1;
    bool digits = false, point = false;
    for (; i < text.size(); ++i) {
        char c = text[i];
        if (c >= '0' && c <= '9') {
            digits = true;
        } else if (c == '.' && !point) {
            point = true;
        } else {
            return false;
        }
    }
    return digits;
}

CellLook::Align AlignOf(std::string_view align) {
    auto has = [align](std::string_view word) {
        return align.find(word) != std::string_view::npos;
    };
    if (has("ALIGN_RIGHT") || has("DT_RIGHT")) return CellLook::Align::kRight;
    if (has("ALIGN_CENTER") || has("DT_CENTER")) return CellLook::Align::kCenter;
    return CellLook::Align::kLeft;
}

}  // namespace

std::string GroupThousands(std::string_view text) {
    if (!IsPlainNumber(text)) return std::string(text);
    std::size_t sign = text[0] == '-' ? 1 : 0;
    std::size_t point = text.find('.');
    std::size_t whole_end = point == std::string_view::npos ? text.size() : point;
    std::string out(text.substr(0, sign));
    for (std::size_t i = sign; i < whole_end; ++i) {
        if (i > sign && (whole_end - i) % 3 == 0) out += ',';
        out += text[i];
    }
    out.append(text.substr(whole_end));
    return out;
}

CellLook LookOfCell(std::string_view mask, long spec_mask, std::string_view text) {
    CellLook look;
    const CellMask parsed = ParseMask(mask);
    look.align = AlignOf(parsed.align);
    if ((spec_mask & kDateSpecMask) != 0 && text.size() == 8 && IsPlainNumber(text)) {
        look.text = ApplyMask(ParseMask("@M####/##/##"), text).c_str();
        return look;
    }
    const bool amount = mask.find("@I(DBL)") != std::string_view::npos || parsed.numeric;
    if (amount && IsPlainNumber(ApplyMask(parsed, text))) {
        look.text = GroupThousands(ApplyMask(parsed, text)).c_str();
        look.align = CellLook::Align::kRight;
        return look;
    }
    look.text = ApplyMask(parsed, text).c_str();
    return look;
}

}  // namespace payroll::ui
