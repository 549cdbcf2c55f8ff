#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

namespace payroll::testing {

// A file path under the test's temporary folder that no other test process
// uses: ctest runs test programs side by side, so a fixed name would let one
// test remove or overwrite another's file.
inline std::string TempPath(const std::string& stem) {
    static int serial = 0;
    return ::testing::TempDir() + "/payroll_" + stem + "_" + std::to_string(::getpid()) + "_" +
           std::to_string(++serial);
}

}  // namespace payroll::testing
