#include "cli/demo_report.h"

#include <cstdio>

#include "cli/commands.h"

namespace payroll::cli {

int RunDemoRoads(const std::string& company, int year) {
    std::printf("Company %s of %d is ready.\n", company.c_str(), year);
    return kOk;
}

}  // namespace payroll::cli
