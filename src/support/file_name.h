// Taking file names apart by plain text rules: drive, directory, base name and extension.
// Both "\" and "/" separate path components.
#pragma once

#include <string>

namespace zl::support {

// The parts of a file name. For "C:\data\orders.mdb": "C:", "C:\data", "orders.mdb",
// "orders", "mdb".
struct FileNameParts {
    std::string Drive;      // "C:", or a whole device name such as "LPT1:"
    std::string Directory;  // text before the last separator; a root separator belongs to it
    std::string FullName;   // base name and extension joined by "."
    std::string BaseName;   // the file name without its extension
    std::string Extension;  // text after the last "." of the file name, without the dot
};

// Fills every field of `parts` (each emptied first) from `text` and returns true for a usable
// name, false for an invalid one (then all fields are empty, but for a blank base name).
// Touches no file; never fails.
bool SplitFileName(std::string text, FileNameParts& parts);

// The base name of `text`, whatever SplitFileName says of it ("" for an invalid name).
std::string FileBaseName(const std::string& text);

}  // namespace zl::support
