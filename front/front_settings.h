// The front dialogs' settings: where the user-visible texts come from, in
// which language, and which of two name columns the queries select.
#pragma once

#include <string>

namespace payroll::front {

struct FrontSettings {
    std::string app_name;   // RunApp under Software\Orvantis
    std::string folder;     // path under Software\Orvantis\<app>
    std::string lang_text;  // LangKind rendered with "%d"
    int lang_kind = 0;
    int ver_kind = 0;
    // LangKind equals VerKind (so also when both are missing).
    bool use_main_names = true;
};

// Reads the settings from the registry; missing keys and values keep their
// defaults (language 0, no folder, main names).
FrontSettings ReadFrontSettings();

// Loads the language texts the settings name into the one shared store.
void LoadFrontTexts(const FrontSettings& settings);

// A dialog's name-column choice: set by the settings, never cleared again.
inline void MergeNameChoice(const FrontSettings& settings, bool* use_main_names) {
    if (settings.use_main_names) *use_main_names = true;
}

// "A.KOR_NM" as it is, or with "K" added ("A.KOR_NMK") for the second names.
std::string NameColumn(const char* column, bool use_main_names);

}  // namespace payroll::front
