// MSysQueries rows by Attribute: 0 start, 1 query type, 2 parameter, 3 select flags, 5 table,
// 6 column, 7 join, 8 WHERE, 9 GROUP BY, 10 HAVING, 11 ORDER BY, 255 end. "Order" numbers the
// rows of one attribute from 1, as a 4-byte big-endian number.
#include "jetwrite/query_rows.h"

#include <map>

#include "jetwrite/system_tables.h"
#include "jetwrite/write_error.h"

namespace zl::jetwrite {

namespace {

enum Attribute : std::uint8_t {
    kStart = 0,
    kType = 1,
    kParameter = 2,
    kFlags = 3,
    kTable = 5,
    kColumn = 6,
    kJoin = 7,
    kWhere = 8,
    kGroupBy = 9,
    kHaving = 10,
    kOrderBy = 11,
    kEnd = 255,
};

// Select flags of attribute 3.
constexpr std::int64_t kSelectStar = 0x01;
constexpr std::int64_t kDistinct = 0x02;
constexpr std::int64_t kOwnerAccess = 0x04;
constexpr std::int64_t kDistinctRow = 0x08;
constexpr std::int64_t kTop = 0x10;
constexpr std::int64_t kPercent = 0x20;
constexpr std::int64_t kUnionAllFlags = 0x01;
constexpr std::int64_t kUnionDistinct = 0x02;  // plain UNION (without ALL)
// Column and group-by flags of a crosstab query.
constexpr std::int64_t kCrosstabColumnHeading = 0x01;
constexpr std::int64_t kCrosstabRowHeading = 0x02;
constexpr std::int32_t kHiddenFlag = 0x08;
constexpr std::int32_t kSystemFlag = 0x02;

class RowBuilder {
public:
    explicit RowBuilder(std::int32_t objectId) : m_objectId(objectId) {}

    // Adds a row; empty names, a missing expression and a missing flag are stored as NULL.
    void add(std::uint8_t attribute, const std::string& name1, const std::string& name2,
             const std::optional<std::string>& expression, std::optional<std::int64_t> flag,
             std::optional<std::int64_t> extra = {}) {
        std::vector<Value> row(queries::kColumnCount);
        row[queries::kObjectId] = static_cast<std::int64_t>(m_objectId);
        row[queries::kAttribute] = static_cast<std::int64_t>(attribute);
        const std::uint32_t order = ++m_orders[attribute];
        row[queries::kOrder] = std::vector<std::uint8_t>{
            static_cast<std::uint8_t>(order >> 24), static_cast<std::uint8_t>(order >> 16),
            static_cast<std::uint8_t>(order >> 8), static_cast<std::uint8_t>(order)};
        if (!name1.empty()) row[queries::kName1] = name1;
        if (!name2.empty()) row[queries::kName2] = name2;
        if (expression) row[queries::kExpression] = *expression;
        if (flag) row[queries::kFlag] = *flag;
        if (extra) row[queries::kLvExtra] = *extra;
        m_rows.push_back(std::move(row));
    }

