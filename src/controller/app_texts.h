// The program's own texts that the windows and their controller show.
#pragma once

#include "version.h"

namespace zl::controller {

// The application title: default title of every message box.
inline constexpr const char* kAppTitle = "Zerlin Wizard";
// The main window's caption.
inline constexpr const char* kWindowCaption = "Zerlin Wizard 1.1";
// The program version shown in the About box.
inline constexpr const char* kVersionText = zl::kVersionText;
// The maker's copyright notice (main window bottom line, About box).
inline constexpr const char* kCopyrightNotice = "Copyright (c) Zerlin Wizard developers";

// The file dialog's title; the save dialog keeps it too.
inline constexpr const char* kFileDialogTitle = "Open Access database";
// Title of the box that reports a database that cannot be opened.
inline constexpr const char* kOpenFailedTitle = "Couldn't open database";

// Titles of the export's dialogs, progress window, summary and messages.
inline constexpr const char* kExportSqliteTitle = "Export to SQLite database";
inline constexpr const char* kExportPostgresTitle = "Export to PostgreSQL";
// The answers offered when rows break rules.
inline constexpr const char* kLeaveRowsOut = "Leave Rows Out";
inline constexpr const char* kLoadWithoutRules = "Load Without Those Rules";
inline constexpr const char* kCancelAnswer = "Cancel";

// Main-window captions.
inline constexpr const char* kTablesCaption = "&Tables and QueryDefs:";
inline constexpr const char* kIndexesCaption = "&Indexes:";

}  // namespace zl::controller
