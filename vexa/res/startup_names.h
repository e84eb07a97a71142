#pragma once
// The registry keys and values, the permission object and the fixed texts of
// start-up and the per-user settings: one definition for the program's
// code and its string table.
#include <string_view>

namespace vexa {

// Per-user settings key (string 129).
inline constexpr std::string_view kUserKey = "SOFTWARE\\Orvane\\Kelvane";
// Machine-wide family key; written with its trailing backslash, as the program names it.
inline constexpr std::string_view kFamilyKey = "SOFTWARE\\Orvane\\Talmor\\";
inline constexpr std::string_view kCommonKey = "SOFTWARE\\Orvane\\Talmor\\Common";

inline constexpr std::string_view kVersionValue = "VERSION";
inline constexpr std::string_view kApplicationDirValue = "APPLICATIONDIR";
inline constexpr std::string_view kRecordedDataDirValue = "RECORDEDDATADIR";

inline constexpr std::string_view kPermissionProgId = "Talmor_SelectDB.SelectDBClass";
inline constexpr std::string_view kPermissionMethod = "CheckUserPermission";
inline constexpr std::string_view kProductName = "Kelvane";
inline constexpr std::string_view kRefusalText = "The current user does not have permission to use this application.";

inline constexpr std::string_view kErrorListFile = "VexaV_ErrorList.txt";
inline constexpr std::string_view kBuiltInVersion = "3.9";
inline constexpr std::string_view kTitle = "Kelvane";
inline constexpr std::string_view kVersionedTitlePrefix = "Kelvane - Ver ";
inline constexpr std::string_view kDefaultDocsDir = "../Docs/";

}  // namespace vexa
