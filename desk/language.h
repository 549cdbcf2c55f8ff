// The desk's language switch (Korean, English), kept in its settings file.
// The library takes its language from the registry file (LangKind); so that
// the switch needs no hand-written registry, the desk writes a registry of
// its own beside its settings (the user's registry file, when there is one,
// with LangKind set) and points the library at it for this process. Without
// a kept choice the desk follows the user's registry, as before.
#pragma once

#include <QString>
#include <optional>

namespace payroll::desk {

inline constexpr int kKorean = 0;
inline constexpr int kEnglish = 1;

// The language kept in the settings file; nullopt when none was chosen.
std::optional<int> KeptLanguage();

// The language the desk starts in: the kept one, else the library's.
int StartLanguage();

// Makes `language` the language of the desk's texts and of the library's
// windows, reads and papers in this process, and keeps it in the settings
// file when `keep`. False, with the reason, when the library's registry
// could not be written (the desk's own texts change all the same).
bool ApplyLanguage(int language, bool keep, QString* error);

// The language a --language value names ("ko", "en", "0", "1"); nullopt for
// anything else.
std::optional<int> LanguageByName(const QString& name);

// The registry text that sets `language` over the user's registry text
// `base` (empty: no registry file): `base` with the application's LangKind
// set, the application named when `base` names none.
QString RegistryWithLanguage(const QString& base, int language);

}  // namespace payroll::desk
