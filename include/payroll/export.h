// Visibility of the library's public surface. Everything in libpayroll.so is
// hidden unless it carries PAYROLL_API.
#pragma once

#define PAYROLL_API __attribute__((visibility("default")))
