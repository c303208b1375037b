// Today's date as the user's locale writes it, for the module header.
#pragma once

#include <string>

namespace zl::support {

// Today's date in the locale's short numeric form (LC_ALL, LC_TIME or LANG); without a locale,
// or in the C locale whose two-digit year is ambiguous, the ISO form.
std::string localShortDate();

}  // namespace zl::support
