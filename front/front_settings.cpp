#include "front/front_settings.h"

#include <cstdlib>

#include "platform/lang/lang_util.h"
#include "platform/registry/app_settings.h"

namespace payroll::front {

FrontSettings ReadFrontSettings() {
    FrontSettings out;
    config::AppSettings app = config::ReadAppSettings();
    out.app_name = app.app_name;
    out.folder = app.folder;
    out.lang_kind = app.lang_kind;
    out.ver_kind = app.ver_kind;
    out.lang_text = std::to_string(app.lang_kind);
    out.use_main_names = app.lang_kind == app.ver_kind;
    return out;
}

void LoadFrontTexts(const FrontSettings& settings) {
    TheLangUtil().ReadLangString(std::atoi(settings.lang_text.c_str()), settings.folder.c_str(),
                                 kLangModule);
}

std::string NameColumn(const char* column, bool use_main_names) {
    std::string out = column ? column : "";
    if (!use_main_names) out += 'K';
    return out;
}

}  // namespace payroll::front
