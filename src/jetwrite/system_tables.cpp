// Column lists of the system tables, as Access 2000-2003 creates them.
#include "jetwrite/system_tables.h"

namespace zl::jetwrite {

namespace {

using jet::ColumnType;

constexpr std::uint16_t kNameBytes = 510;  // 255 characters

ColumnLayout fixedColumn(const char* name, ColumnType type, std::uint16_t length) {
    ColumnLayout column;
    column.name = name;
    column.type = type;
    column.length = length;
    column.fixed = true;
    return column;
}

ColumnLayout variableColumn(const char* name, ColumnType type, std::uint16_t length) {
    ColumnLayout column = fixedColumn(name, type, length);
    column.fixed = false;
    return column;
}

TableSchema systemTable(const char* name, std::vector<ColumnLayout> columns) {
    TableSchema schema;
    schema.name = name;
    schema.system = true;
    schema.columns = std::move(columns);
    assignColumnLayout(schema.columns);
    return schema;
}

}  // namespace

TableSchema catalogSchema() {
    return systemTable("MSysObjects",
                       {
                           fixedColumn("Id", ColumnType::Long, 4),
                           fixedColumn("ParentId", ColumnType::Long, 4),
                           variableColumn("Name", ColumnType::Text, kNameBytes),
                           fixedColumn("Type", ColumnType::Integer, 2),
                           fixedColumn("DateCreate", ColumnType::Date, 8),
                           fixedColumn("DateUpdate", ColumnType::Date, 8),
                           variableColumn("Owner", ColumnType::Binary, 255),
                           fixedColumn("Flags", ColumnType::Long, 4),
                           variableColumn("Database", ColumnType::Memo, 0),
                           variableColumn("Connect", ColumnType::Memo, 0),
                           variableColumn("ForeignName", ColumnType::Text, kNameBytes),
                           variableColumn("RmtInfoShort", ColumnType::Binary, 255),
                           variableColumn("RmtInfoLong", ColumnType::LongBinary, 0),
                           variableColumn("Lv", ColumnType::LongBinary, 0),
                           variableColumn("LvProp", ColumnType::LongBinary, 0),
                           variableColumn("LvModule", ColumnType::LongBinary, 0),
                           variableColumn("LvExtra", ColumnType::LongBinary, 0),
                       });
}

TableSchema accessControlSchema() {
    return systemTable("MSysACEs", {
                                       fixedColumn("ObjectId", ColumnType::Long, 4),
                                       variableColumn("SID", ColumnType::Binary, 255),
                                       fixedColumn("ACM", ColumnType::Long, 4),
                                       fixedColumn("FInheritable", ColumnType::Boolean, 1),
                                   });
}

TableSchema queriesSchema() {
    return systemTable("MSysQueries", {
                                          fixedColumn("ObjectId", ColumnType::Long, 4),
                                          fixedColumn("Attribute", ColumnType::Byte, 1),
                                          variableColumn("Order", ColumnType::Binary, 255),
                                          variableColumn("Name1", ColumnType::Text, kNameBytes),
                                          variableColumn("Name2", ColumnType::Text, kNameBytes),
                                          variableColumn("Expression", ColumnType::Memo, 0),
                                          fixedColumn("Flag", ColumnType::Integer, 2),
                                          fixedColumn("LvExtra", ColumnType::Long, 4),
                                      });
}

TableSchema relationshipsSchema() {
    return systemTable("MSysRelationships",
                       {
                           variableColumn("szRelationship", ColumnType::Text, kNameBytes),
                           fixedColumn("grbit", ColumnType::Long, 4),
                           fixedColumn("ccolumn", ColumnType::Long, 4),
                           fixedColumn("icolumn", ColumnType::Long, 4),
                           variableColumn("szObject", ColumnType::Text, kNameBytes),
                           variableColumn("szColumn", ColumnType::Text, kNameBytes),
                           variableColumn("szReferencedObject", ColumnType::Text, kNameBytes),
                           variableColumn("szReferencedColumn", ColumnType::Text, kNameBytes),
                       });
}

}  // namespace zl::jetwrite
