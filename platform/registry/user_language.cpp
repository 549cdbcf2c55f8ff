#include "payroll/settings.h"
#include "platform/registry/app_settings.h"

namespace payroll {

int UserLanguage() {
    return config::ReadAppSettings().lang_kind;
}

}  // namespace payroll
