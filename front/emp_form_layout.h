// The employee viewer's form: 15 rows of label and value cells. Rows 0, 9
// and 14 are one-cell section headings; in the other rows label cells
// (language texts) and value cells (masks) alternate.
#pragma once

#include <array>
#include <vector>

namespace payroll::front {

inline constexpr int kFormRows = 15;
inline constexpr std::array<int, kFormRows> kFormColCounts = {1, 4, 5, 6, 4, 6, 4, 6,
                                                              4, 1, 6, 6, 6, 6, 1};
inline constexpr std::array<int, 3> kFormHeadingRows = {0, 9, 14};

struct FormCell {
    int label = 0;               // language text of a label cell; 0 for a value cell
    const char* mask = nullptr;  // mask of a value cell
};

// The cells of a row, left to right.
const std::vector<FormCell>& FormRow(int row);

// Where the loaders put their values.
struct FormPlace {
    int row;
    int col;
};
namespace form {
inline constexpr FormPlace kEmpCd{1, 1}, kKorNm{1, 3}, kRsrgNo{2, 1}, kRefrName{2, 3},
    kForgNo{2, 4}, kJoinDt{3, 1}, kApedFlag{3, 3}, kApedDt{3, 5}, kRpmcDt{4, 1}, kRtrDt{4, 3},
    kEnrlName{5, 1}, kEmplName{5, 3}, kHrspName{5, 5}, kHclsName{6, 1}, kPyspName{6, 3},
    kHtypName{7, 1}, kHoprName{7, 3}, kPrtyName{7, 5}, kDeptName{8, 1}, kPayStep{8, 3},
    kSpusFlag{10, 1}, kAbinFlag{10, 3}, kRsdcName{10, 5}, kTdfrSn{11, 1}, kSufrSn{11, 3},
    kChrsSn{11, 5}, kAgctSn{12, 1}, kFehrFlag{12, 3}, kHdcpSn{12, 5}, kFescDt{13, 1},
    kWmhhFlag{13, 3}, kWktgFlag{13, 5};
}  // namespace form

}  // namespace payroll::front
