// Selection flags of zlgen-cli, turned into the same model operations as clicks in the lists.
#include "cli/selection.h"

#include <algorithm>
#include <optional>

#include "schema/engine.h"
#include "schema/schema_model.h"
#include "support/text.h"

namespace zl::cli {

namespace {

// Access names are unique ignoring case, so an exact match wins and a case-folded one follows.
template <typename NameAt>
std::optional<std::size_t> findName(std::size_t count, NameAt nameAt, const std::string& wanted) {
    for (std::size_t i = 0; i < count; ++i) {
        if (nameAt(i) == wanted) return i;
    }
    for (std::size_t i = 0; i < count; ++i) {
        if (support::equalsIgnoringAsciiCase(nameAt(i), wanted)) return i;
    }
    return std::nullopt;
}

std::optional<std::size_t> findEntry(const schema::SchemaModel& model, const std::string& name) {
    return findName(
        model.size(), [&](std::size_t i) { return model.entry(i).name; }, name);
}

struct QualifiedName {
    std::string table;
    std::string member;
};

// Access names never contain a dot, so the first dot separates table and member.
std::optional<QualifiedName> splitQualified(const std::string& text) {
    const auto dot = text.find('.');
    if (dot == std::string::npos || dot == 0 || dot + 1 == text.size()) return std::nullopt;
    return QualifiedName{text.substr(0, dot), text.substr(dot + 1)};
}

enum class Member { Field, Index };

support::Status usage(std::string message) {
    return support::Error{support::ErrorKind::Usage, std::move(message)};
}

support::Status excludeMember(schema::SchemaModel& model, const schema::Database& db,
                              const std::string& qualified, Member kind) {
    const char* what = kind == Member::Field ? "field" : "index";
    const auto parts = splitQualified(qualified);
    if (!parts)
        return usage(std::string("expected TABLE.") + (kind == Member::Field ? "FIELD" : "INDEX") +
                     ", got '" + qualified + "'");
    const auto e = findEntry(model, parts->table);
    if (!e || model.entry(*e).isQueryDef) return usage("no table named '" + parts->table + "'");
    const auto table = db.tableDef(model.entry(*e).name);
    const int count = kind == Member::Field ? table->fieldCount() : table->indexCount();
    const auto position = findName(
        static_cast<std::size_t>(count),
        [&](std::size_t i) {
            const int p = static_cast<int>(i);
            return kind == Member::Field ? table->field(p).name : table->index(p).name;
        },
        parts->member);
    if (!position) return usage(std::string("no ") + what + " named '" + qualified + "'");
    const int p = static_cast<int>(*position);
    const int limit = kind == Member::Field ? schema::SchemaModel::kListedFields
                                            : schema::SchemaModel::kListedIndexes;
    if (p >= limit) {
        return usage(std::string("the ") + what + " '" + qualified + "' lies past the first " +
                     std::to_string(limit) + " and cannot be left out");
    }
    if (kind == Member::Field) {
        model.StoreFieldSelection(*e, p, false);
    } else {
        model.StoreIndexSelection(*e, p, false);
    }
    return {};
}

support::Status applyEntrySelection(schema::SchemaModel& model, const SelectionRequest& request) {
    if (!request.only.empty()) {
        std::vector<bool> keep(model.size(), false);
        for (const std::string& name : request.only) {
            const auto e = findEntry(model, name);
            if (!e) return usage("no table or QueryDef named '" + name + "'");
            keep[*e] = true;
        }
        for (std::size_t e = 0; e < model.size(); ++e) {
            if (!keep[e]) model.setEntrySelected(e, false);
        }
    }
    for (const std::string& name : request.exclude) {
        const auto e = findEntry(model, name);
        if (!e) return usage("no table or QueryDef named '" + name + "'");
        model.setEntrySelected(*e, false);
    }
    return {};
}

}  // namespace

void fillModel(schema::SchemaModel& model, const schema::Database& db) {
    model.clear();
    for (const schema::TableListRow& row : db.listTables()) {
        if (row.isSystemObject()) continue;
        model.addEntry(row.name, row.isQueryDef());
    }
    model.ResetSelection();
}

support::Status applySelection(schema::SchemaModel& model, const schema::Database& db,
                               const SelectionRequest& request) {
    if (support::Status done = applyEntrySelection(model, request); !done) return done;
    for (const std::string& name : request.excludeFields) {
        if (support::Status done = excludeMember(model, db, name, Member::Field); !done)
            return done;
    }
    for (const std::string& name : request.excludeIndexes) {
        if (support::Status done = excludeMember(model, db, name, Member::Index); !done)
            return done;
    }
    return {};
}

}  // namespace zl::cli
