// Table listing order.
#include "schema/jet/table_listing.h"

#include <algorithm>

#include "support/text.h"

namespace zl::schema::jet {
namespace {

unsigned char folded(char c) { return static_cast<unsigned char>(support::asciiLowerChar(c)); }

}  // namespace

bool listingOrder(const std::string& left, const std::string& right) {
    // UTF-8 byte order is code point order, so comparing bytes compares code points.
    const bool foldedLess =
        std::lexicographical_compare(left.begin(), left.end(), right.begin(), right.end(),
                                     [](char a, char b) { return folded(a) < folded(b); });
    if (foldedLess) {
        return true;
    }
    const bool foldedGreater =
        std::lexicographical_compare(right.begin(), right.end(), left.begin(), left.end(),
                                     [](char a, char b) { return folded(a) < folded(b); });
    if (foldedGreater) {
        return false;
    }
    return std::lexicographical_compare(
        left.begin(), left.end(), right.begin(), right.end(), [](char a, char b) {
            return static_cast<unsigned char>(a) < static_cast<unsigned char>(b);
        });
}

std::vector<TableListRow> buildListing(const std::vector<CatalogEntry>& catalog) {
    std::vector<TableListRow> rows;
    for (const CatalogEntry* entry : listedEntries(catalog)) {
        rows.push_back(TableListRow{entry->name, entry->type, entry->flags});
    }
    std::stable_sort(rows.begin(), rows.end(), [](const TableListRow& a, const TableListRow& b) {
        return listingOrder(a.name, b.name);
    });
    return rows;
}

}  // namespace zl::schema::jet
