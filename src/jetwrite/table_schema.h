// The on-disk shape of one table (columns, physical and logical indexes) before it is written;
// user tables and system tables alike.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "jetwrite/jet_format.h"
#include "jetwrite/page_file.h"

namespace zl::jetwrite {

struct ColumnLayout {
    std::string name;
    jet::ColumnType type = jet::ColumnType::Long;
    std::uint16_t length = 0;  // bytes held in the row; 0 for memo and long binary
    bool fixed = true;
    bool autoNumber = false;
    bool hyperlink = false;
    std::uint8_t precision = 0;  // numeric only
    std::uint8_t scale = 0;
    // Assigned by assignColumnLayout().
    std::uint16_t number = 0;
    std::uint16_t fixedOffset = 0;
    std::uint16_t varIndex = 0;

    bool isLongValue() const {
        return type == jet::ColumnType::Memo || type == jet::ColumnType::LongBinary;
    }
    bool isBoolean() const { return type == jet::ColumnType::Boolean; }
};

struct PhysicalIndexColumn {
    std::size_t column = 0;  // position in TableSchema::columns
    bool ascending = true;
};

struct PhysicalIndexLayout {
    std::vector<PhysicalIndexColumn> columns;
    std::uint8_t flags = jet::kIndexAlwaysSet;

    bool operator==(const PhysicalIndexLayout& other) const {
        if (flags != other.flags || columns.size() != other.columns.size()) return false;
        for (std::size_t i = 0; i < columns.size(); ++i) {
            if (columns[i].column != other.columns[i].column ||
                columns[i].ascending != other.columns[i].ascending) {
                return false;
            }
        }
        return true;
    }
};

// A foreign-key reference of a logical index: the other table and its logical index.
struct ForeignReference {
    std::size_t otherTable = 0;  // position of the other table in the description
    std::uint32_t otherIndex = 0;
    bool thisIsPrimarySide = false;
    bool cascadeUpdates = false;
    bool cascadeDeletes = false;
};

struct LogicalIndexLayout {
    std::string name;
    std::uint32_t physical = 0;  // position in TableSchema::physicalIndexes
    std::uint8_t kind = jet::kIndexKindNormal;
    bool hasReference = false;
    ForeignReference reference;
};

struct TableSchema {
    std::string name;
    bool system = false;
    std::vector<ColumnLayout> columns;
    std::vector<PhysicalIndexLayout> physicalIndexes;
    std::vector<LogicalIndexLayout> logicalIndexes;  // in index number order
};

// Numbers the columns in order and gives fixed columns their offsets in the fixed area and
// variable columns their slots in the offset table (long values last, as Access does).
void assignColumnLayout(std::vector<ColumnLayout>& columns);

// The number of variable-length columns.
std::uint16_t variableColumnCount(const std::vector<ColumnLayout>& columns);

// The size of the fixed area of a row.
std::uint16_t fixedAreaSize(const std::vector<ColumnLayout>& columns);

}  // namespace zl::jetwrite
