// Typed access to the JSON of a description, with the JSON path in every error message, and the
// conversions of field types, dates and row values.
#pragma once

#include <initializer_list>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "jetwrite/database_description.h"

namespace zl::jetwrite {

// A JSON value and where it sits in the document ("tables[1].fields[0]").
class JsonNode {
public:
    JsonNode(const nlohmann::json& value, std::string path);

    bool has(const char* key) const;
    // The member `key`; throws WriteError when this is not an object or has no such member.
    JsonNode member(const char* key) const;
    // The elements of this array; throws WriteError when this is not an array.
    std::vector<JsonNode> elements() const;
    // This value as text; throws WriteError when it is not a string.
    std::string asText() const;
    std::string text(const char* key) const;
    std::optional<std::string> optionalText(const char* key) const;
    int integer(const char* key, int fallback) const;
    bool flag(const char* key, bool fallback = false) const;
    // Throws WriteError when this is not an object or has a member not in `keys`.
    void allowOnly(std::initializer_list<const char*> keys) const;

    const nlohmann::json& value() const { return *m_value; }
    const std::string& path() const { return m_path; }
    [[noreturn]] void fail(const std::string& why) const;

private:
    const nlohmann::json* m_value;
    std::string m_path;
};

// The field type named by `node` ("Text", "Long", ... as DAO names them).
FieldType fieldTypeNamed(const JsonNode& node);

// A date "YYYY-MM-DD" or "YYYY-MM-DD HH:MM:SS".
DateTime dateTimeFrom(const JsonNode& node);

// The values of one row (a JSON array, one value per field) converted for `fields`.
std::vector<Value> rowValues(const JsonNode& node, const std::vector<FieldDescription>& fields);

// A saved query in its JSON form.
QueryDescription readQuery(const JsonNode& node);

}  // namespace zl::jetwrite
