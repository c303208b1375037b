// Blob layout: "MR2\0"; then chunks of [u32 length (itself included)][u16 kind]. Kind 0x80 lists
// the property names ([u16 byte length][UTF-16LE name]...). Kinds 0x00 (the object) and 0x01 (a
// column) start with [u32 length][u16 name length][name] and hold values
// [u16 length][u8 ddl flag][u8 type][u16 name number][u16 data length][data].
#include "jetwrite/property_blob.h"

#include <algorithm>

#include "jetwrite/jet_format.h"
#include "jetwrite/utf16.h"
#include "jetwrite/write_error.h"

namespace zl::jetwrite {

namespace {

constexpr std::uint8_t kBooleanType = 0x01;
constexpr std::uint8_t kTextType = 0x0A;
constexpr std::uint8_t kMemoType = 0x0C;

void writeName(ByteWriter& out, const std::string& name) {
    const Bytes encoded = toUtf16le(name, "property name");
    out.u16(static_cast<std::uint16_t>(encoded.size()));
    out.bytes(encoded);
}

void writeChunk(ByteWriter& blob, std::uint16_t kind, const ByteWriter& body) {
    blob.u32(static_cast<std::uint32_t>(6 + body.size()));
    blob.u16(kind);
    blob.bytes(body.data());
}

std::uint16_t nameNumber(const std::vector<std::string>& names, const std::string& name) {
    const auto found = std::find(names.begin(), names.end(), name);
    return static_cast<std::uint16_t>(found - names.begin());
}

ByteWriter blockBody(const PropertyBlock& block, const std::vector<std::string>& names) {
    ByteWriter body;
    ByteWriter blockName;
    writeName(blockName, block.name);
    body.u32(static_cast<std::uint32_t>(4 + blockName.size()));
    body.bytes(blockName.data());
    for (const Property& property : block.properties) {
        if (property.value.size() > 0xFFFF - 8) {
            throw WriteError("property " + property.name + " of " + block.name + " is too long");
        }
        body.u16(static_cast<std::uint16_t>(8 + property.value.size()));
        body.u8(property.ddl ? 1 : 0);
        body.u8(property.type);
        body.u16(nameNumber(names, property.name));
        body.u16(static_cast<std::uint16_t>(property.value.size()));
        body.bytes(property.value);
    }
    return body;
}

}  // namespace

Property Property::text(std::string name, std::string_view value, bool ddl) {
    return Property{std::move(name), kTextType, ddl, toUtf16le(value, "property value")};
}

Property Property::memo(std::string name, std::string_view value, bool ddl) {
    return Property{std::move(name), kMemoType, ddl, toUtf16le(value, "property value")};
}

Property Property::boolean(std::string name, bool value, bool ddl) {
    return Property{std::move(name), kBooleanType, ddl,
                    Bytes{std::byte{static_cast<std::uint8_t>(value ? 1 : 0)}}};
}

Bytes encodePropertyBlob(const std::vector<PropertyBlock>& blocks) {
    std::vector<std::string> names;
    for (const PropertyBlock& block : blocks) {
        for (const Property& property : block.properties) {
            if (std::find(names.begin(), names.end(), property.name) == names.end())
                names.push_back(property.name);
        }
    }
    ByteWriter blob;
    blob.bytes(std::as_bytes(std::span("MR2", 4)));
    ByteWriter nameList;
    for (const std::string& name : names) writeName(nameList, name);
    writeChunk(blob, jet::kPropertyNames, nameList);
    for (const PropertyBlock& block : blocks) {
        writeChunk(blob, block.column ? jet::kPropertyColumnBlock : jet::kPropertyObjectBlock,
                   blockBody(block, names));
    }
    return blob.take();
}

}  // namespace zl::jetwrite
