// DBCREATE.BAS. Constants of a standard module are private to it unless declared Public, and
// the generated modules that use this one need them.
#include "vbgen/dbcreate_module.h"

#include "support/encoding.h"
#include "support/save_file.h"
#include "vbgen/aux_procedures.h"

namespace zl::vbgen {

std::string DbCreateModuleText() {
    std::string out;
    out.append("' DBCREATE.BAS\r\n");
    out.append("' Constants and procedures used by the database creation modules that\r\n");
    out.append("' Zerlin Wizard ")
        .append(kGeneratorVersion)
        .append(" generates without their own copy of them\r\n");
    out.append("' (those whose header says \"Needs DBCREATE.BAS to work\").\r\n");
    out.append("' Add this module once to the project that holds them.\r\n");
    out.append("\r\n");
    out.append("Option Explicit\r\n");
    appendAuxConstants(out, "Public ");
    appendAuxProcedures(out, false);
    return out;
}

support::Status WriteDbCreateModule(const std::string& fileName, ModuleEncoding encoding) {
    std::string text = DbCreateModuleText();
    if (encoding == ModuleEncoding::Windows1252) text = support::toWindows1252(text);
    return support::saveFileReplacing(fileName, text);
}

}  // namespace zl::vbgen
