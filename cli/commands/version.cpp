#include "cli/commands/version.h"

#include <CLI/CLI.hpp>

#include "payroll/host.h"
#include "payroll/version.h"

namespace payroll::cli {

std::string VersionText() {
    return std::string("payroll ") + PAYROLL_VERSION_STRING + " (libpayroll.so." +
           std::to_string(PAYROLL_SOVERSION) + ")\nresources: " + payroll::ResourceDirectory();
}

void AddVersionFlag(CLI::App& app) {
    app.set_version_flag("--version", std::function<std::string()>(VersionText),
                         "print the version and the resources folder, then exit");
}

}  // namespace payroll::cli
