// The identifiers of the loadable SQL targets: every Access name mapped to a name the target
// accepts, at most 63 bytes, unique among all objects of the schema. The script, the translator
// and the data export all write names through one TargetNames, so they agree.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "sqlgen/target_schema.h"
#include "translate/translate.h"

namespace zl::sqlgen {

struct TargetSchema;

class TargetNames : public translate::NameMapper {
public:
    // Assigns names in a fixed order: tables, then views, then each table's columns and indexes,
    // then the relations between selected tables. The first object keeps a name; later ones get
    // the table name in front or a number behind.
    TargetNames(translate::Target target, const TargetSchema& schema);

    // NameMapper: quoted identifiers of tables and views, and of their columns. A name that was
    // never assigned (a table the selection leaves out) is quoted as the rules would make it.
    std::string object(std::string_view name) const override;
    std::string column(std::string_view owner, std::string_view column) const override;
    void appendObject(std::string& out, std::string_view name) const override;
    void appendColumn(std::string& out, std::string_view owner,
                      std::string_view field) const override;

    // The same names unquoted.
    std::string tableName(std::string_view table) const;
    std::string columnName(std::string_view table, std::string_view field) const;
    std::string indexName(std::string_view table, std::string_view index) const;
    std::string relationName(std::string_view relation) const;
    // The quoted name of index `index` of `table`, appended to `out`.
    void appendIndexName(std::string& out, std::string_view table, std::string_view index) const;
    // The same for a caller that writes many indexes of one table: the table's index names,
    // found once (null when it has none), then each index's.
    using IndexNames = std::vector<std::pair<std::string, std::string>>;
    const IndexNames* indexNamesOf(std::string_view table) const;
    void appendIndexName(std::string& out, const IndexNames* names, std::string_view table,
                         std::string_view index) const;

    // The same answers for the table at `position` in the schema's tables, found once when the
    // names are assigned, for a writer that goes through the tables in order.
    void appendTableAt(std::string& out, std::size_t position) const;
    const IndexNames* indexNamesAt(std::size_t position) const;
    bool keepsColumnNamesAt(std::size_t position) const {
        return m_byPosition[position].keepsColumns;
    }

    // A fresh schema-wide name for an object that the script adds itself (an index that a
    // foreign key needs). Unique like every other name, but no rename of an Access name.
    std::string claim(std::string_view wanted, std::string_view table);

    // Every name that differs from its Access name, as ledger items.
    const std::vector<translate::LedgerItem>& renames() const { return m_renames; }
    // The same items handed over, for a caller that is done with the names.
    std::vector<translate::LedgerItem> takeRenames() { return std::move(m_renames); }

    // `identifier` in double quotes, inner quotes doubled.
    static std::string quote(std::string_view identifier);

    // NameMapper: true for a table of the schema whose columns all keep their names (it has no
    // column map of its own; see the constructor).
    bool keepsColumnNames(std::string_view table) const override;

private:
    // Names hashed and compared without regard to ASCII case, looked up without copies.
    struct FoldedHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view text) const;
    };
    struct FoldedEqual {
        using is_transparent = void;
        bool operator()(std::string_view a, std::string_view b) const;
    };
    // The names taken in one name space: an open-addressing table of positions into a list of
    // names, whose text is kept end to end in one string. No name costs an allocation of its own.
    class Space {
    public:
        void reserve(std::size_t count);
        bool contains(std::string_view name) const;
        void insert(std::string_view name);  // a name not yet taken
        // Takes `name` when it is free; false when it is taken already.
        bool take(std::string_view name);

    private:
        struct Name {
            std::size_t hash;  // compared before the text
            std::uint32_t at;  // where the text starts in m_text
            std::uint32_t size;
        };
        std::string_view text(const Name& name) const {
            return {m_text.data() + name.at, name.size};
        }
        std::size_t find(std::string_view name, std::size_t hash) const;
        void add(std::string_view name, std::size_t hash, std::size_t slot);
        std::string m_text;
        std::vector<Name> m_names;
        std::vector<std::uint32_t> m_slots;  // 0: empty; otherwise a position in m_names + 1
    };
    using NameMap = std::unordered_map<std::string, std::string, FoldedHash, FoldedEqual>;
    // What a rename is recorded against; the ledger item is made only when a name changes.
    struct Subject {
        std::optional<std::string_view> table;
        std::optional<std::string_view> field;
        std::optional<std::string_view> query;
        std::string_view property = "Name";
        bool recorded = true;
    };
    std::string assign(Space& space, std::string_view wanted, std::string_view qualifier,
                       bool columnSpace, const Subject& subject);
    // Records the rename of `wanted` to `name` in the ledger.
    void record(const Subject& subject, std::string_view wanted, std::string_view name,
                std::string_view why);
    const std::string* findColumn(std::string_view table, std::string_view field) const;

    translate::Target m_target;
    Space m_objects;
    NameMap m_tables;
    std::unordered_map<std::string, NameMap, FoldedHash, FoldedEqual> m_columns;  // by table
    // Index names by table: the position of the table's list, and each list's (Access name,
    // assigned name) pairs, which are few per table.
    std::unordered_map<std::string, std::size_t, FoldedHash, FoldedEqual> m_indexOwners;
    std::vector<IndexNames> m_indexLists;
    NameMap m_relations;
    // What the name maps give for each table of the schema, by position.
    struct TableEntry {
        std::string name;
        std::size_t indexList = kNoIndexList;  // position in m_indexLists
        bool keepsColumns = false;
    };
    static constexpr std::size_t kNoIndexList = static_cast<std::size_t>(-1);
    std::vector<TableEntry> m_byPosition;
    std::vector<translate::LedgerItem> m_renames;
};

}  // namespace zl::sqlgen
