// One row of the system table of saved queries (MSysQueries), as the query rebuilder takes it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zl::schema::jet {

// The columns of MSysQueries that describe a query. A column that is NULL in the row is empty
// (std::nullopt); texts are UTF-8. `order` is the raw bytes of the binary "Order" column.
struct QueryRow {
    std::optional<int> attribute;           // "Attribute" (Byte): what the row describes
    std::optional<std::string> expression;  // "Expression" (Memo or Text)
    std::optional<int> flag;                // "Flag" (Integer)
    std::optional<std::string> name1;       // "Name1"
    std::optional<std::string> name2;       // "Name2"
    std::int32_t objectId = 0;              // "ObjectId": the query's id in MSysObjects
    std::vector<std::uint8_t> order;        // "Order" (Binary)
    std::optional<std::int32_t> extra;      // "LvExtra" (Long, Jet 4 on): a Text parameter's size
    std::uint32_t page = 0xFFFFFFFFu;       // where the row is stored, for messages (none: unknown)
    std::uint16_t offset = 0;               // its offset in that page
};

}  // namespace zl::schema::jet
