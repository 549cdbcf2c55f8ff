#include "platform/lang/lang_util.h"

#include <sys/stat.h>

#include <cctype>
#include <map>

#include "platform/lang/embedded_file.h"
#include "platform/registry/paths.h"
#include "platform/registry/text_file.h"

namespace payroll::lang {
namespace {

bool IsRegularFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool IsPlainName(const std::string& name) {
    if (name.empty() || name.size() > 64 || name.front() == '.') return false;
    for (char c : name)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_' && c != '-' && c != '.')
            return false;
    return true;
}

const std::map<int, LangTable>& BuiltinTables() {
    static const std::map<int, LangTable> tables = [] {
        std::map<int, LangTable> out;
        std::string prefix = std::string(kLangModule) + ".";
        for (std::size_t i = 0; i < embedded::kLangFilesCount; ++i) {
            const embedded::EmbeddedFile& f = embedded::kLangFiles[i];
            std::string name = f.name;
            if (name.rfind(prefix, 0) != 0) continue;
            std::string number = name.substr(prefix.size(), name.size() - prefix.size() - 4);
            if (number.empty() || number.size() > 4 ||
                number.find_first_not_of("0123456789") != std::string::npos)
                continue;
            out[std::stoi(number)] = ParseLangText(f.text());
        }
        return out;
    }();
    return tables;
}

}  // namespace

const LangTable* BuiltinTable(int language) {
    const auto& tables = BuiltinTables();
    auto it = tables.find(language);
    return it == tables.end() ? nullptr : &it->second;
}

std::string FindLangFile(int language, const std::string& folder, const std::string& module) {
    if (!IsPlainName(module)) return {};
    std::string name = module + "." + std::to_string(language) + ".txt";
    std::vector<std::string> candidates;
    if (!folder.empty()) {
        candidates.push_back(folder + "/" + name);
        candidates.push_back(folder + "/lang/" + name);
    }
    candidates.push_back(config::ResourceFolder() + "/lang/" + name);
    for (const std::string& path : candidates)
        if (IsRegularFile(path)) return path;
    return {};
}

CString FormatLangText(const CG_LangUtil& util, int id, const std::vector<FormatArg>& args) {
    std::string out;
    CString text = util.GetLangString(id);
    if (FormatChecked(text.str(), args, &out)) return CString(std::move(out));
    CString builtin = util.GetBuiltinString(id);
    if (FormatChecked(builtin.str(), args, &out)) return CString(std::move(out));
    // Neither matches (a programming slip): show the text as it is, then the values.
    out = builtin.IsEmpty() ? text.str() : builtin.str();
    for (const FormatArg& arg : args) {
        out += ' ';
        if (const auto* n = std::get_if<long long>(&arg))
            out += std::to_string(*n);
        else if (const auto* d = std::get_if<double>(&arg))
            out += std::to_string(*d);
        else
            out += std::get<std::string>(arg);
    }
    return CString(std::move(out));
}

CString FormatLangText(int id, const std::vector<FormatArg>& args) {
    return FormatLangText(TheLangUtil(), id, args);
}

}  // namespace payroll::lang

CG_LangUtil::CG_LangUtil() = default;

int CG_LangUtil::ReadLangString(int language, const char* folder, const char* module) {
    std::string path =
        payroll::lang::FindLangFile(language, folder ? folder : "", module ? module : "");
    payroll::lang::LangTable table;
    bool loaded = false;
    if (!path.empty()) {
        if (auto text = payroll::config::ReadSmallFile(path)) {
            table = payroll::lang::ParseLangText(*text);
            loaded = true;
        }
    }
    std::lock_guard<std::mutex> lock(mutex_);
    language_ = language;
    path_ = loaded ? path : std::string();
    file_ = std::move(table);
    return loaded ? 1 : 0;
}

CString CG_LangUtil::GetBuiltinString(int id) const {
    int language;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        language = language_;
    }
    for (int lang : {language, kLangKorean}) {
        if (const payroll::lang::LangTable* t = payroll::lang::BuiltinTable(lang)) {
            auto it = t->texts.find(id);
            if (it != t->texts.end() && !it->second.empty()) return CString(it->second);
        }
    }
    return CString();
}

CString CG_LangUtil::GetLangString(int id) const {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        auto it = file_.texts.find(id);
        if (it != file_.texts.end() && !it->second.empty()) return CString(it->second);
    }
    return GetBuiltinString(id);
}

int CG_LangUtil::language() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return language_;
}

std::string CG_LangUtil::loaded_path() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return path_;
}

int CG_LangUtil::skipped_lines() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return file_.skipped_lines;
}

CG_LangUtil& TheLangUtil() {
    static CG_LangUtil instance;
    return instance;
}
