// Property blobs (catalog column LvProp): the stored properties of a table and its columns.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "schema/jet/byte_cursor.h"
#include "schema/jet/text_codec.h"

namespace zl::schema::jet {

// One stored property: its on-disk data type and raw value bytes.
struct PropertyValue {
    std::uint8_t type = 0;
    std::vector<std::byte> data;
};

// Orders names with ASCII letters compared without case, as property names are looked up.
struct CaseInsensitiveLess {
    bool operator()(const std::string& left, const std::string& right) const;
};

using PropertyMap = std::map<std::string, PropertyValue, CaseInsensitiveLess>;

// The property maps of one object: the object's own, and one per named child (column).
class PropertySet {
public:
    // Decodes a blob ("MR2\0" in Jet 4/ACE, "KKD\0" in Jet 3). An empty blob gives an empty
    // set; anything else that breaks the layout is Corrupt. With `only`, properties of other
    // names (ASCII case ignored) are checked but not kept.
    static Result<PropertySet> parse(Bytes blob, const Origin& origin, const TextDecoder& text,
                                     std::span<const std::string_view> only = {});

    // The properties of the child named `name` (a column), or nullptr.
    const PropertyMap* child(const std::string& name) const;
    // The properties of the child named `name`, added empty when it has none.
    PropertyMap& childFor(const std::string& name) { return m_children[name]; }
    // The properties of the object itself.
    const PropertyMap& own() const { return m_own; }

private:
    // Reads a chunk of values (the object's own or a named child's) into the set.
    Status readValueChunk(ByteCursor& chunk, std::uint16_t type,
                          const std::vector<std::string>& names, const std::vector<bool>& kept,
                          const TextDecoder& text);

    PropertyMap m_own;
    std::map<std::string, PropertyMap, CaseInsensitiveLess> m_children;
};

// Typed access to a property map; absent properties give std::nullopt.
std::optional<bool> booleanProperty(const PropertyMap* map, const std::string& name);
std::optional<std::string> textProperty(const PropertyMap* map, const std::string& name,
                                        const TextDecoder& text);
std::optional<std::int64_t> integerProperty(const PropertyMap* map, const std::string& name);

}  // namespace zl::schema::jet
