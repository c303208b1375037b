// The export's ledger: every value the target could not hold exactly, every row left out or
// loaded without its constraint, every object that has no place in the target.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

namespace zl::exporter {

// One entry, in the shape the SQL targets share: object, property, original text, reason, and
// for row values the row's key ("ID=17", or "row 17" in a table without a primary key).
struct LedgerItem {
    std::string table;
    std::string field;
    std::string property;
    std::string original;
    std::string reason;
    std::string row;
};

class Ledger {
public:
    // Keeps the first `maxItems` entries in full; later ones are counted only.
    explicit Ledger(std::size_t maxItems = 10000) : m_maxItems(maxItems) {}

    void add(LedgerItem item);
    std::uint64_t count() const { return m_count; }
    const std::vector<LedgerItem>& items() const { return m_items; }

    // {"target": "...", "items": [{"table": ..., "field": ..., "query": null, "property": ...,
    // "original": ..., "reason": ..., "row": ...}], "count": N}; fields left empty are null.
    void writeJson(std::ostream& out, const std::string& target) const;

private:
    std::size_t m_maxItems;
    std::uint64_t m_count = 0;
    std::vector<LedgerItem> m_items;
};

}  // namespace zl::exporter
