// Checks the rows of one saved query and files them by attribute.
#include "schema/jet/query_row_set.h"

#include <algorithm>

#include "schema/engine.h"
#include "support/text.h"

namespace zl::schema::jet {
namespace {

constexpr int kFirstKind = static_cast<int>(QueryKind::Select);
constexpr int kLastKind = static_cast<int>(QueryKind::Union);

const QueryRow kNoRow;

}  // namespace

int daoQueryType(QueryKind kind) {
    switch (kind) {
        case QueryKind::Select:
            return dao::kQuerySelect;
        case QueryKind::MakeTable:
            return dao::kQueryMakeTable;
        case QueryKind::Append:
            return dao::kQueryAppend;
        case QueryKind::Update:
            return dao::kQueryUpdate;
        case QueryKind::Delete:
            return dao::kQueryDelete;
        case QueryKind::Crosstab:
            return dao::kQueryCrosstab;
        case QueryKind::DataDefinition:
            return dao::kQueryDataDefinition;
        case QueryKind::PassThrough:
            return dao::kQueryPassThrough;
        case QueryKind::Union:
            return dao::kQueryUnion;
    }
    return dao::kQuerySelect;
}

std::optional<QueryKind> kindOfDaoQueryType(int type) {
    for (int kind = kFirstKind; kind <= kLastKind; ++kind) {
        if (daoQueryType(static_cast<QueryKind>(kind)) == type) {
            return static_cast<QueryKind>(kind);
        }
    }
    return std::nullopt;
}

QueryRowSet::QueryRowSet(const std::vector<QueryRow>& rows, QueryKind catalogKind) {
    if (rows.empty()) {
        fail("the query has no rows in MSysQueries");
    }
    m_objectId = rows.front().objectId;
    m_first = &rows.front();
    for (const QueryRow& row : rows) {
        file(row);
    }
    // Order is a binary sort key; rows without one (every row in the files we know) keep the
    // storage order they were read in, which is the order Access shows them in.
    for (auto& filed : m_byAttribute) {
        std::stable_sort(filed.begin(), filed.end(),
                         [](const QueryRow& a, const QueryRow& b) { return a.order < b.order; });
    }
    readKind(catalogKind);
    // Pass-through and data-definition queries keep their whole text in the Type row; flags
    // they may carry say nothing about it.
    if (m_kind != QueryKind::PassThrough && m_kind != QueryKind::DataDefinition) {
        readFlags();
    }
}

void QueryRowSet::file(const QueryRow& row) {
    if (row.objectId != m_objectId) {
        fail("a row belongs to query " + std::to_string(row.objectId), &row);
    }
    if (!row.attribute) {
        fail("a row has no Attribute", &row);
    }
    const int attribute = *row.attribute;
    // The end row carries nothing; attributes beyond the known ones (later Access versions
    // write 12 and up with only a Flag) describe nothing the text shows.
    if (attribute < 0 || attribute >= kClauseAttributeCount) {
        return;
    }
    m_byAttribute[static_cast<std::size_t>(attribute)].push_back(row);
}

void QueryRowSet::readKind(QueryKind catalogKind) {
    const QueryRow* type = singleRow(QueryAttribute::Type);
    if (type == nullptr || !type->flag) {
        // Access writes queries without a Type row or without its Flag: the catalog says the
        // kind, and a plain SELECT has no Type row to speak of.
        m_kind = catalogKind;
        return;
    }
    const int kind = *type->flag;
    if (kind < kFirstKind || kind > kLastKind) {
        fail("the Type row has query kind " + std::to_string(kind) + ", expected " +
                 std::to_string(kFirstKind) + " to " + std::to_string(kLastKind),
             type);
    }
    m_kind = static_cast<QueryKind>(kind);
}

const QueryRow& QueryRowSet::typeRow() const {
    const std::vector<QueryRow>& types = rows(QueryAttribute::Type);
    return types.empty() ? kNoRow : types.front();
}

void QueryRowSet::readFlags() {
    const QueryRow* flags = singleRow(QueryAttribute::Flags);
    if (flags == nullptr || !flags->flag) {
        return;
    }
    m_flags = *flags->flag;
    if ((m_flags & ~kKnownFlags) != 0) {
        fail("the Flags row has flags " + support::hexText(static_cast<unsigned>(m_flags)) +
                 ", expected bits within " + support::hexText(static_cast<unsigned>(kKnownFlags)),
             flags);
    }
}

const std::vector<QueryRow>& QueryRowSet::rows(QueryAttribute attribute) const {
    return m_byAttribute.at(static_cast<std::size_t>(attribute));
}

const QueryRow* QueryRowSet::singleRow(QueryAttribute attribute) const {
    const std::vector<QueryRow>& filed = rows(attribute);
    if (filed.size() > 1) {
        fail(std::to_string(filed.size()) + " rows have Attribute " +
                 std::to_string(static_cast<int>(attribute)) + ", expected at most one",
             &filed[1]);
    }
    return filed.empty() ? nullptr : &filed.front();
}

const std::string& QueryRowSet::text(const std::optional<std::string>& value,
                                     std::string_view what) const {
    if (!value) {
        fail(std::string(what) + " is NULL");
    }
    return *value;
}

int QueryRowSet::flag(const QueryRow& row, std::string_view what) const {
    if (!row.flag) {
        fail("the Flag of " + std::string(what) + " is NULL", &row);
    }
    return *row.flag;
}

void QueryRowSet::fail(const std::string& what, const QueryRow* row) const {
    const QueryRow* at = row != nullptr ? row : m_first;
    if (at == nullptr) throw QueryRowsDamage{what};
    throw QueryRowsDamage{what, at->page, at->offset};
}

}  // namespace zl::schema::jet
