// Writes an Access expression tree as PostgreSQL or SQLite, keeping Access's meaning.
#pragma once

#include <string>

#include "schema/engine.h"
#include "translate/expression.h"
#include "translate/translate.h"

namespace zl::translate {

// The value kinds the translator tells apart; Access's meaning depends on them. Opaque is binary
// data or a GUID: the targets hold them as bytes or uuid, which take part in no expression that
// Access's do, so only Is Null is translated for them.
enum class Type { Unknown, Null, Text, Integer, Number, Bool, Date, Opaque };

// Why an expression that uses an Opaque value other than in Is Null is left untranslated.
inline constexpr const char* kOpaqueReason =
    "binary and GUID fields take part in no translated expression other than Is Null";

// The Type of a DAO data type number (inline: views ask it for every column they carry).
inline Type typeOfDao(int daoType) {
    switch (daoType) {
        case schema::dao::kBoolean:
            return Type::Bool;
        case schema::dao::kByte:
        case schema::dao::kInteger:
        case schema::dao::kLong:
        case schema::dao::kBigInt:
            return Type::Integer;
        case schema::dao::kCurrency:
        case schema::dao::kSingle:
        case schema::dao::kDouble:
        case schema::dao::kDecimal:
            return Type::Number;
        case schema::dao::kDate:
        case schema::dao::kExtendedDate:
            return Type::Date;
        case schema::dao::kText:
        case schema::dao::kMemo:
            return Type::Text;
        case schema::dao::kBinary:
        case schema::dao::kLongBinary:
        case schema::dao::kGuid:
            return Type::Opaque;
        default:
            return Type::Unknown;
    }
}

// A stored column read as its value: SQLite keeps Currency and Decimal as exact decimal text,
// which must be read as a number to compare and compute like Access.
std::string storedValue(Target target, std::string column, int daoType);

// An emitted piece of SQL and the Access type of its value.
struct Emitted {
    std::string sql;
    Type type = Type::Unknown;
};

// Thrown when a construct has no faithful translation; the reason goes to the ledger.
struct Untranslatable {
    std::string reason;
};

// Where the expression will stand: it decides what is allowed (a CHECK and a generated column
// need an immutable expression; a default may not read columns).
enum class Context { Default, Check, Generated, Query };

// Gives the SQL and type of the names an expression reads.
class NameResolver {
public:
    virtual ~NameResolver() = default;
    // The SQL for a Name node (a column); throws Untranslatable for an unknown name.
    virtual Emitted resolve(const Node& name) const = 0;
    // The field a field rule is about; throws Untranslatable when there is none.
    virtual Emitted implicitOperand() const {
        throw Untranslatable{"a comparison lacks its left side"};
    }
    // An aggregate call (Sum, Count, ...) in a query; others throw Untranslatable.
    virtual bool allowsAggregates() const { return false; }
    // Told when the emitter enters (+1) and leaves (-1) the argument of an aggregate.
    virtual void aggregateDepth(int /*change*/) const {}
};

class Emitter {
public:
    Emitter(Target target, Context context, const NameResolver& names)
        : m_target(target), m_context(context), m_names(names) {}

    // The SQL of `node`; throws Untranslatable.
    Emitted emit(const Node& node);
    // `node` as an SQL condition (Access: any non-zero number is true).
    std::string condition(const Node& node);

    Emitted asBool(const Emitted& value, std::size_t pos) const;
    Emitted asNumber(const Emitted& value, std::size_t pos) const;
    Emitted asText(const Emitted& value, std::size_t pos) const;

    Target target() const { return m_target; }
    bool pg() const { return m_target == Target::PostgreSql; }
    Context context() const { return m_context; }
    const NameResolver& names() const { return m_names; }

    // Records that the expression depends on the clock or the session (not immutable); throws
    // when the context needs an immutable expression.
    void markVolatile(const std::string& what);
    // Records a PostgreSQL function that is stable but not immutable (to_char, ...).
    void markStable(const std::string& what);

    // A text literal in the target's syntax.
    static std::string textLiteral(std::string_view text);
    std::string dateLiteral(const std::string& normalized) const;
    std::string boolLiteral(bool value) const;

    // A comparison with Access's rules for mixed types and text; throws Untranslatable.
    Emitted compare(const std::string& op, const Emitted& left, const Emitted& right,
                    std::size_t pos) {
        return emitComparison(op, left, right, pos);
    }

    // Text comparison that ignores case, as Access's General sort order does.
    std::string compareText(const std::string& left, const std::string& op,
                            const std::string& right) const;

private:
    Emitted emitNode(const Node& node);
    Emitted emitBinary(const Node& node);
    Emitted emitComparison(const std::string& op, Emitted left, Emitted right, std::size_t pos);
    Emitted emitArithmetic(const Node& node, Emitted left, Emitted right);
    Emitted emitLogical(const Node& node);
    Emitted emitLike(const Node& node);
    Emitted emitBetween(const Node& node);
    Emitted emitIn(const Node& node);
    Emitted emitCall(const Node& node);

    Target m_target;
    Context m_context;
    const NameResolver& m_names;
    // Opaque operands read so far and not yet used by an Is Null test.
    int m_opaqueOperands = 0;
};

// Converts an Access Like pattern for the target: PostgreSQL "ILIKE '...'" or "~* '^...$'",
// SQLite "GLOB '...'" over a lower-cased operand. Throws Untranslatable for a malformed pattern.
std::string likeSql(Target target, const std::string& operand, std::string_view pattern,
                    bool negated);

// A translated function call (functions.cpp); throws Untranslatable for unknown functions.
Emitted emitFunction(Emitter& emitter, const Node& call);

// Banker's rounding of `value` to `digits` decimals (digits >= 0), as Access's Round does.
std::string roundHalfEven(const Emitter& emitter, const std::string& value, int digits);

}  // namespace zl::translate
