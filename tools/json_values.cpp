// JSON member access and value conversion.
#include "json_values.h"

#include <algorithm>
#include <cstdio>

#include "jetwrite/write_error.h"

namespace zl::jetwrite {

namespace {

std::string memberPath(const std::string& base, const char* key) {
    return base.empty() ? std::string(key) : base + "." + key;
}

std::vector<std::uint8_t> hexBytes(const JsonNode& node) {
    const std::string hex = node.asText();
    if (hex.size() % 2 != 0) node.fail("hex data needs an even number of digits");
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        unsigned value = 0;
        if (std::sscanf(hex.substr(i, 2).c_str(), "%2x", &value) != 1)
            node.fail("malformed hex data");
        bytes.push_back(static_cast<std::uint8_t>(value));
    }
    return bytes;
}

Value valueFor(const JsonNode& node, const FieldDescription& field) {
    const nlohmann::json& v = node.value();
    if (v.is_null()) return std::monostate{};
    if (v.is_boolean()) return v.get<bool>();
    if (v.is_number_integer()) return v.get<std::int64_t>();
    if (v.is_number_float()) return v.get<double>();
    if (v.is_object()) {
        node.allowOnly({"hex"});
        return hexBytes(node.member("hex"));
    }
    if (v.is_string() && field.type == FieldType::Date) return dateTimeFrom(node);
    if (v.is_string()) return v.get<std::string>();
    node.fail("unsupported value for field \"" + field.name + "\"");
}

}  // namespace

JsonNode::JsonNode(const nlohmann::json& value, std::string path)
    : m_value(&value), m_path(std::move(path)) {}

void JsonNode::fail(const std::string& why) const {
    throw WriteError((m_path.empty() ? std::string("description") : m_path) + ": " + why);
}

bool JsonNode::has(const char* key) const { return m_value->is_object() && m_value->contains(key); }

JsonNode JsonNode::member(const char* key) const {
    if (!m_value->is_object()) fail("expected an object");
    const auto found = m_value->find(key);
    if (found == m_value->end()) fail(std::string("missing member \"") + key + "\"");
    return JsonNode(*found, memberPath(m_path, key));
}

std::vector<JsonNode> JsonNode::elements() const {
    if (!m_value->is_array()) fail("expected an array");
    std::vector<JsonNode> result;
    for (std::size_t i = 0; i < m_value->size(); ++i) {
        result.emplace_back((*m_value)[i], m_path + "[" + std::to_string(i) + "]");
    }
    return result;
}

std::string JsonNode::asText() const {
    if (!m_value->is_string()) fail("expected a text");
    return m_value->get<std::string>();
}

std::string JsonNode::text(const char* key) const { return member(key).asText(); }

std::optional<std::string> JsonNode::optionalText(const char* key) const {
    if (!has(key)) return std::nullopt;
    return member(key).asText();
}

int JsonNode::integer(const char* key, int fallback) const {
    if (!has(key)) return fallback;
    const JsonNode node = member(key);
    if (!node.value().is_number_integer()) node.fail("expected a whole number");
    return node.value().get<int>();
}

bool JsonNode::flag(const char* key, bool fallback) const {
    if (!has(key)) return fallback;
    const JsonNode node = member(key);
    if (!node.value().is_boolean()) node.fail("expected true or false");
    return node.value().get<bool>();
}

void JsonNode::allowOnly(std::initializer_list<const char*> keys) const {
    if (!m_value->is_object()) fail("expected an object");
    for (const auto& item : m_value->items()) {
        const bool known = std::any_of(keys.begin(), keys.end(),
                                       [&](const char* key) { return item.key() == key; });
        if (!known) fail("unknown member \"" + item.key() + "\"");
    }
}

FieldType fieldTypeNamed(const JsonNode& node) {
    static const std::pair<const char*, FieldType> kNames[] = {
        {"Boolean", FieldType::Boolean},
        {"Byte", FieldType::Byte},
        {"Integer", FieldType::Integer},
        {"Long", FieldType::Long},
        {"Currency", FieldType::Currency},
        {"Single", FieldType::Single},
        {"Double", FieldType::Double},
        {"Date", FieldType::Date},
        {"Binary", FieldType::Binary},
        {"Text", FieldType::Text},
        {"LongBinary", FieldType::LongBinary},
        {"Memo", FieldType::Memo},
        {"GUID", FieldType::Guid},
        {"Decimal", FieldType::Decimal},
        {"BigInt", FieldType::BigInt},
        {"DateTimeExtended", FieldType::DateTimeExtended},
    };
    const std::string name = node.asText();
    for (const auto& [known, type] : kNames) {
        if (name == known) return type;
    }
    node.fail("unknown field type \"" + name + "\"");
}

DateTime dateTimeFrom(const JsonNode& node) {
    const std::string text = node.asText();
    DateTime date;
    int consumed = 0;
    const int parts =
        std::sscanf(text.c_str(), "%4d-%2d-%2d%n %2d:%2d:%2d%n", &date.year, &date.month, &date.day,
                    &consumed, &date.hour, &date.minute, &date.second, &consumed);
    if ((parts != 3 && parts != 6) || static_cast<std::size_t>(consumed) != text.size() ||
        date.month < 1 || date.month > 12 || date.day < 1 || date.day > 31 || date.hour > 23 ||
        date.minute > 59 || date.second > 59) {
        node.fail("expected a date \"YYYY-MM-DD\" or \"YYYY-MM-DD HH:MM:SS\"");
    }
    return date;
}

std::vector<Value> rowValues(const JsonNode& node, const std::vector<FieldDescription>& fields) {
    const std::vector<JsonNode> values = node.elements();
    if (values.size() != fields.size()) {
        node.fail("a row has " + std::to_string(values.size()) + " values for " +
                  std::to_string(fields.size()) + " fields");
    }
    std::vector<Value> row;
    for (std::size_t i = 0; i < values.size(); ++i) row.push_back(valueFor(values[i], fields[i]));
    return row;
}

}  // namespace zl::jetwrite
