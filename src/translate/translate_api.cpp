// The translator's entry points for defaults, rules and calculated columns.
#include <algorithm>
#include <optional>
#include <unordered_map>

#include "schema/engine.h"
#include "support/text.h"
#include "translate/emitter.h"
#include "translate/translate.h"

namespace zl::translate {

namespace {

// Names inside a table's own expressions: its columns, optionally written as [Table].[Column].
class TableResolver : public NameResolver {
public:
    TableResolver(Target target, const TableColumns& table, const Column* self,
                  const NameMapper& names, bool columnsAllowed)
        : m_target(target),
          m_table(table),
          m_self(self),
          m_names(names),
          m_columnsAllowed(columnsAllowed) {}

    Emitted resolve(const Node& name) const override {
        if (!m_columnsAllowed) {
            throw Untranslatable{"a default value cannot read the field [" + name.text + "]"};
        }
        if (!name.owner.empty() && lowerAscii(name.owner) != lowerAscii(m_table.name)) {
            throw Untranslatable{"[" + name.owner + "] is not this table"};
        }
        const Column* column = m_table.find(name.text);
        if (column == nullptr) {
            throw Untranslatable{"the table has no field [" + name.text + "] (at " +
                                 std::to_string(name.pos + 1) + ")"};
        }
        if (generated &&
            (isSelf(column) || (column->calculated && m_target == Target::PostgreSql))) {
            throw Untranslatable{
                "a calculated column reads " +
                std::string(isSelf(column) ? "itself" : "another calculated column") + " [" +
                std::string(column->name) + "]"};
        }
        return columnValue(*column);
    }

    // Set for calculated columns, which may read neither themselves nor (PostgreSQL) others.
    bool generated = false;

    Emitted implicitOperand() const override {
        if (m_self == nullptr) return NameResolver::implicitOperand();
        return columnValue(*m_self);
    }

private:
    // The caller's column may be a copy of the table's entry for it: the two share the name.
    bool isSelf(const Column* column) const {
        return m_self != nullptr &&
               (column == m_self || support::equalsIgnoringAsciiCase(column->name, m_self->name));
    }
    Emitted columnValue(const Column& column) const {
        return {storedValue(m_target, m_names.column(m_table.name, column.name), column.daoType),
                typeOfDao(column.daoType)};
    }

