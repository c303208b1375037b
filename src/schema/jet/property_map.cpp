// Property blob decoding.
//
// Blob: OFFSET SIZE DESCRIPTION
//   0x00 4  "MR2\0" (Jet 4/ACE) or "KKD\0" (Jet 3)
//   then chunks:
//     4  chunk length (including these 6 bytes)
//     2  chunk type: 0x80 property names, 0x00 the object's values, 0x01 a child's values
//   Names chunk: repeated { 2 name length, name } (UCS-2 in Jet 4, code page in Jet 3).
//   Values chunk:
//     4  length of the header below (including these 4 bytes)
//     2  child name length, then the name (present when the header is longer than 6)
//     then repeated { 2 entry length (inclusive), 1 flags, 1 data type, 2 name index,
//                     2 data length, data }
#include "schema/jet/property_map.h"

#include <cstring>

namespace zl::schema::jet {
namespace {

constexpr std::uint16_t kNamesChunk = 0x80;
constexpr std::uint16_t kOwnValuesChunk = 0x00;
constexpr std::size_t kChunkHeader = 6;
constexpr std::size_t kEntryHeader = 8;

bool hasMagic(Bytes blob, const char* magic) {
    if (blob.size() < 4) {
        return false;
    }
    for (std::size_t i = 0; i < 4; ++i) {
        if (std::to_integer<char>(blob[i]) != magic[i]) {
            return false;
        }
    }
    return true;
}

Status readNames(ByteCursor& chunk, const TextDecoder& text, std::vector<std::string>& names) {
    while (chunk.remaining() > 0 && chunk.ok()) {
        const std::size_t length = chunk.u16("property name length");
        names.push_back(text.name(chunk.bytes(length, "property name")));
    }
    return chunk.status();
}

// Reads the entries of a values chunk; kept ones go to the map that `target` gives, asked for
// only when there is one to keep.
template <typename Target>
Status readValues(ByteCursor& chunk, const std::vector<std::string>& names,
                  const std::vector<bool>& kept, Target&& target) {
    PropertyMap* map = nullptr;
    while (chunk.remaining() > 0) {
        const std::size_t start = chunk.position();
        const std::size_t length = chunk.u16("property entry length");
        chunk.skip(1, "property flags");
        const std::uint8_t type = chunk.u8("property type");
        const std::size_t nameIndex = chunk.u16("property name index");
        const std::size_t dataLength = chunk.u16("property data length");
        const Bytes data = chunk.bytes(dataLength, "property data");
        JET_TRY(chunk.status());
        if (length < kEntryHeader || length > chunk.size() - start) {
            return chunk.failAt(start, "property entry length " + std::to_string(length) +
                                           " outside 8.." + std::to_string(chunk.size() - start));
        }
        if (nameIndex >= names.size()) {
            return chunk.failAt(start + 4, "property name index " + std::to_string(nameIndex) +
                                               ", only " + std::to_string(names.size()) + " names");
        }
        if (kept[nameIndex]) {
            if (map == nullptr) {
                map = &target();
            }
            PropertyValue& value = map->entry(names[nameIndex]);
            value.type = type;
            value.raw.assign(reinterpret_cast<const char*>(data.data()), data.size());
        }
        chunk.seek(start + length);
    }
    return chunk.status();
}

// Whether each name is one to keep.
std::vector<bool> keptNames(const std::vector<std::string>& names,
                            std::span<const std::string_view> only) {
    std::vector<bool> kept(names.size(), only.empty());
    for (std::size_t i = 0; i < names.size() && !only.empty(); ++i) {
        for (const std::string_view wanted : only) {
            if (sameNameIgnoringCase(names[i], wanted)) {
                kept[i] = true;
                break;
            }
        }
    }
    return kept;
}

}  // namespace

const PropertyValue* PropertyMap::find(std::string_view name) const {
    for (const auto& [key, value] : m_entries) {
        if (sameNameIgnoringCase(key, name)) {
            return &value;
        }
    }
    return nullptr;
}

PropertyValue& PropertyMap::entry(std::string_view name) {
    for (auto& [key, value] : m_entries) {
        if (sameNameIgnoringCase(key, name)) {
            return value;
        }
    }
    if (m_entries.empty()) {
        m_entries.reserve(4);  // a column keeps a few of the reported properties
    }
    return m_entries.emplace_back(std::string(name), PropertyValue()).second;
}

void PropertyMap::addMissing(const PropertyMap& other) {
    for (const auto& [key, value] : other.m_entries) {
        if (find(key) == nullptr) {
            m_entries.emplace_back(key, value);
        }
    }
}

Result<PropertySet> PropertySet::parse(Bytes blob, const Origin& origin, const TextDecoder& text,
                                       std::span<const std::string_view> only) {
    PropertySet set;
    if (blob.empty()) {
        return set;
    }
    ByteCursor cursor(blob, origin);
    if (!hasMagic(blob, "MR2") && !hasMagic(blob, "KKD")) {
        return cursor.failAt(0, "property blob does not start with MR2 or KKD");
    }
    cursor.skip(4);
    std::vector<std::string> names;
    std::vector<bool> kept;
    while (cursor.remaining() > 0) {
        const std::size_t start = cursor.position();
        const std::size_t length = cursor.u32("property chunk length");
        const std::uint16_t type = cursor.u16("property chunk type");
        JET_TRY(cursor.status());
        if (length < kChunkHeader || length - kChunkHeader > cursor.remaining()) {
            return cursor.failAt(start, "property chunk length " + std::to_string(length) +
                                            " outside 6.." +
                                            std::to_string(cursor.remaining() + kChunkHeader));
        }
        const Origin chunkOrigin = origin.shifted(cursor.position());
        ByteCursor chunk(cursor.bytes(length - kChunkHeader), chunkOrigin);
        if (type == kNamesChunk) {
            JET_TRY(readNames(chunk, text, names));
            kept = keptNames(names, only);
        } else {
            JET_TRY(set.readValueChunk(chunk, type, names, kept, text));
        }
    }
    return set;
}

Status PropertySet::readValueChunk(ByteCursor& chunk, std::uint16_t type,
                                   const std::vector<std::string>& names,
                                   const std::vector<bool>& kept, const TextDecoder& text) {
    std::string childName;
    const std::size_t headerLength = chunk.u32("property map header length");
    if (headerLength > kChunkHeader) {
        const std::size_t nameLength = chunk.u16("property map name length");
        childName = text.name(chunk.bytes(nameLength, "property map name"));
    }
    JET_TRY(chunk.status());
    if (headerLength < 4) {
        return chunk.failAt(
            0, "property map header length " + std::to_string(headerLength) + " is below 4");
    }
    chunk.seek(headerLength, "property map header length");
    return readValues(chunk, names, kept, [&]() -> PropertyMap& {
        return type == kOwnValuesChunk ? m_own : childFor(childName);
    });
}

std::size_t PropertySet::findChild(std::string_view name) const {
    const std::size_t count = m_children.size();
    for (std::size_t step = 0; step < count; ++step) {
        const std::size_t at = (m_nextChild + step) % count;
        if (sameNameIgnoringCase(m_children[at].first, name)) {
            m_nextChild = at + 1 == count ? 0 : at + 1;
            return at;
        }
    }
    return count;
}

const PropertyMap* PropertySet::child(std::string_view name) const {
    const std::size_t at = findChild(name);
    return at == m_children.size() ? nullptr : &m_children[at].second;
}

PropertyMap& PropertySet::childFor(std::string_view name) {
    const std::size_t at = findChild(name);
    if (at != m_children.size()) {
        return m_children[at].second;
    }
    return m_children.emplace_back(std::string(name), PropertyMap()).second;
}

std::optional<bool> booleanProperty(const PropertyMap* map, const std::string& name) {
    if (map == nullptr) {
        return std::nullopt;
    }
    const PropertyValue* found = map->find(name);
    if (found == nullptr || found->raw.empty()) {
        return std::nullopt;
    }
    return found->raw[0] != 0;
}

std::optional<std::int64_t> integerProperty(const PropertyMap* map, const std::string& name) {
    if (map == nullptr) {
        return std::nullopt;
    }
    const PropertyValue* found = map->find(name);
    if (found == nullptr) {
        return std::nullopt;
    }
    const Bytes data = found->data();
    std::int64_t value = 0;
    switch (data.size()) {
        case 1:
            value = std::to_integer<std::uint8_t>(data[0]);
            break;
        case 2:
            value = static_cast<std::int16_t>(loadU16(data, 0));
            break;
        case 4:
            value = static_cast<std::int32_t>(loadU32(data, 0));
            break;
        default:
            return std::nullopt;
    }
    return value;
}

std::optional<std::string> textProperty(const PropertyMap* map, const std::string& name,
                                        const TextDecoder& text) {
    if (map == nullptr) {
        return std::nullopt;
    }
    const PropertyValue* found = map->find(name);
    if (found == nullptr) {
        return std::nullopt;
    }
    return text.value(found->data());
}

}  // namespace zl::schema::jet
