#include "engine/build/default_row_text.h"

#include <cmath>
#include <cstdlib>
#include <initializer_list>
#include <vector>

#include "payroll/cstring.h"
#include "platform/text/number_parse.h"
#include "platform/text/sql_text.h"

namespace payroll::default_rows {
namespace {

using sql::Escape;

constexpr const char* kPayInsert =
    "INSERT INTO %s (CO_CD, PRTY_CD, DIV_CD, DEPT_CD, PJT_CD, EMP_CD, RVRS_YM, SQ, PYTP_FG, "
    "PYDD_FG, PAY_CD, PAY_AM, DUMMY1, DUMMY2, DUMMY3 ) values "
    "('%s','%s','%s','%s','%s','%s','%s',%s,'%s','%s','%s',%s, '%s','%s','%s' ) \n";

constexpr const char* kDeductionInsert =
    "INSERT INTO %s (CO_CD, PRTY_CD, DIV_CD, DEPT_CD, PJT_CD, EMP_CD, RVRS_YM, SQ, PYTP_FG, "
    "PYDD_FG, DDCT_CD, DDCT_AM, DUMMY1, DUMMY2, DUMMY3  ) values "
    "('%s','%s','%s','%s','%s','%s','%s',%s,'%s','%s','%s',%s, '%s','%s','%s' ) \n";

bool IsPlainDecimal(std::string_view t) {
    std::size_t i = 0;
    if (i < t.size() && t[i] == '-') ++i;
    std::size_t digits = 0;
    while (i < t.size() && t[i] >= '0' && t[i] <= '9') ++i, ++digits;
    if (digits == 0) return false;
    if (i < t.size() && t[i] == '.') {
        ++i;
        std::size_t decimals = 0;
        while (i < t.size() && t[i] >= '0' && t[i] <= '9') ++i, ++decimals;
        if (decimals == 0) return false;
    }
    return i == t.size();
}

// A template whose only conversions are %s, cut once into the literal text
// before each conversion (and whether the value there stands between
// quotes) and the text after the last.
class Template {
  public:
    explicit Template(std::string_view format) {
        std::size_t from = 0;
        for (std::size_t at = format.find("%s"); at != std::string_view::npos;
             at = format.find("%s", from)) {
            pieces_.push_back({format.substr(from, at - from), at > 0 && format[at - 1] == '\''});
            from = at + 2;
        }
        tail_ = format.substr(from);
    }

    // Appends the template filled with `values` in order (a missing value is
    // empty). A value goes in up to its first NUL, as printf's %s reads it;
    // one between quotes has its quotes doubled. Values are short: one pass
    // over each finds both.
    void AppendFilled(std::initializer_list<std::string_view> values, std::string* out) const {
        auto value = values.begin();
        for (const Piece& piece : pieces_) {
            out->append(piece.literal);
            if (value == values.end()) continue;
            const std::string_view v = *value++;
            std::size_t from = 0, i = 0;
            for (; i < v.size() && v[i] != '\0'; ++i) {
                if (v[i] != '\'' || !piece.quoted) continue;
                out->append(v.data() + from, i + 1 - from);
                out->push_back('\'');
                from = i + 1;
            }
            out->append(v.data() + from, i - from);
        }
        out->append(tail_);
    }

  private:
    struct Piece {
        std::string_view literal;
        bool quoted;
    };
    std::vector<Piece> pieces_;
    std::string_view tail_;
};

}  // namespace

std::string SqlNumber(std::string_view text) {
    if (text.empty()) return "0";
    if (IsPlainDecimal(text)) return std::string(text);
    const double value = payroll::text::NumberOf(text);
    CString out;
    out.Format("%1.4f", value);
    return out.str();
}

std::string DefaultAmount(std::string_view code, int pay_amount_flag, std::string_view pension,
                          std::string_view health) {
    if (pay_amount_flag != 0) {
        if (code == "S00") return SqlNumber(pension);
        if (code == "S10") return SqlNumber(health);
    }
    return "0";
}

bool IsStatutoryDeduction(std::string_view code) {
    return code == "S00" || code == "S10" || code == "S20" || code == "T00" || code == "T10" ||
           code == "T20";
}

void AppendInsertText(int kind, const RowValues& v, std::string* out) {
    static const Template pay(kPayInsert), deduction(kDeductionInsert);
    const std::string amount = SqlNumber(v.amount);
    (kind == 1 ? pay : deduction)
        .AppendFilled(
            {v.table, v.company, v.job_group, v.division, v.department, v.project, v.employee,
             v.month, v.sq, v.pay_type, v.item_class, v.code, amount, v.dummy1, v.dummy2, v.dummy3},
            out);
}

std::string InsertText(int kind, const RowValues& v) {
    std::string text;
    AppendInsertText(kind, v, &text);
    return text;
}

std::string DefaultAmountUpdate(const std::string& table, const std::string& amount,
                                const std::string& company, const std::string& employee,
                                const std::string& month, const std::string& pay_type,
                                const std::string& sq, const std::string& code) {
    CString text;
    text.Format(
        "UPDATE %s SET DDCT_AM=%s WHERE DDCT_AM <=0 AND CO_CD='%s' AND EMP_CD='%s' AND "
        "RVRS_YM='%s' AND PYTP_FG='%s' AND SQ=%s AND PYDD_FG='P3' AND DDCT_CD='%s' \n",
        table.c_str(), SqlNumber(amount).c_str(), Escape(company).c_str(), Escape(employee).c_str(),
        Escape(month).c_str(), Escape(pay_type).c_str(), sq.c_str(), Escape(code).c_str());
    return std::move(text.str());
}

std::string StatutoryDeleteText(const std::string& table, const std::string& company,
                                const std::string& month, const std::string& sq,
                                const std::string& head) {
    CString text;
    text.Format(
        "DELETE FROM  %s WHERE CO_CD='%s' AND RVRS_YM='%s' AND SQ=%s AND PYTP_FG <> '%s' AND ( "
        "DDCT_CD='S00' OR DDCT_CD='S10' OR DDCT_CD='S20' OR DDCT_CD='T00' OR DDCT_CD='T10' OR "
        "DDCT_CD='T20'  ) ",
        table.c_str(), Escape(company).c_str(), Escape(month).c_str(), sq.c_str(),
        Escape(head).c_str());
    return std::move(text.str());
}

long BatchOf(long ordinal) {
    if (ordinal < kFirstBatchTexts) return 0;
    return 1 + (ordinal - kFirstBatchTexts) / (kFirstBatchTexts + 1);
}

long BatchesFor(long texts) {
    return texts <= 0 ? 0 : BatchOf(texts - 1) + 1;
}

}  // namespace payroll::default_rows
