// Property blobs (catalog column LvProp): the stored properties of a table and its columns.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "schema/jet/byte_cursor.h"
#include "schema/jet/text_codec.h"

namespace zl::schema::jet {

// One stored property: its on-disk data type and raw value bytes. The bytes are kept in a
// string so that the usual short values (flags, numbers, short texts) need no allocation.
struct PropertyValue {
    std::uint8_t type = 0;
    std::string raw;

    Bytes data() const { return std::as_bytes(std::span<const char>(raw.data(), raw.size())); }
};

// Whether two names are equal but for the case of ASCII letters, as property and column names
// are compared.
inline bool sameNameIgnoringCase(std::string_view left, std::string_view right) {
    if (left.size() != right.size()) {
        return false;
    }
    for (std::size_t i = 0; i < left.size(); ++i) {
        const char a = left[i];
        const char b = right[i];
        if (a != b && ((a | 0x20) != (b | 0x20) || (a | 0x20) < 'a' || (a | 0x20) > 'z')) {
            return false;
        }
    }
    return true;
}

// The properties of one object or column: a handful, looked up by name (ASCII case ignored).
class PropertyMap {
public:
    // The property `name`, or nullptr.
    const PropertyValue* find(std::string_view name) const;
    // The property `name`, added empty when absent.
    PropertyValue& entry(std::string_view name);
    // Adds the properties of `other` that this map lacks.
    void addMissing(const PropertyMap& other);
    bool empty() const { return m_entries.empty(); }

private:
    std::vector<std::pair<std::string, PropertyValue>> m_entries;
};

// The property maps of one object: the object's own, and one per named child (column).
class PropertySet {
public:
    // Decodes a blob ("MR2\0" in Jet 4/ACE, "KKD\0" in Jet 3). An empty blob gives an empty
    // set; anything else that breaks the layout is Corrupt. With `only`, properties of other
    // names (ASCII case ignored) are checked but not kept.
    static Result<PropertySet> parse(Bytes blob, const Origin& origin, const TextDecoder& text,
                                     std::span<const std::string_view> only = {});

    // The properties of the child named `name` (a column), or nullptr. Children are kept in
    // the blob's order, which is the columns' order, so that asking for each column in turn
    // finds it at once.
    const PropertyMap* child(std::string_view name) const;
    // The properties of the child named `name`, added empty when it has none.
    PropertyMap& childFor(std::string_view name);
    // The properties of the object itself.
    const PropertyMap& own() const { return m_own; }

private:
    // Reads a chunk of values (the object's own or a named child's) into the set.
    Status readValueChunk(ByteCursor& chunk, std::uint16_t type,
                          const std::vector<std::string>& names, const std::vector<bool>& kept,
                          const TextDecoder& text);
    std::size_t findChild(std::string_view name) const;

    PropertyMap m_own;
    std::vector<std::pair<std::string, PropertyMap>> m_children;
    mutable std::size_t m_nextChild = 0;  // where the next lookup starts
};

// Typed access to a property map; absent properties give std::nullopt.
std::optional<bool> booleanProperty(const PropertyMap* map, const std::string& name);
std::optional<std::string> textProperty(const PropertyMap* map, const std::string& name,
                                        const TextDecoder& text);
std::optional<std::int64_t> integerProperty(const PropertyMap* map, const std::string& name);

}  // namespace zl::schema::jet
