#include "platform/registry/app_settings.h"

#include "payroll/fixed_text.h"

namespace payroll::config {

AppSettings ReadAppSettings(const Registry& registry) {
    AppSettings settings;
    if (!registry.HasKey(kVendorKey)) {
        settings.use_main_names = true;
        return settings;
    }
    if (auto app = registry.GetString(kVendorKey, "RunApp")) {
        settings.app_name = app->substr(0, payroll::Utf8PrefixLength(*app, kMaxAppNameBytes));
    }
    if (!settings.app_name.empty()) {
        std::string app_key = std::string(kVendorKey) + "\\" + settings.app_name;
        if (auto path = registry.GetString(app_key, "path")) settings.folder = *path;
        if (auto lang = registry.GetDword(app_key, "LangKind"))
            settings.lang_kind = static_cast<int>(static_cast<std::int32_t>(*lang));
        if (auto ver = registry.GetDword(app_key, "VerKind"))
            settings.ver_kind = static_cast<int>(static_cast<std::int32_t>(*ver));
    }
    settings.use_main_names = settings.lang_kind == settings.ver_kind;
    return settings;
}

AppSettings ReadAppSettings() {
    return ReadAppSettings(Registry::LoadDefault());
}

}  // namespace payroll::config