    Target m_target;
    const TableColumns& m_table;
    const Column* m_self;
    const NameMapper& m_names;
    bool m_columnsAllowed;
};

Translation failure(std::string reason) { return {false, {}, std::move(reason)}; }

template <typename Body>
Translation guarded(Body body) {
    try {
        return {true, body(), {}};
    } catch (const SyntaxError& error) {
        return failure("does not parse: " + error.message + " at character " +
                       std::to_string(error.pos + 1));
    } catch (const Untranslatable& error) {
        return failure(error.reason);
    }
}

bool isPlainLiteral(const std::string& sql) {
    if (sql.empty()) return false;
    if (sql.front() == '\'' && sql.back() == '\'') return true;
    std::size_t i = sql.front() == '-' ? 1 : 0;
    if (i >= sql.size()) return false;
    for (; i < sql.size(); ++i) {
        if (std::string_view("0123456789.eE").find(sql[i]) == std::string_view::npos) return false;
    }
    return true;
}

// A plain number literal (optionally negative) as SQLite keeps Currency: its exact decimal with
// four decimals, the one form the data export writes too. Nothing for any other form.
std::optional<std::string> currencyText(const Node& node) {
    const bool negative = node.kind == NodeKind::Unary && node.text == "-";
    const Node& number = negative ? *node.args[0] : node;
    if (number.kind != NodeKind::Number) return std::nullopt;
    const std::string& text = number.text;
    const std::size_t dot = text.find('.');
    std::string whole = text.substr(0, dot);
    std::string fraction = dot == std::string::npos ? "" : text.substr(dot + 1);
    const auto digits = [](const std::string& s) {
        return s.find_first_not_of("0123456789") == std::string::npos;
    };
    if (!digits(whole) || !digits(fraction) || fraction.size() > 4) return std::nullopt;
    whole.erase(0, std::min(whole.find_first_not_of('0'), whole.size()));
    if (whole.empty()) whole = "0";
    fraction.resize(4, '0');
    const bool zero = whole == "0" && fraction == "0000";
    return (negative && !zero ? "-" : "") + whole + "." + fraction;
}

// The default's value in the column's own kind (Access stores "0"/"-1" in Yes/No fields, text
// digits in text fields).
Emitted fitToColumn(Emitter& e, Emitted value, const Node& node, const Column& column) {
    const Type want = typeOfDao(column.daoType);
    if (!e.pg() && column.daoType == schema::dao::kCurrency &&
        (value.type == Type::Integer || value.type == Type::Number)) {
        const std::optional<std::string> text = currencyText(node);
        if (!text) {
            throw Untranslatable{
                "a Currency default other than a number with at most four decimals"};
        }
        return {Emitter::textLiteral(*text), Type::Number};
    }
    if (value.type == Type::Null) return value;
    if (want == Type::Opaque) throw Untranslatable{"a default for a binary or GUID field"};
    if (want == Type::Unknown || value.type == want) return value;
    if (want == Type::Bool && (value.type == Type::Integer || value.type == Type::Number)) {
        if (node.kind == NodeKind::Number)
            return {e.boolLiteral(std::stod(node.text) != 0), Type::Bool};
        if (node.kind == NodeKind::Unary && node.args[0]->kind == NodeKind::Number) {
            return {e.boolLiteral(std::stod(node.args[0]->text) != 0), Type::Bool};
        }
        return e.asBool(value, node.pos);
    }
    if ((want == Type::Integer || want == Type::Number) &&
        (value.type == Type::Integer || value.type == Type::Number || value.type == Type::Bool)) {
        return e.asNumber(value, node.pos);
    }
    if (want == Type::Text && node.kind == NodeKind::Number) {
        return {Emitter::textLiteral(node.text), Type::Text};
    }
    if (want == Type::Text && (value.type == Type::Integer || value.type == Type::Number)) {
        return e.asText(value, node.pos);
    }
    if (want == Type::Date && value.type == Type::Text && node.kind == NodeKind::Text) {
        return {e.dateLiteral(normalizeDate(node.text, node.pos)), Type::Date};
    }
    throw Untranslatable{"the value does not fit the field's type"};
}

// Real databases repeat a few defaults and rules on many fields, so translations are kept: a
// default depends only on its text and the field's type; a field rule that reads nothing but its
// own field is kept with the field left open (kOpenField) and filled in on use.
constexpr char kOpenField = '\x01';

// Thrown while making a template when the rule names a field, which the template cannot hold.
struct NamesAField {};

class OpenFieldResolver : public NameResolver {
public:
    OpenFieldResolver(Target target, const Column& self) : m_target(target), m_self(self) {}
    Emitted resolve(const Node&) const override { throw NamesAField{}; }
    Emitted implicitOperand() const override {
        return {storedValue(m_target, std::string(1, kOpenField), m_self.daoType),
                typeOfDao(m_self.daoType)};
    }

private:
    Target m_target;
    const Column& m_self;
};

// What a kept translation depends on: the target, the kind of text ('d' default, 'f' field
// rule), the column's DAO type and the text. Looked up with the text as given, so that a hit
// copies nothing.
struct KeyView {
    Target target;
    char kind;
    int daoType;
    std::string_view text;
};

struct Key {
    Target target;
    char kind;
    int daoType;
    std::string text;

    explicit Key(const KeyView& key)
        : target(key.target), kind(key.kind), daoType(key.daoType), text(key.text) {}
    KeyView view() const { return {target, kind, daoType, text}; }
};

struct KeyHash {
    using is_transparent = void;
    std::size_t operator()(const KeyView& key) const {
        const std::size_t kind = static_cast<std::size_t>(key.kind) << 1 |
                                 static_cast<std::size_t>(key.target == Target::Sqlite);
        return std::hash<std::string_view>{}(key.text) ^
               (static_cast<std::size_t>(static_cast<unsigned>(key.daoType)) << 9 | kind) *
                   0x9E3779B97F4A7C15ULL;
    }
    std::size_t operator()(const Key& key) const { return (*this)(key.view()); }
};

struct KeyEqual {
    using is_transparent = void;
    static bool same(const KeyView& a, const KeyView& b) {
        return a.target == b.target && a.kind == b.kind && a.daoType == b.daoType &&
               a.text == b.text;
    }
    bool operator()(const Key& a, const Key& b) const { return same(a.view(), b.view()); }
    bool operator()(const KeyView& a, const Key& b) const { return same(a, b.view()); }
    bool operator()(const Key& a, const KeyView& b) const { return same(a.view(), b); }
};

// A kept translation and, for a field rule's template, where the field stands open in its sql.
struct Kept {
    Translation translation;
    std::vector<std::size_t> open;
};

struct TranslationCache {
    using Entry = std::pair<const Key, Kept>;
    std::unordered_map<Key, Kept, KeyHash, KeyEqual> entries;
    // The entry found last for defaults and for rules: neighbouring fields often repeat a
    // default or rule, and comparing with it costs less than hashing the text.
    const Entry* last[2] = {nullptr, nullptr};

