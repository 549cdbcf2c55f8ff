#include "platform/registry/paths.h"

#include <dlfcn.h>

#include <algorithm>
#include <cstdlib>
#include <exception>
#include <filesystem>

#include "payroll/host.h"

namespace payroll::config {
namespace {

std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

// The installed resources of the library file this code was loaded from:
// <libdir>/libpayroll.so.0 finds <prefix>/share/payroll beside it even when
// the whole prefix was moved (a staging folder, a package root), else the
// folder the build was configured to install to. Empty for a program of the
// build tree (its resources are the source tree's, never a stale installed
// copy) and when neither folder holds the schema.
std::string InstalledResources() {
#if defined(PAYROLL_INSTALL_RESOURCES) && defined(PAYROLL_RESOURCES_FROM_LIBDIR) && \
    defined(PAYROLL_BUILD_DIR)
    namespace fs = std::filesystem;
    Dl_info info{};
    if (!dladdr(reinterpret_cast<void*>(&ResourceFolder), &info) || !info.dli_fname ||
        !*info.dli_fname)
        return {};
    std::error_code ec;
    fs::path library = fs::weakly_canonical(info.dli_fname, ec);
    if (ec || library.empty()) return {};
    fs::path build = fs::weakly_canonical(PAYROLL_BUILD_DIR, ec);
    if (!ec && std::mismatch(build.begin(), build.end(), library.begin(), library.end()).first ==
                   build.end())
        return {};
    for (const fs::path& folder :
         {(library.parent_path() / PAYROLL_RESOURCES_FROM_LIBDIR).lexically_normal(),
          fs::path(PAYROLL_INSTALL_RESOURCES)}) {
        if (fs::exists(folder / "schema.sql", ec)) return folder.string();
    }
#endif
    return {};
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
    try {
        if (std::string env = Env("PAYROLL_RESOURCES"); !env.empty()) return env;
        if (std::string installed = InstalledResources(); !installed.empty()) return installed;
    } catch (const std::exception&) {
        // An unusable path: the source tree below.
    }
    return PAYROLL_SOURCE_DIR "/resources";
}

}  // namespace payroll::config

namespace payroll {

std::string ResourceDirectory() {
    return config::ResourceFolder();
}

}  // namespace payroll
