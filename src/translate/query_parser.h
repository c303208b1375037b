// The syntax tree of an Access saved query (SELECT, UNION, TRANSFORM ... PIVOT) and its parser.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "translate/expression.h"

namespace zl::translate {

// One item of a FROM list: a named table or query, a join of two items, or a subquery.
struct TableRef {
    enum class Kind { Named, Join, Subquery } kind = Kind::Named;
    std::size_t pos = 0;
    std::string name;   // Named: the table or query
    std::string alias;  // Named and Subquery: the alias, "" when none
    std::string join;   // Join: "INNER", "LEFT" or "RIGHT"
    std::unique_ptr<TableRef> left, right;
    NodePtr on;

    // From a pool of their size, as nodes are.
    static void* operator new(std::size_t size) {
        return size == sizeof(TableRef) ? BlockPool<sizeof(TableRef)>::allocate()
                                        : ::operator new(size);
    }
    static void operator delete(void* pointer, std::size_t size) noexcept {
        if (size == sizeof(TableRef)) {
            BlockPool<sizeof(TableRef)>::release(pointer);
        } else {
            ::operator delete(pointer);
        }
    }
};

struct SelectItem {
    NodePtr expr;
    std::string alias;
};

struct OrderItem {
    NodePtr expr;
    bool descending = false;
};

struct SelectStatement {
    bool distinct = false;
    bool distinctRow = false;
    std::string top;  // "" when there is no TOP
    bool topPercent = false;
    bool into = false;  // SELECT ... INTO: a make-table query
    PoolVector<SelectItem> items;
    PoolVector<std::unique_ptr<TableRef>> from;
    NodePtr where;
    PoolVector<NodePtr> groupBy;
    NodePtr having;
    PoolVector<OrderItem> orderBy;
};

struct QueryStatement {
    std::vector<std::pair<std::string, std::string>> parameters;  // name, type as written
    PoolVector<SelectStatement> parts;                            // several for a union
    std::vector<bool> unionAll;        // between parts[i] and parts[i + 1]
    PoolVector<OrderItem> unionOrder;  // ORDER BY of a whole union
    // TRANSFORM value [AS alias] ... PIVOT pivot [IN (headings)]
    NodePtr transform;
    std::string transformAlias;
    NodePtr pivot;
    PoolVector<NodePtr> headings;
    bool crosstab = false;
};

// Parses QueryDef.SQL as Access shows it. Throws SyntaxError with the position.
QueryStatement parseQuery(std::string_view sql);
// The same into `out`, a statement as default-constructed, which is not moved afterwards; after a
// SyntaxError `out` holds what was parsed before it.
void parseQuery(std::string_view sql, QueryStatement& out);

}  // namespace zl::translate
