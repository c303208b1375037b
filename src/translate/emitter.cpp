// The expression emitter: operators, literals, comparisons and Like for both targets.
#include "translate/emitter.h"

#include <cstdlib>

#include "schema/engine.h"

namespace zl::translate {

namespace dao = schema::dao;
using namespace std::string_view_literals;

std::string storedValue(Target target, std::string column, int daoType) {
    if (target == Target::Sqlite && (daoType == dao::kCurrency || daoType == dao::kDecimal)) {
        return "CAST(" + column + " AS NUMERIC)";
    }
    return column;
}

namespace {

bool numeric(Type t) { return t == Type::Integer || t == Type::Number; }

std::string paren(const std::string& sql) { return "(" + sql + ")"; }

// A text literal that reads as a number ("10") compared with a number, as Access converts it.
bool numberText(std::string_view text) {
    if (text.empty()) return false;
    char* end = nullptr;
    const std::string copy(text);
    std::strtod(copy.c_str(), &end);
    return end != nullptr && *end == '\0' && copy.find_first_of("xXnN") == std::string::npos;
}

// A text literal that reads as a number, compared with a number, is that number in Access.
void readNumberText(Emitted& left, Emitted& right) {
    if (numeric(left.type) && right.type == Type::Text && right.sql.size() > 2 &&
        numberText(right.sql.substr(1, right.sql.size() - 2))) {
        right = {right.sql.substr(1, right.sql.size() - 2), Type::Number};
    }
    if (numeric(right.type) && left.type == Type::Text && left.sql.size() > 2 &&
        numberText(left.sql.substr(1, left.sql.size() - 2))) {
        left = {left.sql.substr(1, left.sql.size() - 2), Type::Number};
    }
}

}  // namespace

std::string Emitter::textLiteral(std::string_view text) {
    std::string out = "'";
    for (char c : text) {
        if (c == '\'') out += '\'';
        out += c;
    }
    out += '\'';
    return out;
}

std::string Emitter::dateLiteral(const std::string& normalized) const {
    return pg() ? "TIMESTAMP " + textLiteral(normalized) : textLiteral(normalized);
}

std::string Emitter::boolLiteral(bool value) const {
    if (pg()) return value ? "true" : "false";
    return value ? "1" : "0";
}

std::string Emitter::compareText(const std::string& left, const std::string& op,
                                 const std::string& right) const {
    if (pg()) return "lower(" + left + ") " + op + " lower(" + right + ")";
    return paren(left) + " " + op + " " + paren(right) + " COLLATE NOCASE";
}

void Emitter::markVolatile(const std::string& what) {
    if (m_context == Context::Check) {
        throw Untranslatable{what +
                             " changes with the clock; a CHECK must give the same answer "
                             "for the same row (SQLite refuses it when a row is written)"};
    }
    if (m_context == Context::Generated) {
        throw Untranslatable{what +
                             " changes with the clock; a generated column must be "
                             "immutable"};
    }
}

void Emitter::markStable(const std::string& what) {
    if (pg() && (m_context == Context::Generated || m_context == Context::Check)) {
        throw Untranslatable{what + " is not immutable in PostgreSQL"};
    }
}

Emitted Emitter::asBool(const Emitted& value, std::size_t pos) const {
    switch (value.type) {
        case Type::Bool:
        case Type::Null:
        case Type::Unknown:
            return value;
        case Type::Integer:
        case Type::Number:
            return {paren(value.sql + " <> 0"), Type::Bool};
        case Type::Opaque:
            throw Untranslatable{kOpaqueReason};
        default:
            throw Untranslatable{"a " + std::string(value.type == Type::Text ? "text" : "date") +
                                 " value is used as a condition (at " + std::to_string(pos + 1) +
                                 ")"};
    }
}

Emitted Emitter::asNumber(const Emitted& value, std::size_t pos) const {
    switch (value.type) {
        case Type::Integer:
        case Type::Number:
        case Type::Null:
        case Type::Unknown:
            return value;
        case Type::Bool:
            // Access's True is -1.
            return {pg() ? "(-CAST(" + value.sql + " AS integer))" : "(-" + paren(value.sql) + ")",
                    Type::Integer};
        case Type::Opaque:
            throw Untranslatable{kOpaqueReason};
        default:
            throw Untranslatable{"a " + std::string(value.type == Type::Text ? "text" : "date") +
                                 " value is used as a number (at " + std::to_string(pos + 1) +
                                 "); Access's implicit conversion is not carried"};
    }
}

Emitted Emitter::asText(const Emitted& value, std::size_t pos) const {
    switch (value.type) {
        case Type::Text:
        case Type::Null:
            return value;
        case Type::Unknown:
            return {pg() ? "CAST(" + value.sql + " AS text)" : value.sql, Type::Text};
        case Type::Integer:
            return {pg() ? "CAST(" + value.sql + " AS text)" : "CAST(" + value.sql + " AS TEXT)",
                    Type::Text};
        case Type::Number:
            // Access writes a number as text with up to 15 significant digits and no trailing
            // zeros: 5 for a Currency or Double of 5, not "5.0000" (PostgreSQL's numeric) or
            // "5.0" (SQLite's REAL). PostgreSQL's cast to numeric keeps 15 digits of a double and
            // trim_scale drops the zeros; SQLite's %.15g does both, and switches to an exponent
            // where Access does (1E+15, 1E-05) once its letter is a capital.
            if (pg())
                return {"CAST(trim_scale(CAST(" + value.sql + " AS numeric)) AS text)", Type::Text};
            return {"(CASE WHEN " + paren(value.sql) + " IS NOT NULL THEN upper(printf('%.15g', " +
                        value.sql + ")) END)",
                    Type::Text};
        case Type::Bool:
            return {"(CASE WHEN " + value.sql + " THEN 'True' WHEN NOT " + paren(value.sql) +
                        " THEN 'False' END)",
                    Type::Text};
        case Type::Opaque:
            throw Untranslatable{kOpaqueReason};
        default:
            throw Untranslatable{"a date is turned into text (at " + std::to_string(pos + 1) +
                                 "); its form depends on the system's settings"};
    }
}

std::string Emitter::condition(const Node& node) {
    Emitted value = emit(node);
    if (value.type == Type::Bool) return std::move(value.sql);  // the common case, not copied
    return asBool(value, node.pos).sql;
}

Emitted Emitter::emit(const Node& node) {
    const int opaqueBefore = m_opaqueOperands;
    Emitted value = emitNode(node);
    switch (node.kind) {
        case NodeKind::Name:
        case NodeKind::Implicit:
            // A bare field stands as it is (a select item, a sort key); what uses it decides.
            if (value.type == Type::Opaque) ++m_opaqueOperands;
            break;
        case NodeKind::IsNull:
            m_opaqueOperands = opaqueBefore;
            break;
        default:
            if (m_opaqueOperands != opaqueBefore) throw Untranslatable{kOpaqueReason};
    }
    return value;
}

Emitted Emitter::emitNode(const Node& node) {
    switch (node.kind) {
        case NodeKind::Number: {
            const bool integer = node.text.find_first_of(".eE") == std::string::npos;
            std::string sql = node.text;
            if (sql.front() == '.') sql = "0" + sql;
            return {std::move(sql), integer ? Type::Integer : Type::Number};
        }
        case NodeKind::Text:
            return {textLiteral(node.text), Type::Text};
        case NodeKind::Date:
            return {dateLiteral(node.text), Type::Date};
        case NodeKind::Bool:
            return {boolLiteral(node.text == "true"sv), Type::Bool};
        case NodeKind::Null:
            return {"NULL", Type::Null};
        case NodeKind::Implicit:
            return m_names.implicitOperand();
        case NodeKind::Name:
            return m_names.resolve(node);
        case NodeKind::Star:
            throw Untranslatable{"'*' is not a value (at " + std::to_string(node.pos + 1) + ")"};
        case NodeKind::Subquery:
            throw Untranslatable{"a subquery inside an expression is not translated"};
        case NodeKind::Unary: {
            if (node.text == "not"sv) {
                return {"(NOT " + condition(*node.args[0]) + ")", Type::Bool};
            }
            Emitted inner = asNumber(emit(*node.args[0]), node.pos);
            if (node.text == "+"sv) return inner;
            return {"(-" + paren(inner.sql) + ")", inner.type};
        }
        case NodeKind::Binary:
            return emitBinary(node);
        case NodeKind::Like:
            return emitLike(node);
        case NodeKind::Between:
            return emitBetween(node);
        case NodeKind::In:
            return emitIn(node);
        case NodeKind::IsNull: {
            Emitted inner = emit(*node.args[0]);
            return {"(" + inner.sql + (node.negated ? " IS NOT NULL)" : " IS NULL)"), Type::Bool};
        }
        case NodeKind::Call:
            return emitCall(node);
    }
    throw Untranslatable{"unknown construct"};
}

Emitted Emitter::emitBinary(const Node& node) {
    const std::string& op = node.text;
    if (op == "and"sv || op == "or"sv || op == "xor"sv || op == "eqv"sv || op == "imp"sv) {
        return emitLogical(node);
    }
    Emitted left = emit(*node.args[0]);
    Emitted right = emit(*node.args[1]);
    if (op == "="sv || op == "<>"sv || op == "<"sv || op == ">"sv || op == "<="sv || op == ">="sv) {
        return emitComparison(op, std::move(left), std::move(right), node.pos);
    }
    if (op == "&"sv) {
        // Access joins Null as empty text.
        const Emitted l = asText(left, node.pos);
        const Emitted r = asText(right, node.pos);
        auto part = [](const Emitted& v) {
            if (v.type == Type::Null) return std::string("''");
            const bool literal = v.sql.size() >= 2 && v.sql.front() == '\'' && v.sql.back() == '\'';
            return literal ? v.sql : "coalesce(" + v.sql + ", '')";
        };
        return {"(" + part(l) + " || " + part(r) + ")", Type::Text};
    }
    return emitArithmetic(node, std::move(left), std::move(right));
}

Emitted Emitter::emitComparison(const std::string& op, Emitted left, Emitted right,
                                std::size_t pos) {
    readNumberText(left, right);
    const Type lt = left.type;
    const Type rt = right.type;
    if (lt == Type::Text && (rt == Type::Text || rt == Type::Null || rt == Type::Unknown)) {
        return {paren(compareText(left.sql, op, right.sql)), Type::Bool};
    }
    if (rt == Type::Text && (lt == Type::Null || lt == Type::Unknown)) {
        return {paren(compareText(left.sql, op, right.sql)), Type::Bool};
    }
    if (lt == Type::Bool && rt == Type::Bool) {
        return {paren(left.sql + " " + op + " " + right.sql), Type::Bool};
    }
    const bool sameKind = (numeric(lt) || lt == Type::Bool) == (numeric(rt) || rt == Type::Bool) &&
                          (lt == Type::Date) == (rt == Type::Date);
    if (!sameKind && lt != Type::Null && rt != Type::Null && lt != Type::Unknown &&
        rt != Type::Unknown) {
        throw Untranslatable{"values of different types are compared (at " +
                             std::to_string(pos + 1) + "); Access's conversion is not carried"};
    }
    if (lt == Type::Bool) left = asNumber(left, pos);
    if (rt == Type::Bool) right = asNumber(right, pos);
    // "(left op right)", made in one piece: every WHERE and ON of a query passes here.
    std::string sql;
    sql.reserve(left.sql.size() + op.size() + right.sql.size() + 4);
    sql.append("(").append(left.sql).append(" ").append(op).append(" ").append(right.sql).append(
        ")");
    return {std::move(sql), Type::Bool};
}

Emitted Emitter::emitArithmetic(const Node& node, Emitted left, Emitted right) {
    const std::string& op = node.text;
    if (op == "+"sv && left.type == Type::Text && right.type == Type::Text) {
        return {paren(left.sql + " || " + right.sql),
                Type::Text};  // + joins texts, Null stays Null
    }
    if ((op == "+"sv || op == "-"sv) && (left.type == Type::Date || right.type == Type::Date)) {
        // Whole days added to or taken from a date are calendar days in Access too. A fraction
        // of a day, or the difference of two dates, is arithmetic on Access's stored number,
        // which runs the other way for the time of day before 1899-12-30: not carried.
        const bool dateFirst = left.type == Type::Date;
        const Emitted& days = dateFirst ? right : left;
        if (days.type != Type::Integer || (op == "-"sv && !dateFirst)) {
            throw Untranslatable{"date arithmetic with + or - other than whole days (at " +
                                 std::to_string(node.pos + 1) + ")"};
        }
        const std::string& date = dateFirst ? left.sql : right.sql;
        const std::string count = op == "-"sv ? "-" + paren(days.sql) : days.sql;
        if (pg()) return {"(" + date + " + " + count + " * INTERVAL '1 day')", Type::Date};
        return {"datetime(" + date + ", CAST(" + count + " AS TEXT) || ' days')", Type::Date};
    }
    left = asNumber(left, node.pos);
    right = asNumber(right, node.pos);
    const bool integers = left.type == Type::Integer && right.type == Type::Integer;
    if (op == "+"sv || op == "-"sv || op == "*"sv) {
        return {paren(left.sql + " " + op + " " + right.sql),
                integers ? Type::Integer : Type::Number};
    }
    if (op == "/"sv) {
        // Access divides as Double whatever the operands.
        return {pg() ? "(CAST(" + left.sql + " AS double precision) / " + right.sql + ")"
                     : "(CAST(" + left.sql + " AS REAL) / " + right.sql + ")",
                Type::Number};
    }
    if (op == R"(\)"sv || op == "mod"sv) {
        if (!integers) {
            throw Untranslatable{"\\ and Mod round non-integer operands first (at " +
                                 std::to_string(node.pos + 1) +
                                 "); only whole numbers are carried"};
        }
        if (op == R"(\)"sv) return {paren(left.sql + " / " + right.sql), Type::Integer};
        return {paren(left.sql + " % " + right.sql), Type::Integer};
    }
    if (op == "^"sv) {
        return {pg() ? "power(" + left.sql + ", " + right.sql + ")"
                     : "pow(" + left.sql + ", " + right.sql + ")",
                Type::Number};
    }
    throw Untranslatable{"operator " + op + " is not translated"};
}

Emitted Emitter::emitLogical(const Node& node) {
    const std::string& op = node.text;
    Emitted left = emit(*node.args[0]);
    Emitted right = emit(*node.args[1]);
    if (numeric(left.type) && numeric(right.type)) {
        throw Untranslatable{"And/Or/Xor on numbers are bitwise in Access (at " +
                             std::to_string(node.pos + 1) + ")"};
    }
    const std::string l = asBool(left, node.pos).sql;
    const std::string r = asBool(right, node.pos).sql;
    if (op == "and"sv) return {"(" + l + " AND " + r + ")", Type::Bool};
    if (op == "or"sv) return {"(" + l + " OR " + r + ")", Type::Bool};
    if (op == "xor"sv) return {"(" + l + " <> " + r + ")", Type::Bool};
    if (op == "eqv"sv) return {"(" + l + " = " + r + ")", Type::Bool};
    return {"((NOT " + l + ") OR " + r + ")", Type::Bool};
}

Emitted Emitter::emitLike(const Node& node) {
    const Emitted operand = emit(*node.args[0]);
    const Node& pattern = *node.args[1];
    if (pattern.kind != NodeKind::Text) {
        throw Untranslatable{"Like with a pattern that is not a literal text (at " +
                             std::to_string(pattern.pos + 1) + ")"};
    }
    std::string subject = operand.sql;
    if (operand.type != Type::Text && operand.type != Type::Unknown) {
        subject = asText(operand, node.pos).sql;
    }
    return {paren(likeSql(m_target, subject, pattern.text, node.negated)), Type::Bool};
}

Emitted Emitter::emitBetween(const Node& node) {
    Emitted value = emit(*node.args[0]);
    Emitted low = emit(*node.args[1]);
    Emitted high = emit(*node.args[2]);
    const std::string no = node.negated ? "NOT " : "";
    if (pg()) {
        // Access accepts the bounds in either order, as BETWEEN SYMMETRIC does. Each bound is
        // read against the value as a comparison reads it (number-like text against a number
        // is that number), and both must be of the value's kind.
        readNumberText(value, low);
        readNumberText(value, high);
        for (const Emitted* bound : {&low, &high}) {
            (void)emitComparison(">=", value, *bound, node.pos);  // type checks only
        }
        (void)emitComparison("<=", low, high, node.pos);
        if (value.type == Type::Text || low.type == Type::Text || high.type == Type::Text) {
            return {"(lower(" + value.sql + ") " + no + "BETWEEN SYMMETRIC lower(" + low.sql +
                        ") AND lower(" + high.sql + "))",
                    Type::Bool};
        }
        for (Emitted* part : {&value, &low, &high}) {
            if (part->type == Type::Bool) *part = asNumber(*part, node.pos);
        }
        return {
            "(" + value.sql + " " + no + "BETWEEN SYMMETRIC " + low.sql + " AND " + high.sql + ")",
            Type::Bool};
    }
    const std::string inOrder = emitComparison(">=", value, low, node.pos).sql + " AND " +
                                emitComparison("<=", value, high, node.pos).sql;
    const std::string reversed = emitComparison(">=", value, high, node.pos).sql + " AND " +
                                 emitComparison("<=", value, low, node.pos).sql;
    return {"(" + no + "((" + inOrder + ") OR (" + reversed + ")))", Type::Bool};
}

Emitted Emitter::emitIn(const Node& node) {
    Emitted value = emit(*node.args[0]);
    std::string list;
    bool text = value.type == Type::Text;
    bool truths = true;  // every item a truth value or Null
    std::vector<Emitted> items;
    for (std::size_t i = 1; i < node.args.size(); ++i) {
        items.push_back(emit(*node.args[i]));
        text = text || items.back().type == Type::Text;
        truths = truths && (items.back().type == Type::Bool || items.back().type == Type::Null);
    }
    // A Yes/No value among numbers is its number (True is -1), as in a comparison.
    if (value.type == Type::Bool && !truths) value = asNumber(value, node.pos);
    for (std::size_t i = 0; i < items.size(); ++i) {
        // Each item goes through the comparison rules so that types are checked alike.
        (void)emitComparison("=", value, items[i], node.args[i + 1]->pos);
        if (i) list += ", ";
        Emitted item = items[i];
        if (item.type == Type::Text && value.type != Type::Text && value.type != Type::Unknown &&
            value.type != Type::Null) {
            item.sql = item.sql.substr(1, item.sql.size() - 2);  // "10" against a number
        } else if (item.type == Type::Bool && value.type != Type::Bool) {
            item = asNumber(item, node.pos);
        }
        list += text && pg() ? "lower(" + item.sql + ")" : item.sql;
    }
    std::string subject = value.sql;
    if (text) subject = pg() ? "lower(" + value.sql + ")" : paren(value.sql) + " COLLATE NOCASE";
    return {"(" + subject + (node.negated ? " NOT IN (" : " IN (") + list + "))", Type::Bool};
}

Emitted Emitter::emitCall(const Node& node) { return emitFunction(*this, node); }

}  // namespace zl::translate
