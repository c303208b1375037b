// The one error type of the database writer: a description that names what could not be written.
#pragma once

#include <stdexcept>
#include <string>

namespace zl::jetwrite {

// Thrown for every failure of the writer: a description that cannot be written (unsupported
// feature, names or sizes out of range) or a file that cannot be saved. what() says which object
// and why.
class WriteError : public std::runtime_error {
public:
    explicit WriteError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace zl::jetwrite
