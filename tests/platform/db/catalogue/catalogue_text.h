// The filled text of one catalogue entry, for tests that compare a statement
// the code builds with the catalogue's: the catalogue is read once, and a
// missing entry or an unreadable catalogue fails the test that asked.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/db/catalogue/catalogue.h"

namespace payroll::catalogue {

inline const std::vector<Entry>& WholeCatalogue() {
    static const std::vector<Entry> entries = [] {
        std::vector<Entry> e;
        std::string error;
        EXPECT_TRUE(LoadCatalogue(&e, &error)) << error;
        return e;
    }();
    return entries;
}

inline std::string CatalogueText(const char* name) {
    const Entry* e = FindEntry(WholeCatalogue(), name);
    EXPECT_NE(e, nullptr) << name;
    return e ? e->text : "";
}

}  // namespace payroll::catalogue
