// Column numbering and row layout.
#include "jetwrite/table_schema.h"

#include <algorithm>

namespace zl::jetwrite {

void assignColumnLayout(std::vector<ColumnLayout>& columns) {
    std::uint16_t nextFixed = 0;
    std::uint16_t nextVar = 0;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        ColumnLayout& column = columns[i];
        column.number = static_cast<std::uint16_t>(i);
        column.fixedOffset = 0;
        column.varIndex = 0;
        if (column.fixed) {
            // Booleans live in the null mask and take no room in the fixed area.
            column.fixedOffset = nextFixed;
            if (!column.isBoolean())
                nextFixed = static_cast<std::uint16_t>(nextFixed + column.length);
        } else if (!column.isLongValue()) {
            column.varIndex = nextVar++;
        }
    }
    // Long values take the last slots so that short texts come first in the row.
    for (ColumnLayout& column : columns) {
        if (!column.fixed && column.isLongValue()) column.varIndex = nextVar++;
    }
}

std::uint16_t variableColumnCount(const std::vector<ColumnLayout>& columns) {
    return static_cast<std::uint16_t>(std::count_if(
        columns.begin(), columns.end(), [](const ColumnLayout& c) { return !c.fixed; }));
}

std::uint16_t fixedAreaSize(const std::vector<ColumnLayout>& columns) {
    std::uint16_t end = 0;
    for (const ColumnLayout& column : columns) {
        if (column.fixed && !column.isBoolean()) {
            end = std::max<std::uint16_t>(
                end, static_cast<std::uint16_t>(column.fixedOffset + column.length));
        }
    }
    return end;
}

}  // namespace zl::jetwrite