    static std::size_t slot(const KeyView& key) { return key.kind == 'd' ? 0 : 1; }

    const Kept* find(const KeyView& key) {
        const Entry*& recent = last[slot(key)];
        if (recent != nullptr && KeyEqual::same(recent->first.view(), key)) {
            return &recent->second;
        }
        auto it = entries.find(key);
        if (it == entries.end()) return nullptr;
        recent = &*it;
        return &it->second;
    }
    const Kept& add(const KeyView& key, Translation value) {
        if (entries.size() > 4096) {
            entries.clear();  // bounded; a rebuilt entry costs one parse
            last[0] = last[1] = nullptr;
        }
        Kept kept{std::move(value), {}};
        const std::string& sql = kept.translation.sql;
        for (std::size_t at = sql.find(kOpenField); at != std::string::npos;
             at = sql.find(kOpenField, at + 1)) {
            kept.open.push_back(at);
        }
        const Entry* added = &*entries.emplace(Key(key), std::move(kept)).first;
        last[slot(key)] = added;
        return added->second;
    }
};

TranslationCache& cache() {
    thread_local TranslationCache instance;
    return instance;
}

// Appends the kept rule with the field's identifier written where it stands open.
void fillOpenField(std::string& out, const Kept& kept, const Column& column,
                   const TableColumns& table, const NameMapper& names) {
    const std::string_view sql = kept.translation.sql;
    std::size_t start = 0;
    for (const std::size_t open : kept.open) {
        out.append(sql.substr(start, open - start));
        names.appendColumn(out, table.name, column.name);
        start = open + 1;
    }
    out.append(sql.substr(start));
}

Translation uncachedDefault(Target target, std::string_view text, const Column& column,
                            const TableColumns& table, const NameMapper& names) {
    return guarded([&] {
        const NodePtr node = parseExpression(text, false, true);
        TableResolver resolver(target, table, &column, names, false);
        Emitter e(target, Context::Default, resolver);
        const Emitted value = fitToColumn(e, e.emit(*node), *node, column);
        if (target == Target::Sqlite && !isPlainLiteral(value.sql) && value.sql != "NULL") {
            return "(" + value.sql + ")";  // SQLite takes an expression default in parentheses
        }
        return value.sql;
    });
}

// The kept translation of a default (made and kept on first use).
const Translation& cachedDefault(Target target, std::string_view text, const Column& column,
                                 const TableColumns& table, const NameMapper& names) {
    const KeyView key{target, 'd', column.daoType, text};
    if (const Kept* hit = cache().find(key)) return hit->translation;
    return cache().add(key, uncachedDefault(target, text, column, table, names)).translation;
}

// A field rule translated in full, for a rule that names a field (which no template holds).
Translation uncachedFieldRule(Target target, std::string_view rule, const Column& column,
                              const TableColumns& table, const NameMapper& names) {
    return guarded([&] {
        const NodePtr node = parseExpression(rule, true, false);
        TableResolver resolver(target, table, &column, names, true);
        Emitter e(target, Context::Check, resolver);
        return "CHECK (" + e.condition(*node) + ")";
    });
}

// The kept template of a field rule (made and kept on first use), or null when the rule names a
// field or holds the character that marks the open field itself, and has no template.
const Kept* cachedFieldRule(Target target, std::string_view rule, const Column& column) {
    const KeyView key{target, 'f', column.daoType, rule};
    if (const Kept* hit = cache().find(key)) return hit;
    if (rule.find(kOpenField) != std::string_view::npos) return nullptr;
    try {
        Translation t = guarded([&] {
            const NodePtr node = parseExpression(rule, true, false);
            OpenFieldResolver resolver(target, column);
            Emitter e(target, Context::Check, resolver);
            return "CHECK (" + e.condition(*node) + ")";
        });
        return &cache().add(key, std::move(t));
    } catch (const NamesAField&) {
        return nullptr;
    }
}

}  // namespace

Translation translateDefault(Target target, std::string_view text, const Column& column,
                             const TableColumns& table, const NameMapper& names) {
    return cachedDefault(target, text, column, table, names);
}

const Translation& keptDefault(Target target, std::string_view text, const Column& column,
                               const TableColumns& table, const NameMapper& names) {
    return cachedDefault(target, text, column, table, names);
}

Translation appendDefault(std::string& out, std::string_view lead, Target target,
                          std::string_view text, const Column& column, const TableColumns& table,
                          const NameMapper& names) {
    const Translation& kept = cachedDefault(target, text, column, table, names);
    if (!kept.ok) return kept;
    out.append(lead).append(kept.sql);
    return {true, {}, {}};
}

Translation translateFieldRule(Target target, std::string_view rule, const Column& column,
                               const TableColumns& table, const NameMapper& names) {
    const Kept* hit = cachedFieldRule(target, rule, column);
    if (hit == nullptr) return uncachedFieldRule(target, rule, column, table, names);
    if (!hit->translation.ok) return hit->translation;
    std::string sql;
    sql.reserve(hit->translation.sql.size() + column.name.size() + 8);
    fillOpenField(sql, *hit, column, table, names);
    return {true, std::move(sql), {}};
}

KeptFieldRule keptFieldRule(Target target, std::string_view rule, const Column& column) {
    const Kept* hit = cachedFieldRule(target, rule, column);
    if (hit == nullptr) return {};
    return {&hit->translation, &hit->open};
}

bool zeroLengthCheckApplies(const Column& column) {
    return typeOfDao(column.daoType) == Type::Text;
}

Translation appendFieldRule(std::string& out, std::string_view lead, Target target,
                            std::string_view rule, const Column& column, const TableColumns& table,
                            const NameMapper& names) {
    const Kept* hit = cachedFieldRule(target, rule, column);
    if (hit == nullptr) {
        Translation t = uncachedFieldRule(target, rule, column, table, names);
        if (!t.ok) return t;
        out.append(lead).append(t.sql);
        return {true, {}, {}};
    }
    if (!hit->translation.ok) return hit->translation;
    out.append(lead);
    fillOpenField(out, *hit, column, table, names);
    return {true, {}, {}};
}

Translation translateTableRule(Target target, std::string_view rule, const TableColumns& table,
                               const NameMapper& names) {
    return guarded([&] {
        const NodePtr node = parseExpression(rule, false, false);
        TableResolver resolver(target, table, nullptr, names, true);
        Emitter e(target, Context::Check, resolver);
        return "CHECK (" + e.condition(*node) + ")";
    });
}

Translation translateCalculated(Target target, std::string_view expression, const Column& column,
                                const TableColumns& table, const NameMapper& names) {
    return guarded([&] {
        const NodePtr node = parseExpression(expression, false, true);
        TableResolver resolver(target, table, &column, names, true);
        resolver.generated = true;
        Emitter e(target, Context::Generated, resolver);
        Emitted value = e.emit(*node);
        const Type want = typeOfDao(column.daoType);
        if (want == Type::Bool && value.type != Type::Bool) value = e.asBool(value, node->pos);
        if ((want == Type::Integer || want == Type::Number) && value.type == Type::Bool) {
            value = e.asNumber(value, node->pos);
        }
        return "GENERATED ALWAYS AS (" + value.sql + ")" +
               (target == Target::PostgreSql ? " STORED" : " VIRTUAL");
    });
}

Translation appendAllowZeroLengthCheck(std::string& out, std::string_view lead, Target,
                                       const Column& column, const TableColumns& table,
                                       const NameMapper& names) {
    if (!zeroLengthCheckApplies(column)) {
        return failure("AllowZeroLength applies to text fields only");
    }
    out.append(lead).append(kZeroLengthCheckOpen);
    names.appendColumn(out, table.name, column.name);
    out.append(kZeroLengthCheckClose);
    return {true, {}, {}};
}

Translation allowZeroLengthCheck(Target, const Column& column, const TableColumns& table,
                                 const NameMapper& names) {
    const Type type = typeOfDao(column.daoType);
    if (type != Type::Text) return failure("AllowZeroLength applies to text fields only");
    std::string sql;
    sql.reserve(column.name.size() + 20);
    sql += "CHECK (";
    names.appendColumn(sql, table.name, column.name);
    sql += " <> '')";
    return {true, std::move(sql), {}};
}

}  // namespace zl::translate
