// The module header's date from the clock and the locale.
#include "support/local_date.h"

#include <clocale>
#include <cstdlib>
#include <ctime>

namespace zl::support {

std::string localShortDate() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char buffer[64] = {};
    const char* names[] = {"LC_ALL", "LC_TIME", "LANG"};
    std::string localeName;
    for (const char* name : names) {
        const char* value = std::getenv(name);
        if (value && *value) {
            localeName = value;
            break;
        }
    }
    bool plain = localeName.empty() || localeName == "C" || localeName == "POSIX" ||
                 localeName.rfind("C.", 0) == 0;
    locale_t locale = plain ? nullptr : newlocale(LC_TIME_MASK, localeName.c_str(), nullptr);
    std::size_t length = 0;
    if (locale != nullptr) {
        length = strftime_l(buffer, sizeof buffer, "%x", &local, locale);
        freelocale(locale);
    }
    if (length == 0) length = std::strftime(buffer, sizeof buffer, "%Y-%m-%d", &local);
    return {buffer, length};
}

}  // namespace zl::support
