// Name comparison as Jet does it: object, field and index names are equal regardless of case.
#pragma once

#include <string_view>

namespace zl::jetwrite {

// True when `a` and `b` are the same name ignoring the case of A-Z.
bool sameName(std::string_view a, std::string_view b);

}  // namespace zl::jetwrite
