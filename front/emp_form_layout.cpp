#include "front/emp_form_layout.h"

namespace payroll::front {
namespace {

// Value cell masks.
constexpr const char* kText = "@EX(0)@D14@A(DT_LEFT|DT_VCENTER|DT_SINGLELINE)";
constexpr const char* kTextGap = "@EX(0)@D14@A(DT_LEFT|DT_VCENTER|DT_SINGLELINE)@P35";
constexpr const char* kFlagWideGap =
    "@EX(0)@D14@A(DT_LEFT|DT_VCENTER|DT_SINGLELINE)              @P35";
constexpr const char* kFlagGap = "@EX(0)@D14@A(DT_LEFT|DT_VCENTER|DT_SINGLELINE)  @P35";
constexpr const char* kDate = "@E9(0)@M####/##/##@D14@A(DT_CENTER|DT_VCENTER|DT_SINGLELINE)";
constexpr const char* kDateGap = "@E9(0)@M####/##/##@D14@A(DT_CENTER|DT_VCENTER|DT_SINGLELINE)@P35";
constexpr const char* kCount = "@E9(0)@D14@A(DT_CENTER|DT_VCENTER|DT_SINGLELINE)";
constexpr const char* kCountGap = "@E9(0)@D14@A(DT_CENTER|DT_VCENTER|DT_SINGLELINE)@P35";
constexpr const char* kName = "@EX(0)@D31@A(DT_LEFT|DT_VCENTER|DT_SINGLELINE)";
constexpr const char* kRegNo = "@E9(0)@M######-#######@D14@A(DT_LEFT|DT_VCENTER|DT_SINGLELINE)@P35";
constexpr const char* kNationality = "@EX(0)@D9@A(DT_LEFT|DT_VCENTER|DT_SINGLELINE)";
constexpr const char* kForeignNo = "@EX(0)@D15@A(DT_LEFT|DT_VCENTER|DT_SINGLELINE)";
constexpr const char* kJobGroup = "@EX(0)@D14@A@A(DT_LEFT|DT_VCENTER|DT_SINGLELINE)";
constexpr const char* kPayStep = "@EX(0)@D24@A(DT_LEFT|DT_VCENTER|DT_SINGLELINE)@P35";
constexpr const char* kHalfCount = "@E9(2)@D14@A(DT_CENTER|DT_VCENTER|DT_SINGLELINE)";

FormCell L(int text) {
    return FormCell{text, nullptr};
}
FormCell V(const char* mask) {
    return FormCell{0, mask};
}

}  // namespace

const std::vector<FormCell>& FormRow(int row) {
    static const std::array<std::vector<FormCell>, kFormRows> rows = {{
        {L(1029)},
        {L(1030), V(kTextGap), L(1031), V(kName)},
        {L(1032), V(kRegNo), L(1033), V(kNationality), V(kForeignNo)},
        {L(1034), V(kDateGap), L(1035), V(kFlagWideGap), L(1036), V(kDate)},
        {L(1037), V(kDateGap), L(1038), V(kDateGap)},
        {L(1039), V(kTextGap), L(1040), V(kTextGap), L(1041), V(kText)},
        {L(1042), V(kTextGap), L(1043), V(kText)},
        {L(1044), V(kTextGap), L(1045), V(kTextGap), L(1046), V(kJobGroup)},
        {L(1047), V(kTextGap), L(1048), V(kPayStep)},
        {L(1049)},
        {L(1050), V(kTextGap), L(1051), V(kTextGap), L(1052), V(kText)},
        {L(1053), V(kCountGap), L(1054), V(kCountGap), L(1055), V(kHalfCount)},
        {L(1056), V(kCountGap), L(1057), V(kFlagGap), L(1058), V(kCount)},
        {L(1059), V(kCountGap), L(1060), V(kFlagGap), L(1061), V(kText)},
        {L(1062)},
    }};
    static const std::vector<FormCell> none;
    if (row < 0 || row >= kFormRows) return none;
    return rows[static_cast<std::size_t>(row)];
}

}  // namespace payroll::front
