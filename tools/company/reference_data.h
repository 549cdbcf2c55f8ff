// The reference rows of a generated company: code tables, settings, item
// definitions and the year's tax tables.
#pragma once

#include <string>
#include <vector>

#include "tools/company/batch_writer.h"

namespace payroll::company {

struct Item {
    std::string code;
    std::string name;
    std::string name_en;
    std::string tax_fg;     // "001" taxable
    std::string exemption;  // TXEX_FG of a non-taxable pay item
};

// The first `count` pay items ("P00" base pay first) and deduction items
// ("S00", "S10", "S20", "T00", "T10" first).
std::vector<Item> PayItems(int count);
std::vector<Item> DeductionItems(int count);
// The pay items of the special-allowance pay type "110".
std::vector<Item> SpecialItems();

void WriteCodeTables(BatchWriter& w, const std::string& company);
void WriteItemDefinitions(BatchWriter& w, const std::string& company, int year, int pay_items,
                          int deduction_items);
// Removes the year's tax tables under company "0000", so that the shipped
// law of the year takes their place once the company is written.
void ClearTaxTables(BatchWriter& w, int year);

}  // namespace payroll::company
