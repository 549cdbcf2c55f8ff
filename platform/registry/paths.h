// Where the platform finds its files: the registry file and the resources
// folder (the schema, language strings, dialog templates, the law of each
// tax year). payroll::ResourceDirectory (payroll/host.h) hands hosts the same
// folder.
#pragma once

#include <string>

namespace payroll::config {

// The registry file: $PAYROLL_REGISTRY when set and not empty, else
// $XDG_CONFIG_HOME/payroll/registry, else $HOME/.config/payroll/registry;
// empty when none of these can be formed.
std::string RegistryFilePath();

// The resources folder: $PAYROLL_RESOURCES when set and not empty, else the
// installed share/payroll of an installed library (found beside the library
// file, also after its prefix was moved), else the resources folder of the
// source tree the library was built from.
std::string ResourceFolder();

}  // namespace payroll::config
