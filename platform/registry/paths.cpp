#include "platform/registry/paths.h"

#include <cstdlib>

namespace payroll::config {
namespace {

std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

}  // namespace

std::string RegistryFilePath() {
    if (std::string explicit_path = Env("PAYROLL_REGISTRY"); !explicit_path.empty())
        return explicit_path;
    if (std::string xdg = Env("XDG_CONFIG_HOME"); !xdg.empty()) return xdg + "/payroll/registry";
    if (std::string home = Env("HOME"); !home.empty()) return home + "/.config/payroll/registry";
    return {};
}

std::string ResourceFolder() {
    if (std::string folder = Env("PAYROLL_RESOURCES"); !folder.empty()) return folder;
#ifdef PAYROLL_SOURCE_DIR
    return std::string(PAYROLL_SOURCE_DIR) + "/resources";
#else
    return "resources";
#endif
}

}  // namespace payroll::config
