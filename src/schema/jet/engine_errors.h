// Turning reader failures into the description texts of EngineError.
#pragma once

#include <string>

#include "schema/jet/result.h"

namespace zl::schema::jet {

// What the failing operation was about, for the description.
enum class ErrorSubject {
    Database,  // opening the file
    Table,     // a table definition; `name` is the table
    Query,     // a saved query; `name` is the query
};

// The EngineError description of `error` met while working on `subject`.
std::string describeError(const Error& error, ErrorSubject subject, const std::string& name);

// Throws EngineError with that description.
[[noreturn]] void throwEngineError(const Error& error, ErrorSubject subject,
                                   const std::string& name);

}  // namespace zl::schema::jet
