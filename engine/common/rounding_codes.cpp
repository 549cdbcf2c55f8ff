#include "engine/common/rounding_codes.h"

#include <cmath>

namespace payroll::rounding {
namespace {

struct Code {
    const char* code;
    const char* statement;
};

// The texts are sent exactly as they stand, irregular spacing included.
constexpr Code kCodes[] = {
    {"001", "SELECT ROUND(%.4f,2) VAL "},         {"002", "SELECT ROUND(%.4f,1,1)  VAL "},
    {"003", "SELECT ROUND(%.4f + 0.04,1) VAL "},  {"004", "SELECT ROUND(%.4f,0,1) VAL "},
    {"005", "SELECT ROUND(%.4f + 0.4,0) VAL "},   {"006", "SELECT ROUND(%.4f,-1,1) VAL "},
    {"007", "SELECT ROUND(%.4f + 4,-1) VAL "},    {"008", "SELECT ROUND(%.4f,-2,1) VAL "},
    {"009", "SELECT ROUND(%.4f+ 40,-2) VAL "},    {"010", "SELECT ROUND(%.4f,-3,1 )VAL "},
    {"011", "SELECT ROUND(%.4f + 400,-3) VAL "},  {"012", "SELECT ROUND(%.4f,-4,1)\tVAL "},
    {"013", "SELECT ROUND(%.4f + 4000,-4) VAL "}, {"014", "SELECT ROUND(%.4f,2,1) VAL "},
    {"015", "SELECT ROUND(%.4f +0.004,2) VAL "},  {"016", "SELECT ROUND(%.4f,1) VAL "},
    {"017", "SELECT ROUND(%.4f,0) VAL "},
};

}  // namespace

const char* StatementFor(std::string_view code) {
    for (const Code& c : kCodes)
        if (code == c.code) return c.statement;
    return nullptr;
}

double CutHalfUp(double value) {
    double whole = std::floor(value);
    double tenths = std::floor((value - whole) * 10);
    return tenths >= 5 ? whole + 1 : whole;
}

}  // namespace payroll::rounding
