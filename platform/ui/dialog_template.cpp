#include "platform/ui/dialog_template.h"

#include <nlohmann/json.hpp>

#include "platform/lang/embedded_file.h"
#include "platform/registry/paths.h"
#include "platform/registry/text_file.h"

namespace payroll::ui {
namespace {

using nlohmann::json;

constexpr int kMaxUnits = 10000;

bool SmallInt(const json& v, int lo, int hi, int* out) {
    if (!v.is_number_integer()) return false;
    auto n = v.get<long long>();
    if (n < lo || n > hi) return false;
    *out = static_cast<int>(n);
    return true;
}

bool Text(const json& obj, const char* key, std::string* out) {
    auto it = obj.find(key);
    if (it == obj.end()) return true;  // optional
    if (!it->is_string()) return false;
    *out = it->get<std::string>();
    return config::IsValidUtf8(*out);
}

}  // namespace

std::optional<DialogTemplate> ParseDialogTemplate(std::string_view text, int expected_id) {
    json doc = json::parse(text.begin(), text.end(), nullptr, /*allow_exceptions=*/false);
    if (!doc.is_object()) return std::nullopt;
    DialogTemplate t;
    auto id = doc.find("id");
    if (id == doc.end() || !SmallInt(*id, 1, 65535, &t.id) || t.id != expected_id)
        return std::nullopt;
    if (!Text(doc, "title", &t.title)) return std::nullopt;
    auto size = doc.find("size");
    if (size == doc.end() || !size->is_array() || size->size() != 2 ||
        !SmallInt((*size)[0], 0, kMaxUnits, &t.width) ||
        !SmallInt((*size)[1], 0, kMaxUnits, &t.height))
        return std::nullopt;
    auto controls = doc.find("controls");
    if (controls != doc.end() && controls->is_array()) {
        for (const json& c : *controls) {
            if (!c.is_object()) continue;
            ControlTemplate ct;
            auto cid = c.find("id");
            auto kind = c.find("kind");
            auto rect = c.find("rect");
            int x, y, w, h;
            if (cid == c.end() || !SmallInt(*cid, 0, 65535, &ct.id) || kind == c.end() ||
                !kind->is_string() || !Text(c, "text", &ct.text) || rect == c.end() ||
                !rect->is_array() || rect->size() != 4 || !SmallInt((*rect)[0], 0, kMaxUnits, &x) ||
                !SmallInt((*rect)[1], 0, kMaxUnits, &y) ||
                !SmallInt((*rect)[2], 0, kMaxUnits, &w) || !SmallInt((*rect)[3], 0, kMaxUnits, &h))
                continue;
            ct.kind = kind->get<std::string>();
            ct.rect = CRect(x, y, x + w, y + h);
            t.controls.push_back(std::move(ct));
        }
    }
    return t;
}

std::optional<DialogTemplate> BuiltinDialogTemplate(int id) {
    std::string name = std::to_string(id) + ".json";
    const embedded::EmbeddedFile* f =
        embedded::FindEmbedded(embedded::kDialogFiles, embedded::kDialogFilesCount, name);
    if (!f) return std::nullopt;
    return ParseDialogTemplate(f->text(), id);
}

std::optional<DialogTemplate> LoadDialogTemplate(int id) {
    std::string path = config::ResourceFolder() + "/dialogs/" + std::to_string(id) + ".json";
    config::TextLimits limits;
    limits.max_bytes = std::size_t{256} * 1024;
    if (auto text = config::ReadSmallFile(path, limits)) {
        if (auto t = ParseDialogTemplate(*text, id)) return t;
    }
    return BuiltinDialogTemplate(id);
}

CRect DialogUnitsToPixels(const CRect& u) {
    auto px_x = [](int v) { return v * 6 / 4; };
    auto px_y = [](int v) { return v * 13 / 8; };
    return CRect(px_x(u.left), px_y(u.top), px_x(u.right), px_y(u.bottom));
}

}  // namespace payroll::ui
