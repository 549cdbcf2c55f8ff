// The papers' labels, from the language files like every other text of the
// library, read once per language.
#include <map>
#include <mutex>

#include "payroll/papers.h"
#include "platform/lang/lang_util.h"
#include "platform/registry/text_file.h"

namespace payroll::papers {
namespace {

const lang::LangTable& PaperTable(int language) {
    static std::mutex mutex;
    static std::map<int, lang::LangTable> tables;
    std::lock_guard<std::mutex> lock(mutex);
    auto it = tables.find(language);
    if (it != tables.end()) return it->second;
    lang::LangTable table;
    std::string path = lang::FindLangFile(language, "", kLangModule);
    if (!path.empty())
        if (auto text = config::ReadSmallFile(path)) table = lang::ParseLangText(*text);
    return tables.emplace(language, std::move(table)).first->second;
}

std::string Lookup(const lang::LangTable* table, int id) {
    if (!table) return {};
    auto it = table->texts.find(id);
    return it == table->texts.end() ? std::string() : it->second;
}

}  // namespace

std::string PaperText(int language, int id) {
    if (language != kLangEnglish) language = kLangKorean;
    std::string text = Lookup(&PaperTable(language), id);
    if (text.empty()) text = Lookup(lang::BuiltinTable(language), id);
    if (text.empty()) text = Lookup(lang::BuiltinTable(kLangKorean), id);
    return text;
}

}  // namespace payroll::papers
