// Access's Format() with the named formats and the common date format codes, written with the
// English (United States) names and order that the generated scripts assume.
#include <map>

#include "translate/emitter.h"

namespace zl::translate {

namespace {

struct DateToken {
    const char* code;
    const char* pg;      // to_char pattern
    const char* sqlite;  // "%x" strftime code, or a marker handled below
};

// Longest codes first so that "yyyy" wins over "yy".
const DateToken kDateTokens[] = {
    {"yyyy", "YYYY", "%Y"}, {"yy", "YY", "yy"}, {"mmmm", "FMMonth", "mmmm"}, {"mmm", "Mon", "mmm"},
    {"mm", "MM", "%m"},     {"m", "FMMM", "m"}, {"dddd", "FMDay", "dddd"},   {"ddd", "Dy", "ddd"},
    {"dd", "DD", "%d"},     {"d", "FMDD", "d"}, {"hh", "HH24", "%H"},        {"h", "FMHH24", "h"},
    {"nn", "MI", "%M"},     {"n", "FMMI", "n"}, {"ss", "SS", "%S"},          {"s", "FMSS", "s"},
};

const std::map<std::string, std::string> kNamedDates = {{"short date", "m/d/yyyy"},
                                                        {"medium date", "dd-mmm-yy"},
                                                        {"long date", "dddd, mmmm d, yyyy"},
                                                        {"short time", "hh:nn"},
                                                        {"long time", "h:nn:ss AM/PM"},
                                                        {"medium time", "hh:nn AM/PM"},
                                                        {"general date", "m/d/yyyy h:nn:ss AM/PM"}};

std::string sqliteToken(const std::string& code, const std::string& d, bool twelveHour) {
    const std::string month = "CAST(strftime('%m', " + d + ") AS INTEGER)";
    const std::string wday = "CAST(strftime('%w', " + d + ") AS INTEGER)";
    if (code == "%H" && twelveHour) {
        return "printf('%02d', (CAST(strftime('%H', " + d + ") AS INTEGER) + 11) % 12 + 1)";
    }
    if (code == "h") {
        return twelveHour
                   ? "CAST((CAST(strftime('%H', " + d + ") AS INTEGER) + 11) % 12 + 1 AS TEXT)"
                   : "CAST(CAST(strftime('%H', " + d + ") AS INTEGER) AS TEXT)";
    }
    if (code[0] == '%') return "strftime('" + code + "', " + d + ")";
    if (code == "yy") return "substr(strftime('%Y', " + d + "), 3)";
    if (code == "m") return "CAST(" + month + " AS TEXT)";
    if (code == "d") return "CAST(CAST(strftime('%d', " + d + ") AS INTEGER) AS TEXT)";
    if (code == "n") return "CAST(CAST(strftime('%M', " + d + ") AS INTEGER) AS TEXT)";
    if (code == "s") return "CAST(CAST(strftime('%S', " + d + ") AS INTEGER) AS TEXT)";
    if (code == "mmm")
        return "substr('JanFebMarAprMayJunJulAugSepOctNovDec', " + month + " * 3 - 2, 3)";
    if (code == "ddd") return "substr('SunMonTueWedThuFriSat', " + wday + " * 3 + 1, 3)";
    if (code == "mmmm") {
        return "rtrim(substr('January  February March    April    May      June     July     "
               "August   SeptemberOctober  November December ', " +
               month + " * 9 - 8, 9))";
    }
    return "rtrim(substr('Sunday   Monday   Tuesday  WednesdayThursday Friday   Saturday ', " +
           wday + " * 9 + 1, 9))";
}

Emitted formatDate(Emitter& e, const std::string& d, const std::string& format) {
    std::string lower = lowerAscii(format);
    const bool twelveHour = lower.find("am/pm") != std::string::npos;
    std::vector<std::string> pieces;  // SQLite: SQL pieces joined with ||
    std::string pgPattern;
    std::string literal;
    bool lastWasHour = false;
    auto flushLiteral = [&] {
        if (literal.empty()) return;
        std::string quoted = "\"";
        for (char c : literal) {
            if (c == '"' || c == '\\') quoted += '\\';
            quoted += c;
        }
        pgPattern += quoted + "\"";
        pieces.push_back(Emitter::textLiteral(literal));
        literal.clear();
    };
    std::size_t i = 0;
    while (i < lower.size()) {
        if (lower.compare(i, 5, "am/pm") == 0) {
            flushLiteral();
            pgPattern += "AM";
            pieces.push_back("(CASE WHEN CAST(strftime('%H', " + d +
                             ") AS INTEGER) < 12 THEN 'AM' ELSE 'PM' END)");
            i += 5;
            continue;
        }
        const DateToken* match = nullptr;
        for (const DateToken& token : kDateTokens) {
            const std::string code = token.code;
            if (lower.compare(i, code.size(), code) == 0) {
                match = &token;
                break;
            }
        }
        if (match == nullptr) {
            const char c = format[i];
            if (std::string_view("/-:., ").find(c) == std::string_view::npos) {
                throw Untranslatable{"Format code '" + std::string(1, c) + "' is not translated"};
            }
            literal += c;
            ++i;
            continue;
        }
        flushLiteral();
        std::string code = match->code;
        const DateToken* used = match;
        // "m" and "mm" right after an hour are minutes, as in Access.
        if (lastWasHour && (code == "m" || code == "mm")) {
            used = code == "m" ? &kDateTokens[13] : &kDateTokens[12];
        }
        std::string pgCode = used->pg;
        if (twelveHour && (std::string(used->code) == "hh" || std::string(used->code) == "h")) {
            pgCode = std::string(used->code) == "hh" ? "HH12" : "FMHH12";
        }
        pgPattern += pgCode;
        pieces.push_back(sqliteToken(used->sqlite, d, twelveHour));
        lastWasHour = code == "h" || code == "hh";
        i += code.size();
    }
    flushLiteral();
    if (e.pg()) {
        e.markStable("to_char");
        return {"to_char(" + d + ", " + Emitter::textLiteral(pgPattern) + ")", Type::Text};
    }
    std::string sql;
    for (const std::string& piece : pieces) sql += (sql.empty() ? "" : " || ") + piece;
    return {"(CASE WHEN " + d + " IS NULL THEN NULL ELSE " + (sql.empty() ? "''" : sql) + " END)",
            Type::Text};
}

}  // namespace

Emitted formatCall(Emitter& e, const Node& call) {
    if (call.args.size() != 2 || call.args[1]->kind != NodeKind::Text) {
        throw Untranslatable{"Format() without a literal format is not translated"};
    }
    const Emitted value = e.emit(*call.args[0]);
    const std::string format = call.args[1]->text;
    const std::string named = lowerAscii(format);
    if (value.type == Type::Bool || value.type == Type::Integer) {
        static const std::map<std::string, std::pair<const char*, const char*>> kWords = {
            {"yes/no", {"Yes", "No"}},
            {"true/false", {"True", "False"}},
            {"on/off", {"On", "Off"}}};
        if (auto it = kWords.find(named); it != kWords.end()) {
            const std::string test = e.asBool(value, call.pos).sql;
            return {"(CASE WHEN " + test + " THEN '" + it->second.first + "' WHEN NOT " + test +
                        " THEN '" + it->second.second + "' END)",
                    Type::Text};
        }
    }
    if (value.type == Type::Date || value.type == Type::Unknown) {
        auto it = kNamedDates.find(named);
        return formatDate(e, value.sql, it != kNamedDates.end() ? it->second : format);
    }
    throw Untranslatable{"Format() of this value with \"" + format + "\" is not translated"};
}

}  // namespace zl::translate
