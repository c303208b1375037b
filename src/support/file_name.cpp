// Taking file names apart. Positions in the comments are 1-based like the rules they describe;
// the code works with 0-based offsets. Separators are ASCII, so UTF-8 names split safely.
#include "support/file_name.h"

namespace zl::support {

namespace {

bool isSeparator(char c) { return c == '\\' || c == '/'; }

std::string rightTrimmed(const std::string& text) {
    std::size_t end = text.find_last_not_of(' ');
    return end == std::string::npos ? std::string() : text.substr(0, end + 1);
}

void clear(FileNameParts& parts) { parts = FileNameParts{}; }

// Steps 1 and 3 of the split: strips enclosing quotes and finds the drive. Returns false for an
// invalid name; sets `deviceOnly` when the whole text is a device such as "LPT1:".
bool splitDrive(std::string& text, FileNameParts& parts, bool& deviceOnly) {
    if (!text.empty() && text[0] == '"') {
        std::size_t close = text.find('"', 1);
        if (close != std::string::npos) text = text.substr(1, close - 1);
    }
    // Only a ':' before the first separator can be a drive: on this platform ':' is an ordinary
    // character of file and directory names.
    std::size_t firstSeparator = text.find_first_of("\\/");
    std::size_t colon = text.find(':');
    if (colon == std::string::npos || colon > firstSeparator) return true;
    if (colon == 1) {
        parts.Drive = text.substr(0, 2);
        return true;
    }
    // Device names: "COM1:", "LPT1:", "CON:" (the ':' last, at position 4 or 5).
    if (colon == text.size() - 1 && (colon == 3 || colon == 4)) {
        parts.Drive = text;
        deviceOnly = true;
        return true;
    }
    return false;
}

}  // namespace

bool SplitFileName(std::string text, FileNameParts& parts) {
    clear(parts);
    bool deviceOnly = false;
    if (!splitDrive(text, parts, deviceOnly)) {
        clear(parts);
        return false;
    }
    if (deviceOnly) return true;

    // s: 0-based offset of the first character that may hold the directory's separator.
    const std::size_t s = rightTrimmed(parts.Drive).size();
    std::size_t rest = s;  // 0-based offset of the text after the directory
    char separator = '\\';
    for (std::size_t i = text.size(); i > s; --i) {
        if (isSeparator(text[i - 1])) {
            separator = text[i - 1];
            parts.Directory = (i - 1 == s) ? text.substr(0, i) : text.substr(0, i - 1);
            rest = i;
            break;
        }
    }

    std::string r = text.substr(rest);
    if (rightTrimmed(r) == "..") {
        std::string dir = rightTrimmed(parts.Directory);
        if (!dir.empty() && !isSeparator(dir.back())) dir += separator;
        parts.Directory = dir + "..";
    } else {
        parts.BaseName = r;
        std::size_t dot = r.rfind('.');
        if (dot != std::string::npos) {
            parts.BaseName = r.substr(0, dot);
            parts.Extension = r.substr(dot + 1);
        }
    }

    std::string base = rightTrimmed(parts.BaseName);
    if (!rightTrimmed(parts.Extension).empty() && base.empty()) {
        // A name such as ".txt": an extension without a name. The base name stays (blank).
        parts.Extension.clear();
        parts.Directory.clear();
        parts.Drive.clear();
        return false;
    }
    parts.FullName = rightTrimmed(parts.Extension).empty() ? base : base + "." + parts.Extension;
    if (rightTrimmed(parts.FullName) == ".") parts.FullName.clear();
    return true;
}

std::string FileBaseName(const std::string& text) {
    FileNameParts parts;
    SplitFileName(text, parts);
    return parts.BaseName;
}

}  // namespace zl::support
