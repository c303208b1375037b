// DBCREATE.BAS: the module that generated modules without their own auxiliary procedures need.
#pragma once

#include <string>

#include "vbgen/module_writer.h"

namespace zl::vbgen {

// The text of DBCREATE.BAS (CR LF line ends): a short header, the six constants (Public) and
// the public procedures AddField, AddIndex and AddQueryDef.
std::string DbCreateModuleText();

// Writes DBCREATE.BAS to `fileName` through save-then-rename; never throws. The outcome carries
// the success message or the system's error text.
[[nodiscard]] support::Status WriteDbCreateModule(const std::string& fileName,
                                                  ModuleEncoding encoding);

}  // namespace zl::vbgen
