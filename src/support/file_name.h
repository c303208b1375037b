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
// The drive of `text`, or "" when the name is invalid.
std::string FileDrive(const std::string& text);
// The full name (base name and extension) of `text`, or "" when the name is invalid.
std::string FileFullName(const std::string& text);

// True when `text` names a file (not a directory) that can be opened for reading.
bool FileExists(const std::string& text);

// Drops a leading "X:" from `text`, then removes and returns its first component: the whole rest
// when there is no separator, a leading separator on its own, else the text before the first
// separator (`text` keeps what follows that separator).
std::string SplitFirstComponent(std::string& text);

// `text` as a directory: unchanged when (right-trimmed) it is empty or ends with a separator or
// ":"; the directory of the file when it names an existing file; else `text` plus a separator.
std::string DirectoryOf(const std::string& text);

// The path of `relative` seen from the directory `base` (the current directory when `base` is
// empty), resolving ".", ".." and a leading separator component by component.
std::string ResolvePath(const std::string& base, const std::string& relative);

}  // namespace zl::support