    std::vector<std::vector<Value>> take() { return std::move(m_rows); }

private:
    std::int32_t m_objectId;
    std::map<std::uint8_t, std::uint32_t> m_orders;
    std::vector<std::vector<Value>> m_rows;
};

std::int64_t typeCode(QueryKind kind) {
    switch (kind) {
        case QueryKind::Select:
            return 1;
        case QueryKind::MakeTable:
            return 2;
        case QueryKind::Append:
            return 3;
        case QueryKind::Update:
            return 4;
        case QueryKind::Delete:
            return 5;
        case QueryKind::Crosstab:
            return 6;
        case QueryKind::DataDefinition:
            return 7;
        case QueryKind::PassThrough:
            return 8;
        case QueryKind::Union:
            return 9;
    }
    return 1;
}

std::int64_t selectFlags(const QueryDescription& query) {
    if (query.kind == QueryKind::Union)
        return kUnionAllFlags | (query.unionAll ? 0 : kUnionDistinct);
    std::int64_t flags = 0;
    if (query.selectStar) flags |= kSelectStar;
    if (query.distinct) flags |= kDistinct;
    if (query.ownerAccess) flags |= kOwnerAccess;
    if (query.distinctRow) flags |= kDistinctRow;
    if (!query.top.empty()) flags |= kTop;
    if (!query.top.empty() && query.topPercent) flags |= kPercent;
    return flags;
}

std::int64_t crosstabFlag(CrosstabRole role) {
    switch (role) {
        case CrosstabRole::Transform:
            return 0;
        case CrosstabRole::ColumnHeading:
            return kCrosstabColumnHeading;
        case CrosstabRole::RowHeading:
            return kCrosstabRowHeading;
    }
    return 0;
}

std::int64_t joinCode(JoinKind kind) {
    switch (kind) {
        case JoinKind::Inner:
            return 1;
        case JoinKind::Left:
            return 2;
        case JoinKind::Right:
            return 3;
    }
    return 1;
}

void checkComplete(const QueryDescription& query) {
    const std::string name = "query \"" + query.name + "\"";
    if ((query.kind == QueryKind::Append || query.kind == QueryKind::MakeTable) &&
        query.targetTable.empty()) {
        throw WriteError(name + " needs a target table");
    }
    if (query.kind == QueryKind::Union && query.unionParts.size() != 2) {
        throw WriteError(name + " needs exactly two union parts");
    }
    if (query.kind == QueryKind::Crosstab) {
        std::size_t headings = 0;
        for (const QueryColumn& column : query.columns)
            headings += column.role == CrosstabRole::ColumnHeading ? 1 : 0;
        if (headings != 1) throw WriteError(name + " needs exactly one column heading (PIVOT)");
    }
}

void addTypeRow(RowBuilder& rows, const QueryDescription& query) {
    if (!query.writeTypeRow) return;
    switch (query.kind) {
        case QueryKind::Append:
        case QueryKind::MakeTable:
            rows.add(kType, query.targetTable, "", std::nullopt, typeCode(query.kind));
            break;
        case QueryKind::PassThrough:
            rows.add(kType, query.connect, "", query.sqlText, typeCode(query.kind));
            break;
        case QueryKind::DataDefinition:
            rows.add(kType, "", "", query.sqlText, typeCode(query.kind));
            break;
        default:
            rows.add(kType, "", "", std::nullopt, typeCode(query.kind));
            break;
    }
}

void addTypeRows(RowBuilder& rows, const QueryDescription& query) {
    rows.add(kStart, "", "", std::nullopt, 0);
    addTypeRow(rows, query);
    for (const QueryParameter& parameter : query.parameters) {
        std::optional<std::int64_t> size;
        if (parameter.type == FieldType::Text && parameter.size > 0) size = parameter.size;
        rows.add(kParameter, parameter.name, "", std::nullopt, parameterTypeCode(parameter.type),
                 size);
    }
    const bool passThroughKind =
        query.kind == QueryKind::PassThrough || query.kind == QueryKind::DataDefinition;
    const std::int64_t flags = selectFlags(query);
    // Access leaves the flag row out of append queries that use no select options.
    if (query.writeFlagsRow && !passThroughKind &&
        (query.kind != QueryKind::Append || flags != 0)) {
        rows.add(kFlags, query.top, "", std::nullopt, flags);
    }
}

void addClauseRows(RowBuilder& rows, const QueryDescription& query) {
    const bool crosstab = query.kind == QueryKind::Crosstab;
    if (query.kind == QueryKind::Union) {
        rows.add(kTable, "", "X7YZ_____1", query.unionParts[0], std::nullopt);
        rows.add(kTable, "", "X7YZ_____2", query.unionParts[1], std::nullopt);
    }
    for (const QueryTable& table : query.tables)
        rows.add(kTable, table.name, table.alias, std::nullopt, std::nullopt);
    for (const QueryColumn& column : query.columns) {
        rows.add(kColumn, column.alias, column.target, column.expression,
                 crosstab ? crosstabFlag(column.role) : 0);
    }
    for (const QueryJoin& join : query.joins)
        rows.add(kJoin, join.left, join.right, join.condition, joinCode(join.kind));
    if (!query.where.empty()) rows.add(kWhere, "", "", query.where, std::nullopt);
    for (const QueryColumn& group : query.groupBy) {
        rows.add(kGroupBy, "", "", group.expression, crosstab ? crosstabFlag(group.role) : 0);
    }
    if (crosstab) {
        // Access groups by the column heading too; add it when the description leaves it out.
        for (const QueryColumn& column : query.columns) {
            if (column.role != CrosstabRole::ColumnHeading) continue;
            bool listed = false;
            for (const QueryColumn& group : query.groupBy)
                listed |= group.expression == column.expression;
            if (!listed) rows.add(kGroupBy, "", "", column.expression, kCrosstabColumnHeading);
        }
    }
    if (!query.having.empty()) rows.add(kHaving, "", "", query.having, std::nullopt);
    for (const QueryOrder& order : query.orderBy) {
        rows.add(kOrderBy, order.descending ? "D" : "", "", order.expression, std::nullopt);
    }
}

}  // namespace

int parameterTypeCode(const std::optional<FieldType>& type) {
    if (!type) return 0;
    switch (*type) {
        case FieldType::Boolean:
            return 1;
        case FieldType::Byte:
            return 2;
        case FieldType::Integer:
            return 3;
        case FieldType::Long:
            return 4;
        case FieldType::Currency:
            return 5;
        case FieldType::Single:
            return 6;
        case FieldType::Double:
            return 7;
        case FieldType::Date:
            return 8;
        case FieldType::Binary:
            return 9;
        case FieldType::Text:
            return 10;
        case FieldType::LongBinary:
            return 11;
        case FieldType::Memo:
            return 12;
        case FieldType::Guid:
            return 15;
        case FieldType::Decimal:
            return 20;
        case FieldType::BigInt:
            return 16;
        case FieldType::DateTimeExtended:
            return 26;
    }
    return 0;
}

std::vector<std::vector<Value>> queryRows(const QueryDescription& query, std::int32_t objectId) {
    checkComplete(query);
    RowBuilder rows(objectId);
    addTypeRows(rows, query);
    if (query.kind != QueryKind::PassThrough && query.kind != QueryKind::DataDefinition)
        addClauseRows(rows, query);
    for (const RawQueryRow& raw : query.extraRows) {
        rows.add(static_cast<std::uint8_t>(raw.attribute), raw.name1, raw.name2, raw.expression,
                 raw.flag);
    }
    rows.add(kEnd, "", "", std::nullopt, std::nullopt);
    return rows.take();
}

std::int32_t queryCatalogFlags(const QueryDescription& query) {
    std::int32_t kind = 0;
    switch (query.kind) {
        case QueryKind::Select:
            kind = 0;
            break;
        case QueryKind::Crosstab:
            kind = 16;
            break;
        case QueryKind::Delete:
            kind = 32;
            break;
        case QueryKind::Update:
            kind = 48;
            break;
        case QueryKind::Append:
            kind = 64;
            break;
        case QueryKind::MakeTable:
            kind = 80;
            break;
        case QueryKind::DataDefinition:
            kind = 96;
            break;
        case QueryKind::PassThrough:
            kind = 112;
            break;
        case QueryKind::Union:
            kind = 128;
            break;
    }
    return kind | (query.hidden ? kHiddenFlag : 0) | (query.system ? kSystemFlag : 0);
}

}  // namespace zl::jetwrite
