// Encodes the property blob (MSysObjects.LvProp) that holds the DAO properties of an object
// and of its columns.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "jetwrite/byte_writer.h"

namespace zl::jetwrite {

struct Property {
    std::string name;
    std::uint8_t type = 0;  // column type code of the value (1 Boolean, 10 Text, 12 Memo, ...)
    bool ddl = false;       // set on properties the engine enforces (Required, DefaultValue, ...)
    Bytes value;

    static Property text(std::string name, std::string_view value, bool ddl);
    static Property memo(std::string name, std::string_view value, bool ddl);
    static Property boolean(std::string name, bool value, bool ddl);
};

// The properties of the object itself (empty name) or of one of its columns.
struct PropertyBlock {
    std::string name;
    bool column = false;
    std::vector<Property> properties;
};

// The blob: the "MR2" signature, the list of every property name used, then one block per
// object or column. Throws WriteError for names that are not valid UTF-8.
Bytes encodePropertyBlob(const std::vector<PropertyBlock>& blocks);

}  // namespace zl::jetwrite
