// Where the platform finds its files: the registry file and the resources
// folder (language strings, dialog templates).
#pragma once

#include <string>

namespace payroll::config {

// The registry file: $PAYROLL_REGISTRY when set and not empty, else
// $XDG_CONFIG_HOME/payroll/registry, else $HOME/.config/payroll/registry;
// empty when none of these can be formed.
std::string RegistryFilePath();

// The resources folder: $PAYROLL_RESOURCES when set and not empty, else the
// installed share/payroll of an installed library, else the resources folder
// of the source tree the library was built from (payroll::ResourceDirectory).
std::string ResourceFolder();

}  // namespace payroll::config
