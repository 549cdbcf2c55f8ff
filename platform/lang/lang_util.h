// CG_LangUtil: the library's store of numbered user-visible texts. There is
// one shared instance (TheLangUtil()); the engine's constructor and each front
// dialog load it, and every message and label is fetched from it by number.
//
// Languages are numbered as the registry's LangKind: 0 Korean, 1 English.
// Language n of module M is the file "M.<n>.txt", looked up in this order:
//   1. <folder>/M.<n>.txt, where folder is the registry's `path` value;
//   2. <folder>/lang/M.<n>.txt;
//   3. <resources>/lang/M.<n>.txt (PAYROLL_RESOURCES, else the source tree).
// The Korean and English files are also built into the library: a text the
// loaded file lacks (or leaves empty) comes from the built-in texts of that
// language, or of Korean for a language that is not built in.
#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "payroll/cstring.h"
#include "platform/lang/format_spec.h"
#include "platform/lang/lang_table.h"

inline constexpr const char* kLangModule = "G_Mirak";
inline constexpr int kLangKorean = 0;
inline constexpr int kLangEnglish = 1;

class CG_LangUtil {
  public:
    CG_LangUtil();

    // Loads the texts of a language. Returns 1 when a language file was read,
    // 0 when only the built-in texts are in use. folder and module may be null.
    int ReadLangString(int language, const char* folder, const char* module);

    // The text with that number; empty only for a number no file or built-in
    // table defines.
    CString GetLangString(int id) const;

    // The built-in text of that number in the current language (Korean when
    // the language is not built in); empty when none.
    CString GetBuiltinString(int id) const;

    int language() const;
    std::string loaded_path() const;  // empty when no file was read
    int skipped_lines() const;        // unreadable lines of the loaded file

  private:
    mutable std::mutex mutex_;
    int language_ = kLangKorean;
    std::string path_;
    payroll::lang::LangTable file_;
};

// The one shared instance of the library.
CG_LangUtil& TheLangUtil();

namespace payroll::lang {

// The built-in table of a language; nullptr when it is not built in.
const LangTable* BuiltinTable(int language);

// The file a language would be read from, following the lookup order above;
// empty when none exists. The module name must be a plain file name part.
std::string FindLangFile(int language, const std::string& folder, const std::string& module);

// Formats language text `id` with the arguments when its conversions match
// them in number and kind (%d and the like for long long, %f and the like for
// double, %s for text; see ConversionsMatch); a file text that does not match
// is replaced by the built-in text, and when even that does not match the
// text is shown unformatted with the arguments after it. A text from a file
// never reaches printf as a format.
CString FormatLangText(int id, const std::vector<FormatArg>& args);
CString FormatLangText(const CG_LangUtil& util, int id, const std::vector<FormatArg>& args);

}  // namespace payroll::lang
