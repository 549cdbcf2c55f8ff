#include "platform/registry/paths.h"

#include <cstdlib>

#include "payroll/host.h"

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

// The same folder the database layer reads the schema from: $PAYROLL_RESOURCES,
// the installed share/payroll, else the source tree.
std::string ResourceFolder() {
    return payroll::ResourceDirectory();
}

}  // namespace payroll::config
