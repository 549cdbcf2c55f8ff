// payroll --version: the program's version (the library's, from
// payroll/version.h) and where the library finds its resources.
#pragma once

#include <string>

namespace CLI {
class App;
}

namespace payroll::cli {

// "payroll 0.1.0 (libpayroll.so.0)" and a second line "resources: FOLDER".
std::string VersionText();

// Adds --version to the program; parsing it throws CLI::CallForVersion,
// which main() turns into the text above and exit code 0.
void AddVersionFlag(CLI::App& app);

}  // namespace payroll::cli
