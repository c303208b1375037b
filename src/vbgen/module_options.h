// Gathering the options of one module generation from the settings.
#pragma once

#include "vbgen/module_writer.h"

namespace zl::vbgen {

// The options as the menu command gathers them: PrivateFunctions read again from the settings
// file ("Code", "Private functions", default true), the other five from the record in force.
ModuleOptions gatherModuleOptions();

// The module's encoding: UTF-8 when key "Encoding" of section "Code" says "UTF-8" (in any
// case), Windows-1252 otherwise.
ModuleEncoding moduleEncodingSetting();

}  // namespace zl::vbgen
