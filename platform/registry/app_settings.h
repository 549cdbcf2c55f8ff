// The application settings the engine's constructor and every front dialog
// read from the registry: which application runs us, where its files are,
// the language of the user-visible texts, and which of two name columns the
// queries select.
#pragma once

#include <string>

#include "platform/registry/registry.h"

namespace payroll::config {

inline constexpr const char* kVendorKey = "Software\\Orvantis";
// Longest application name kept (the value is read into a 1025-byte buffer).
inline constexpr std::size_t kMaxAppNameBytes = 1024;

struct AppSettings {
    std::string app_name;  // RunApp under Software\Orvantis; empty when missing
    std::string folder;    // path under Software\Orvantis\<app>; empty when missing
    int lang_kind = 0;     // LangKind, 0 when missing
    int ver_kind = 0;      // VerKind, 0 when missing
    // True when LangKind equals VerKind (so also when both are missing): the
    // queries then select CTD_NM, KOR_NM, DEPT_NM rather than the *_NMK columns.
    bool use_main_names = true;
};

// Reads the settings from a registry. Missing keys and values keep their
// defaults; an empty RunApp names no application key, so nothing more is read.
AppSettings ReadAppSettings(const Registry& registry);

// Reads the settings from the registry file (RegistryFilePath()).
AppSettings ReadAppSettings();

}  // namespace payroll::config
