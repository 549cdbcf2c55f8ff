// Visibility of the library's public surface. Everything in libpayroll.so is
// hidden unless it carries PAYROLL_API.
#pragma once

#define PAYROLL_API __attribute__((visibility("default")))
// A member of an exported class that stays inside the library.
#define PAYROLL_INTERNAL __attribute__((visibility("hidden")))
