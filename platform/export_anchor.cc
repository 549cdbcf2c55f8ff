// libpayroll.so is assembled from the module archives; this file only gives
// the shared library target a source of its own.
#include "payroll/export.h"
