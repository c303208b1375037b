// The fixed Visual Basic text that generated functions rely on: six constants and the
// procedures AddField, AddIndex and AddQueryDef.
#pragma once

#include <string>
#include <string_view>

#include "version.h"

namespace zl::vbgen {

// The program's version text, written into every module header.
inline constexpr std::string_view kGeneratorVersion = zl::kVersionText;

// Appends the six constants ("Const dbCounter = -10" ...) and a blank line; every line begins
// with `prefix` ("" or "Public ").
void appendAuxConstants(std::string& out, std::string_view prefix);

// Appends AddField, AddIndex and AddQueryDef, each followed by a blank line; with
// `privateProcedures` each "Sub" line begins with "Private ".
void appendAuxProcedures(std::string& out, bool privateProcedures);

}  // namespace zl::vbgen
