// Access's built-in functions, each with a faithful PostgreSQL and SQLite form or none.
#include <map>

#include "translate/emitter.h"

namespace zl::translate {

namespace {

[[noreturn]] void refuse(const Node& call, const std::string& why) {
    throw Untranslatable{call.text + "(): " + why + " (at " + std::to_string(call.pos + 1) + ")"};
}

void arity(const Node& call, std::size_t low, std::size_t high) {
    if (call.args.size() < low || call.args.size() > high) {
        refuse(call, "takes " + std::to_string(low) +
                         (high != low ? " to " + std::to_string(high) : "") + " arguments");
    }
}

// The lower-cased interval text of DateAdd/DateDiff/DatePart, which must be a literal.
std::string intervalOf(const Node& call) {
    const Node& first = *call.args[0];
    if (first.kind != NodeKind::Text) refuse(call, "the interval is not a literal text");
    return lowerAscii(first.text);
}

Emitted dateValue(Emitter& e, const Node& call, const Node& arg) {
    Emitted v = e.emit(arg);
    if (v.type != Type::Date && v.type != Type::Null && v.type != Type::Unknown) {
        refuse(call, "the argument is not a date");
    }
    return v;
}

// A date part as an integer: strftime code for SQLite, EXTRACT field for PostgreSQL.
std::string datePart(const Emitter& e, const std::string& date, const char* sqliteCode,
                     const char* pgField) {
    if (e.pg()) return "CAST(EXTRACT(" + std::string(pgField) + " FROM " + date + ") AS integer)";
    return "CAST(strftime('" + std::string(sqliteCode) + "', " + date + ") AS INTEGER)";
}

Emitted now(Emitter& e, const char* name) {
    e.markVolatile(std::string(name) + "()");
    return {e.pg() ? "LOCALTIMESTAMP(0)" : "datetime('now', 'localtime')", Type::Date};
}

Emitted dateAdd(Emitter& e, const Node& call) {
    arity(call, 3, 3);
    const std::string unit = intervalOf(call);
    const Emitted n = e.asNumber(e.emit(*call.args[1]), call.pos);
    const Emitted d = dateValue(e, call, *call.args[2]);
    static const std::map<std::string, std::pair<const char*, const char*>> kUnits = {
        {"yyyy", {"1 year", nullptr}}, {"q", {"3 months", nullptr}}, {"m", {"1 month", nullptr}},
        {"d", {"1 day", "days"}},      {"y", {"1 day", "days"}},     {"w", {"1 day", "days"}},
        {"ww", {"7 days", nullptr}},   {"h", {"1 hour", "hours"}},   {"n", {"1 minute", "minutes"}},
        {"s", {"1 second", "seconds"}}};
    auto it = kUnits.find(unit);
    if (it == kUnits.end()) refuse(call, "interval \"" + unit + "\" is not translated");
    if (e.pg()) {
        return {"(" + d.sql + " + CAST(" + n.sql + " AS integer) * INTERVAL '" + it->second.first +
                    "')",
                Type::Date};
    }
    if (it->second.second == nullptr && unit != "ww") {
        // SQLite's own month arithmetic carries past the month's end (Jan 31 + 1 month = Mar 2),
        // where Access stops at its last day (Feb 29): the day is put into the first of the
        // target month, capped by that month's last day, and the time of day is kept.
        const char* perUnit = unit == "yyyy" ? " * 12" : unit == "q" ? " * 3" : "";
        const std::string first = "date(" + d.sql + ", 'start of month', CAST(CAST(" + n.sql +
                                  " AS INTEGER)" + perUnit + " AS TEXT) || ' months')";
        const std::string day = "CAST(strftime('%d', " + d.sql + ") AS INTEGER)";
        const std::string lastDay =
            "CAST(strftime('%d', " + first + ", '+1 month', '-1 day') AS INTEGER)";
        return {"(date(" + first + ", CAST(min(" + day + ", " + lastDay +
                    ") - 1 AS TEXT) || ' days') || substr(" + d.sql + ", 11))",
                Type::Date};
    }
    const std::string count = unit == "ww" ? "7 * " + n.sql : n.sql;
    return {"datetime(" + d.sql + ", CAST(CAST(" + count + " AS INTEGER) AS TEXT) || ' " +
                it->second.second + "')",
            Type::Date};
}

// A count that grows by one at each boundary of `unit`, so differences count boundaries crossed.
std::string boundaryCount(const Emitter& e, const std::string& unit, const std::string& d) {
    if (e.pg()) {
        if (unit == "yyyy") return "EXTRACT(YEAR FROM " + d + ")";
        if (unit == "q")
            return "(EXTRACT(YEAR FROM " + d + ") * 4 + EXTRACT(QUARTER FROM " + d + "))";
        if (unit == "m")
            return "(EXTRACT(YEAR FROM " + d + ") * 12 + EXTRACT(MONTH FROM " + d + "))";
        if (unit == "d" || unit == "y") return "(CAST(" + d + " AS date) - DATE '2000-01-01')";
        if (unit == "h") return "floor(EXTRACT(EPOCH FROM " + d + ") / 3600)";
        if (unit == "n") return "floor(EXTRACT(EPOCH FROM " + d + ") / 60)";
        if (unit == "s") return "floor(EXTRACT(EPOCH FROM " + d + "))";
        return {};
    }
    if (unit == "yyyy") return "CAST(strftime('%Y', " + d + ") AS INTEGER)";
    if (unit == "q") {
        return "(CAST(strftime('%Y', " + d + ") AS INTEGER) * 4 + (CAST(strftime('%m', " + d +
               ") AS INTEGER) + 2) / 3)";
    }
    if (unit == "m") {
        return "(CAST(strftime('%Y', " + d + ") AS INTEGER) * 12 + CAST(strftime('%m', " + d +
               ") AS INTEGER))";
    }
    if (unit == "d" || unit == "y") return "CAST(julianday(date(" + d + ")) AS INTEGER)";
    if (unit == "h") return "CAST(floor(julianday(" + d + ") * 24 + 1e-9) AS INTEGER)";
    if (unit == "n") return "CAST(floor(julianday(" + d + ") * 1440 + 1e-9) AS INTEGER)";
    if (unit == "s") return "CAST(round(julianday(" + d + ") * 86400) AS INTEGER)";
    return {};
}

Emitted dateDiff(Emitter& e, const Node& call) {
    arity(call, 3, 3);
    const std::string unit = intervalOf(call);
    const Emitted a = dateValue(e, call, *call.args[1]);
    const Emitted b = dateValue(e, call, *call.args[2]);
    const std::string later = boundaryCount(e, unit, b.sql);
    if (later.empty()) refuse(call, "interval \"" + unit + "\" is not translated");
    const std::string diff = "(" + later + " - " + boundaryCount(e, unit, a.sql) + ")";
    return {e.pg() ? "CAST(" + diff + " AS integer)" : diff, Type::Integer};
}

Emitted datePartOf(Emitter& e, const Node& call, const std::string& unit, const std::string& d) {
    if (unit == "yyyy") return {datePart(e, d, "%Y", "YEAR"), Type::Integer};
    if (unit == "m") return {datePart(e, d, "%m", "MONTH"), Type::Integer};
    if (unit == "d") return {datePart(e, d, "%d", "DAY"), Type::Integer};
    if (unit == "h") return {datePart(e, d, "%H", "HOUR"), Type::Integer};
    if (unit == "n") return {datePart(e, d, "%M", "MINUTE"), Type::Integer};
    if (unit == "s") {
        if (e.pg())
            return {"CAST(floor(EXTRACT(SECOND FROM " + d + ")) AS integer)", Type::Integer};
        return {datePart(e, d, "%S", "SECOND"), Type::Integer};
    }
    if (unit == "y")
        return {e.pg() ? datePart(e, d, "", "DOY") : "CAST(strftime('%j', " + d + ") AS INTEGER)",
                Type::Integer};
    if (unit == "w") {
        // Access counts Sunday as 1.
        return {"(" + datePart(e, d, "%w", "DOW") + " + 1)", Type::Integer};
    }
    if (unit == "q") {
        return {"((" + datePart(e, d, "%m", "MONTH") + " + 2) / 3)", Type::Integer};
    }
    refuse(call, "interval \"" + unit + "\" is not translated");
}

Emitted dateSerial(Emitter& e, const Node& call) {
    arity(call, 3, 3);
    const std::string y = e.asNumber(e.emit(*call.args[0]), call.pos).sql;
    const std::string m = e.asNumber(e.emit(*call.args[1]), call.pos).sql;
    const std::string d = e.asNumber(e.emit(*call.args[2]), call.pos).sql;
    // Months and days past their range carry over, as in Access.
    if (e.pg()) {
        return {"(CAST(make_date(CAST(" + y + " AS integer), 1, 1) AS timestamp) + (CAST(" + m +
                    " AS integer) - 1) * INTERVAL '1 month' + (CAST(" + d +
                    " AS integer) - 1) * INTERVAL '1 day')",
                Type::Date};
    }
    return {"datetime(printf('%04d-01-01', " + y + "), CAST(CAST(" + m +
                " AS INTEGER) - 1 AS TEXT) || ' months', CAST(CAST(" + d +
                " AS INTEGER) - 1 AS TEXT) || ' days')",
            Type::Date};
}

Emitted textArg(Emitter& e, const Node& arg) {
    Emitted v = e.emit(arg);
    if (v.type == Type::Integer || v.type == Type::Number || v.type == Type::Bool) {
        return e.asText(v, arg.pos);
    }
    if (v.type == Type::Date) throw Untranslatable{"a date is used as text"};
    return v;
}

std::string numberArg(Emitter& e, const Node& call, std::size_t i) {
    return e.asNumber(e.emit(*call.args[i]), call.pos).sql;
}

Emitted textFunction(Emitter& e, const Node& call, const std::string& name) {
    const bool pg = e.pg();
    if (name == "len") {
        arity(call, 1, 1);
        return {"length(" + textArg(e, *call.args[0]).sql + ")", Type::Integer};
    }
    if (name == "left" || name == "left$") {
        arity(call, 2, 2);
        const std::string s = textArg(e, *call.args[0]).sql;
        const std::string n = numberArg(e, call, 1);
        return {
            pg ? "left(" + s + ", CAST(" + n + " AS integer))" : "substr(" + s + ", 1, " + n + ")",
            Type::Text};
    }
    if (name == "right" || name == "right$") {
        arity(call, 2, 2);
        const std::string s = textArg(e, *call.args[0]).sql;
        const std::string n = numberArg(e, call, 1);
        if (pg) return {"right(" + s + ", CAST(" + n + " AS integer))", Type::Text};
        return {"(CASE WHEN " + n + " <= 0 THEN '' ELSE substr(" + s + ", -(" + n + ")) END)",
                Type::Text};
    }
    if (name == "mid" || name == "mid$") {
        arity(call, 2, 3);
        const std::string s = textArg(e, *call.args[0]).sql;
        std::string sql =
            "substr(" + s + ", " +
            (pg ? "CAST(" + numberArg(e, call, 1) + " AS integer)" : numberArg(e, call, 1));
        if (call.args.size() == 3) {
            sql += ", " +
                   (pg ? "CAST(" + numberArg(e, call, 2) + " AS integer)" : numberArg(e, call, 2));
        }
        return {sql + ")", Type::Text};
    }
    if (name == "instr") {
        arity(call, 2, 2);
        const std::string a = textArg(e, *call.args[0]).sql;
        const std::string b = textArg(e, *call.args[1]).sql;
        // Access compares as text here, ignoring case.
        return {(pg ? "strpos(lower(" : "instr(lower(") + a + "), lower(" + b + "))",
                Type::Integer};
    }
    if (name == "ucase" || name == "ucase$" || name == "lcase" || name == "lcase$") {
        arity(call, 1, 1);
        return {(name[0] == 'u' ? "upper(" : "lower(") + textArg(e, *call.args[0]).sql + ")",
                Type::Text};
    }
    if (name == "trim" || name == "ltrim" || name == "rtrim" || name == "trim$" ||
        name == "ltrim$" || name == "rtrim$") {
        arity(call, 1, 1);
        const std::string s = textArg(e, *call.args[0]).sql;
        const std::string fn = name[0] == 't' ? (pg ? "btrim" : "trim") : name.substr(0, 5);
        return {fn + "(" + s + ", ' ')", Type::Text};
    }
    if (name == "replace") {
        arity(call, 3, 3);
        return {"replace(" + textArg(e, *call.args[0]).sql + ", " + textArg(e, *call.args[1]).sql +
                    ", " + textArg(e, *call.args[2]).sql + ")",
                Type::Text};
    }
    if (name == "space" || name == "space$") {
        arity(call, 1, 1);
        const std::string n = numberArg(e, call, 0);
        return {pg ? "repeat(' ', CAST(" + n + " AS integer))"
                   : "replace(hex(zeroblob(" + n + ")), '00', ' ')",
                Type::Text};
    }
    return {"", Type::Unknown};
}

// Banker's rounding to an integer of a value known to be finite.
std::string roundEvenToInteger(const Emitter& e, const std::string& x) {
    if (e.pg()) return "round(CAST(" + x + " AS double precision))";  // rint: halves to even
    const std::string t = "CAST(" + x + " AS INTEGER)";
    return "(CASE WHEN abs(" + x + " - " + t + ") = 0.5 THEN " + t + " + abs(" + t +
           " % 2) * sign(" + x + ") ELSE round(" + x + ") END)";
}

}  // namespace

std::string roundHalfEven(const Emitter& e, const std::string& value, int digits) {
    if (digits == 0) return roundEvenToInteger(e, value);
    const std::string scale = "1e" + std::to_string(digits);
    return "(" + roundEvenToInteger(e, "(" + value + ") * " + scale) + " / " + scale + ")";
}

namespace {

Emitted numberFunction(Emitter& e, const Node& call, const std::string& name) {
    const bool pg = e.pg();
    if (name == "abs") {
        arity(call, 1, 1);
        Emitted v = e.asNumber(e.emit(*call.args[0]), call.pos);
        return {"abs(" + v.sql + ")", v.type};
    }
    if (name == "int" || name == "fix") {
        arity(call, 1, 1);
        Emitted v = e.asNumber(e.emit(*call.args[0]), call.pos);
        if (v.type == Type::Integer) return v;
        if (name == "int") return {"floor(" + v.sql + ")", Type::Number};
        return {pg ? "trunc(" + v.sql + ")" : "CAST(CAST(" + v.sql + " AS INTEGER) AS REAL)",
                Type::Number};
    }
    if (name == "round") {
        arity(call, 1, 2);
        Emitted v = e.asNumber(e.emit(*call.args[0]), call.pos);
        int digits = 0;
        if (call.args.size() == 2) {
            const Node& d = *call.args[1];
            if (d.kind != NodeKind::Number || d.text.find_first_of(".eE") != std::string::npos ||
                d.text.size() > 2) {
                refuse(call, "the number of decimals is not a whole number literal");
            }
            digits = std::stoi(d.text);
        }
        std::string sql = roundHalfEven(e, v.sql, digits);
        return {sql, digits == 0 && v.type == Type::Integer ? Type::Integer : Type::Number};
    }
    if (name == "sgn") {
        arity(call, 1, 1);
        return {pg ? "CAST(sign(" + numberArg(e, call, 0) + ") AS integer)"
                   : "sign(" + numberArg(e, call, 0) + ")",
                Type::Integer};
    }
    if (name == "sqr") {
        arity(call, 1, 1);
        return {"sqrt(" + numberArg(e, call, 0) + ")", Type::Number};
    }
    if (name == "cint" || name == "clng") {
        arity(call, 1, 1);
        Emitted v = e.asNumber(e.emit(*call.args[0]), call.pos);
        if (v.type == Type::Integer) return v;
        const std::string r = roundEvenToInteger(e, v.sql);
        return {pg ? "CAST(" + r + " AS " + (name == "cint" ? "smallint" : "integer") + ")"
                   : "CAST(" + r + " AS INTEGER)",
                Type::Integer};
    }
    if (name == "cdbl" || name == "csng") {
        arity(call, 1, 1);
        return {pg ? "CAST(" + numberArg(e, call, 0) + " AS double precision)"
                   : "CAST(" + numberArg(e, call, 0) + " AS REAL)",
                Type::Number};
    }
    if (name == "ccur") {
        arity(call, 1, 1);
        const std::string r = roundHalfEven(e, numberArg(e, call, 0), 4);
        return {pg ? "CAST(" + r + " AS numeric(19,4))" : r, Type::Number};
    }
    return {"", Type::Unknown};
}

}  // namespace

Emitted formatCall(Emitter& e, const Node& call);

Emitted emitFunction(Emitter& e, const Node& call) {
    const std::string name = lowerAscii(call.text);
    const bool pg = e.pg();
    if (name == "date" || name == "date$") {
        arity(call, 0, 0);
        e.markVolatile("Date()");
        return {
            pg ? "CAST(CURRENT_DATE AS timestamp)" : "datetime('now', 'localtime', 'start of day')",
            Type::Date};
    }
    if (name == "now") {
        arity(call, 0, 0);
        return now(e, "Now");
    }
    if (name == "time" || name == "time$") {
        arity(call, 0, 0);
        e.markVolatile("Time()");
        // Access keeps a time alone on its day zero, 1899-12-30.
        return {pg ? "(TIMESTAMP '1899-12-30 00:00:00' + LOCALTIME(0))"
                   : "('1899-12-30 ' || time('now', 'localtime'))",
                Type::Date};
    }
    static const std::map<std::string, std::string> kParts = {{"year", "yyyy"}, {"month", "m"},
                                                              {"day", "d"},     {"hour", "h"},
                                                              {"minute", "n"},  {"second", "s"}};
    if (auto it = kParts.find(name); it != kParts.end()) {
        arity(call, 1, 1);
        return datePartOf(e, call, it->second, dateValue(e, call, *call.args[0]).sql);
    }
    if (name == "weekday") {
        arity(call, 1, 1);
        return datePartOf(e, call, "w", dateValue(e, call, *call.args[0]).sql);
    }
    if (name == "datepart") {
        arity(call, 2, 2);
        return datePartOf(e, call, intervalOf(call), dateValue(e, call, *call.args[1]).sql);
    }
    if (name == "dateadd") return dateAdd(e, call);
    if (name == "datediff") return dateDiff(e, call);
    if (name == "dateserial") return dateSerial(e, call);
    if (Emitted t = textFunction(e, call, name); !t.sql.empty()) return t;
    if (Emitted n = numberFunction(e, call, name); !n.sql.empty()) return n;
    if (name == "iif") {
        arity(call, 3, 3);
        const std::string c = e.condition(*call.args[0]);
        Emitted a = e.emit(*call.args[1]);
        Emitted b = e.emit(*call.args[2]);
        Type t = a.type == Type::Null ? b.type : a.type;
        if (a.type != b.type && a.type != Type::Null && b.type != Type::Null) {
            if ((a.type == Type::Integer || a.type == Type::Number || a.type == Type::Bool) &&
                (b.type == Type::Integer || b.type == Type::Number || b.type == Type::Bool)) {
                a = e.asNumber(a, call.pos);
                b = e.asNumber(b, call.pos);
                t = Type::Number;
            } else {
                refuse(call, "the two results have different types");
            }
        }
        return {"(CASE WHEN " + c + " THEN " + a.sql + " ELSE " + b.sql + " END)", t};
    }
    if (name == "nz") {
        arity(call, 1, 2);
        Emitted v = e.emit(*call.args[0]);
        if (call.args.size() == 2) {
            Emitted alt = e.emit(*call.args[1]);
            if (alt.type != v.type && v.type != Type::Unknown && alt.type != Type::Null &&
                !((v.type == Type::Integer || v.type == Type::Number) &&
                  (alt.type == Type::Integer || alt.type == Type::Number))) {
                refuse(call, "the replacement has another type than the value");
            }
            return {"coalesce(" + v.sql + ", " + alt.sql + ")",
                    v.type == Type::Unknown ? alt.type : v.type};
        }
        if (v.type == Type::Text) return {"coalesce(" + v.sql + ", '')", Type::Text};
        if (v.type == Type::Integer || v.type == Type::Number)
            return {"coalesce(" + v.sql + ", 0)", v.type};
        refuse(call, "without a replacement its result depends on where it is used");
    }
    if (name == "isnull") {
        arity(call, 1, 1);
        return {"(" + e.emit(*call.args[0]).sql + " IS NULL)", Type::Bool};
    }
    if (name == "cstr") {
        arity(call, 1, 1);
        return textArg(e, *call.args[0]);
    }
    if (name == "cbool") {
        arity(call, 1, 1);
        Emitted v = e.emit(*call.args[0]);
        if (v.type == Type::Text) refuse(call, "text to Boolean is not carried");
        return e.asBool(v, call.pos);
    }
    if (name == "cdate" || name == "cvdate") {
        arity(call, 1, 1);
        Emitted v = e.emit(*call.args[0]);
        if (v.type == Type::Date) return v;
        refuse(call, "converting text or numbers to dates depends on the system's settings");
    }
    if (name == "format" || name == "format$") return formatCall(e, call);
    if (name == "sum" || name == "avg" || name == "min" || name == "max" || name == "count" ||
        name == "stdev" || name == "var" || name == "first" || name == "last") {
        if (!e.names().allowsAggregates()) refuse(call, "an aggregate is allowed in queries only");
        arity(call, 1, 1);
        struct Inside {
            const NameResolver& names;
            explicit Inside(const NameResolver& n) : names(n) { names.aggregateDepth(1); }
            ~Inside() { names.aggregateDepth(-1); }
            Inside(const Inside&) = delete;
            Inside& operator=(const Inside&) = delete;
        } inside(e.names());
        if (name == "count") {
            if (call.args[0]->kind == NodeKind::Star) return {"count(*)", Type::Integer};
            return {"count(" + e.emit(*call.args[0]).sql + ")", Type::Integer};
        }
        Emitted v = e.emit(*call.args[0]);
        if (name == "sum" || name == "avg") {
            v = e.asNumber(v, call.pos);
            if (name == "avg" && pg) return {"avg(" + v.sql + ")", Type::Number};
            return {name + "(" + v.sql + ")", name == "sum" ? v.type : Type::Number};
        }
        if (name == "min" || name == "max") {
            if (v.type == Type::Text) refuse(call, "Min/Max of text ignore case in Access");
            if (v.type == Type::Bool && pg) refuse(call, "Min/Max of Yes/No values");
            return {name + "(" + v.sql + ")", v.type};
        }
        if ((name == "stdev" || name == "var") && pg) {
            v = e.asNumber(v, call.pos);
            return {(name == "stdev" ? "stddev_samp(" : "var_samp(") + v.sql + ")", Type::Number};
        }
        refuse(call, "has no equivalent in this database");
    }
    refuse(call, "has no faithful equivalent");
}

}  // namespace zl::translate
