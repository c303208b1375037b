// Ledger keeping and its JSON form.
#include "export/ledger.h"

#include <nlohmann/json.hpp>
#include <ostream>

namespace zl::exporter {

void Ledger::add(LedgerItem item) {
    ++m_count;
    if (m_items.size() < m_maxItems) {
        m_items.push_back(std::move(item));
    }
}

void Ledger::writeJson(std::ostream& out, const std::string& target) const {
    auto text = [](const std::string& value) -> nlohmann::json {
        if (value.empty()) return nullptr;
        return value;
    };
    nlohmann::json items = nlohmann::json::array();
    for (const LedgerItem& item : m_items) {
        items.push_back({{"table", text(item.table)},
                         {"field", text(item.field)},
                         {"query", nullptr},
                         {"property", text(item.property)},
                         {"original", text(item.original)},
                         {"reason", text(item.reason)},
                         {"row", text(item.row)}});
    }
    const nlohmann::json document = {{"target", target}, {"items", items}, {"count", m_count}};
    // Texts from the database need not be valid UTF-8; they are written with U+FFFD then.
    out << document.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << '\n';
}

}  // namespace zl::exporter
