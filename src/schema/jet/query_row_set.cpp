// Checks the rows of one saved query and files them by attribute.
#include "schema/jet/query_row_set.h"

#include <algorithm>

#include "schema/engine.h"

namespace zl::schema::jet {
namespace {

constexpr int kFirstKind = static_cast<int>(QueryKind::Select);
constexpr int kLastKind = static_cast<int>(QueryKind::Union);
constexpr int kEndAttribute = static_cast<int>(QueryAttribute::End);

std::string hex(int value) {
    constexpr std::string_view kDigits = "0123456789ABCDEF";
    auto bits = static_cast<unsigned>(value);
    std::string text;
    do {
        text.insert(text.begin(), kDigits[bits & 0xFu]);
        bits >>= 4;
    } while (bits != 0);
    return "0x" + text;
}

}  // namespace

QueryRowSet::QueryRowSet(const std::vector<QueryRow>& rows) {
    if (rows.empty()) {
        throw EngineError("The saved query has no rows in MSysQueries");
    }
    m_objectId = rows.front().objectId;
    for (const QueryRow& row : rows) {
        file(row);
    }
    // Order is a binary sort key; rows without one (every row in the files we know) keep the
    // storage order they were read in, which is the order Access shows them in.
    for (auto& filed : m_byAttribute) {
        std::stable_sort(filed.begin(), filed.end(),
                         [](const QueryRow& a, const QueryRow& b) { return a.order < b.order; });
    }
    readKind();
    // Pass-through and data-definition queries keep their whole text in the Type row; flags
    // they may carry say nothing about it.
    if (m_kind != QueryKind::PassThrough && m_kind != QueryKind::DataDefinition) {
        readFlags();
    }
}

void QueryRowSet::file(const QueryRow& row) {
    if (row.objectId != m_objectId) {
        fail("a row belongs to query " + std::to_string(row.objectId));
    }
    if (!row.attribute) {
        fail("a row has no Attribute");
    }
    const int attribute = *row.attribute;
    if (attribute == kEndAttribute) {
        return;
    }
    if (attribute < 0 || attribute >= kClauseAttributeCount) {
        fail("a row has Attribute " + std::to_string(attribute) + ", expected 0 to " +
             std::to_string(kClauseAttributeCount - 1) + " or 255");
    }
    m_byAttribute[static_cast<std::size_t>(attribute)].push_back(row);
}

void QueryRowSet::readKind() {
    const QueryRow* type = singleRow(QueryAttribute::Type);
    if (type == nullptr) {
        fail("there is no Type row (Attribute 1)");
    }
    const int kind = flag(*type, "the Type row");
    if (kind < kFirstKind || kind > kLastKind) {
        fail("the Type row has query kind " + std::to_string(kind) + ", expected " +
             std::to_string(kFirstKind) + " to " + std::to_string(kLastKind));
    }
    m_kind = static_cast<QueryKind>(kind);
}

void QueryRowSet::readFlags() {
    const QueryRow* flags = singleRow(QueryAttribute::Flags);
    if (flags == nullptr || !flags->flag) {
        return;
    }
    m_flags = *flags->flag;
    if ((m_flags & ~kKnownFlags) != 0) {
        fail("the Flags row has flags " + hex(m_flags) + ", expected bits within " +
             hex(kKnownFlags));
    }
}

const std::vector<QueryRow>& QueryRowSet::rows(QueryAttribute attribute) const {
    return m_byAttribute.at(static_cast<std::size_t>(attribute));
}

const QueryRow* QueryRowSet::singleRow(QueryAttribute attribute) const {
    const std::vector<QueryRow>& filed = rows(attribute);
    if (filed.size() > 1) {
        fail(std::to_string(filed.size()) + " rows have Attribute " +
             std::to_string(static_cast<int>(attribute)) + ", expected at most one");
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
        fail("the Flag of " + std::string(what) + " is NULL");
    }
    return *row.flag;
}

void QueryRowSet::fail(const std::string& what) const {
    throw EngineError("The rows of saved query " + std::to_string(m_objectId) +
                      " in MSysQueries are damaged: " + what);
}

}  // namespace zl::schema::jet
