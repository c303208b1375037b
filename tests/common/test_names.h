// Names of parameterised tests made of what GoogleTest accepts. Outside any namespace, so that a
// test inside zl:: still finds ::testing unqualified.
#pragma once

#include <string>
#include <string_view>

// `text` with every character but ASCII letters and digits made '_'.
inline std::string testNameOf(std::string_view text) {
    std::string name(text);
    for (char& c : name) {
        const bool letterOrDigit =
            (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        if (!letterOrDigit) c = '_';
    }
    return name;
}
