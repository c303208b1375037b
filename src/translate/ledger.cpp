// The ledger of untranslated items: its JSON form and its rendering as safe SQL comments.
#include <optional>

#include "translate/translate.h"

namespace zl::translate {

std::string_view targetName(Target target) {
    return target == Target::PostgreSql ? "postgresql" : "sqlite";
}

namespace {

// Replaces bytes that are not valid UTF-8 with U+FFFD, so both the JSON writer and PostgreSQL
// (which refuses invalid UTF-8 even inside comments) accept the text.
std::string validUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    std::size_t kept = 0;  // the valid bytes from here to `i` are copied in one piece
    std::size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            ++i;
            continue;
        }
        std::size_t len = 0;
        if (c >= 0xC2 && c <= 0xDF) {
            len = 2;
        } else if (c >= 0xE0 && c <= 0xEF) {
            len = 3;
        } else if (c >= 0xF0 && c <= 0xF4) {
            len = 4;
        }
        bool ok = len > 0 && i + len <= text.size();
        for (std::size_t k = 1; ok && k < len; ++k) {
            ok = (static_cast<unsigned char>(text[i + k]) & 0xC0) == 0x80;
        }
        if (ok && len >= 3) {
            const auto c1 = static_cast<unsigned char>(text[i + 1]);
            // Overlong forms, UTF-16 surrogates and code points past U+10FFFF.
            ok = !(c == 0xE0 && c1 < 0xA0) && !(c == 0xED && c1 >= 0xA0) &&
                 !(c == 0xF0 && c1 < 0x90) && !(c == 0xF4 && c1 >= 0x90);
        }
        if (ok) {
            i += len;
            continue;
        }
        out.append(text.substr(kept, i - kept));
        out += "\xEF\xBF\xBD";
        kept = ++i;
    }
    out.append(text.substr(kept));
    return out;
}

// Appends `text` (valid UTF-8) as a JSON string, written as nlohmann's writer writes it: the
// short escapes where JSON has them, \u00xx for the other control characters, and every
// other character as it stands.
void appendJsonString(std::string& out, std::string_view text) {
    out += '"';
    std::size_t kept = 0;  // the characters from here to `i` are copied in one piece
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c >= 0x20 && c != '"' && c != '\\') continue;
        out.append(text.substr(kept, i - kept));
        kept = i + 1;
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\b':
                out += "\\b";
                break;
            case '\f':
                out += "\\f";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default: {
                static const char kHex[] = "0123456789abcdef";
                out += "\\u00";
                out += kHex[c >> 4];
                out += kHex[c & 0xF];
            }
        }
    }
    out.append(text.substr(kept));
    out += '"';
}

// One member of an item: `"key": value` on its own line, indented as the items are; a null
// `value` is written as null.
void appendMember(std::string& out, std::string_view key, const std::string* value, bool last) {
    out.append("      \"").append(key).append("\": ");
    if (value != nullptr) {
        appendJsonString(out, validUtf8(*value));
    } else {
        out += "null";
    }
    if (!last) out += ',';
    out += '\n';
}

}  // namespace

std::string Ledger::toJson() const {
    // Written directly, in the layout of a two-space indented dump with sorted keys: ledgers of
    // large databases hold thousands of items, which a document tree copies several times.
    std::string out = "{\n  \"items\": [";
    for (std::size_t i = 0; i < items.size(); ++i) {
        const LedgerItem& item = items[i];
        out += i == 0 ? "\n    {\n" : ",\n    {\n";
        const auto optional = [](const std::optional<std::string>& value) {
            return value ? &*value : nullptr;
        };
        appendMember(out, "field", optional(item.field), false);
        appendMember(out, "original", &item.original, false);
        appendMember(out, "property", &item.property, false);
        appendMember(out, "query", optional(item.query), false);
        appendMember(out, "reason", &item.reason, false);
        appendMember(out, "table", optional(item.table), true);
        out += "    }";
    }
    if (!items.empty()) out += "\n  ";
    out += "],\n  \"target\": ";
    appendJsonString(out, targetName(target));
    out += "\n}";
    return out;
}

std::string sqlComment(std::string_view text) {
    const std::string clean = validUtf8(text);
    std::string out = "-- ";
    for (std::size_t i = 0; i < clean.size(); ++i) {
        const auto c = static_cast<unsigned char>(clean[i]);
        if (c == '\r' && i + 1 < clean.size() && clean[i + 1] == '\n') {
            continue;  // CR LF is one line break
        }
        if (c == '\r' || c == '\n') {
            out += "\n-- ";
        } else if (c < 0x20 || c == 0x7F) {
            out += ' ';  // a tab or control character: never a line end in either engine
        } else {
            out += static_cast<char>(c);
        }
    }
    // U+2028/U+2029 are no line ends for either engine, but editors show them as such; they stay.
    out += '\n';
    return out;
}

std::string ledgerComment(const LedgerItem& item) {
    std::string object;
    if (item.query) {
        object = "query " + *item.query;
    } else if (item.table) {
        object = "table " + *item.table;
        if (item.field) {
            object += ", field " + *item.field;
        }
    }
    std::string text = "Not translated: " + object + ", " + item.property + ": " + item.reason;
    text += "\n";
    text += item.original;
    return sqlComment(text);
}

}  // namespace zl::translate
