// Row cursor over a table's data pages.
#include "schema/jet/recordset.h"

#include <set>

#include "schema/jet/usage_map.h"
#include "schema/jet/value_decoding.h"

namespace zl::schema::jet {
namespace {

// Table definition (first page): the number of rows, Jet 3 / Jet 4.
constexpr std::size_t kRowCountJet3 = 0x0C;
constexpr std::size_t kRowCountJet4 = 0x10;
constexpr std::size_t kOverflowPointerSize = 4;
// Access points a moved row straight at its data (or one hop more); a longer chain is damage.
constexpr std::size_t kMaxMoveHops = 16;

class JetRecordset final : public Recordset {
public:
    JetRecordset(RowCursor cursor, std::string tableName)
        : m_cursor(std::move(cursor)), m_tableName(std::move(tableName)) {}

    bool moveNext() override {
        Result<bool> more = m_cursor.next();
        if (!more.ok()) {
            std::string where;
            if (m_cursor.currentPage() != kNoPage) {
                where = " at data page " + std::to_string(m_cursor.currentPage());
            }
            throw EngineError("The rows of table \"" + m_tableName + "\" are damaged" + where +
                              " and cannot be read (" + more.error().message + ").");
        }
        return *more;
    }
    const std::vector<Value>& values() const override { return m_cursor.values(); }
    std::uint64_t recordedCount() const override { return m_cursor.recordedCount(); }
    void restrictTo(const std::vector<bool>& wanted) override { m_cursor.restrictTo(wanted); }
    void takeValues(std::vector<Value>& into) override { m_cursor.takeValues(into); }

private:
    RowCursor m_cursor;
    std::string m_tableName;
};

}  // namespace

Result<RowCursor> RowCursor::open(PageReader& reader, const JetFormat& format,
                                  const TextDecoder& text, std::uint32_t definitionPage) {
    RowCursor cursor(reader, format, text);
    JET_ASSIGN_OR_RETURN(cursor.m_table, readTableDefinition(reader, format, text, definitionPage));
    JET_ASSIGN_OR_RETURN(const PageData first, reader.page(definitionPage, "table definition"));
    cursor.m_recordedCount =
        loadU32(bytesOf(first), format.isJet3() ? kRowCountJet3 : kRowCountJet4);
    JET_ASSIGN_OR_RETURN(cursor.m_pages, readUsageMap(reader, format, cursor.m_table.ownedPages));
    cursor.m_values.resize(cursor.m_table.columns.size());
    cursor.m_resultTypes.resize(cursor.m_table.columns.size());
    cursor.m_wanted.assign(cursor.m_table.columns.size(), true);
    return cursor;
}

Result<bool> RowCursor::openNextPage() {
    while (m_nextPage < m_pages.size()) {
        const std::uint32_t number = m_pages[m_nextPage++];
        m_currentPage = number;
        JET_ASSIGN_OR_RETURN(const PageData data, m_reader->page(number, "data page"));
        const Bytes bytes = bytesOf(data);
        // A usage map may still mark pages that were freed and reused; only data pages that
        // this table owns hold its rows.
        if (std::to_integer<std::uint8_t>(bytes[0]) != kDataPageType ||
            loadU32(bytes, 4) != m_table.page) {
            continue;
        }
        JET_ASSIGN_OR_RETURN(DataPage page, DataPage::open(*m_reader, *m_format, number));
        m_page.emplace(std::move(page));
        m_nextSlot = 0;
        return true;
    }
    m_page.reset();
    return false;
}

Result<Bytes> RowCursor::movedRowData(const RowSlot& slot, DataPage& holder, Origin& origin) {
    std::set<std::uint32_t> visited;
    holder = *m_page;
    RowSlot current = slot;
    while (true) {
        const Origin rowOrigin = holder.origin().shifted(current.start);
        JET_ASSIGN_OR_RETURN(const Bytes bytes, holder.rowBytes(current));
        ByteCursor cursor(bytes, rowOrigin);
        if (cursor.size() < kOverflowPointerSize) {
            return corruption(rowOrigin, 0,
                              "moved row holds " + std::to_string(cursor.size()) +
                                  " bytes, a 4-byte row pointer expected");
        }
        const std::uint8_t row = cursor.u8();
        const std::uint32_t pageNumber = cursor.u24();
        if (!visited.insert((pageNumber << 8) | row).second || visited.size() > kMaxMoveHops) {
            return corruption(
                rowOrigin, 0,
                "moved rows loop or chain past " + std::to_string(kMaxMoveHops) + " hops");
        }
        JET_ASSIGN_OR_RETURN(holder, DataPage::open(*m_reader, *m_format, pageNumber));
        JET_ASSIGN_OR_RETURN(current, holder.slot(row));
        if (!current.overflow) {
            // The target is flagged deleted so that scans skip it; its bytes are the row.
            origin = holder.origin().shifted(current.start);
            return holder.rowBytes(current);
        }
    }
}

Status RowCursor::decodeRow(Bytes row, const Origin& origin) {
    JET_TRY(RowView::parseInto(m_view, row, origin, *m_format, m_table.variableColumnCount > 0));
    const RowView& view = m_view;
    for (std::size_t i = 0; i < m_table.columns.size(); ++i) {
        if (m_restricted && !m_wanted[i]) {
            continue;
        }
        JET_TRY(decodeColumnValue(*m_reader, *m_format, *m_text, view, m_table.columns[i],
                                  m_resultTypes[i], m_values[i]));
    }
    return {};
}

void RowCursor::takeValues(std::vector<Value>& into) {
    into.resize(m_values.size());
    m_values.swap(into);
    if (!m_restricted) return;
    for (std::size_t i = 0; i < m_wanted.size(); ++i) {
        if (!m_wanted[i]) m_values[i] = Value();
    }
}

void RowCursor::restrictTo(const std::vector<bool>& wanted) {
    m_restricted = false;
    for (std::size_t i = 0; i < m_wanted.size(); ++i) {
        m_wanted[i] = i < wanted.size() && wanted[i];
        if (!m_wanted[i]) {
            m_values[i] = Value();
            m_restricted = true;
        }
    }
}

Result<bool> RowCursor::next() {
    while (true) {
        if (!m_page || m_nextSlot >= m_page->rowCount()) {
            JET_ASSIGN_OR_RETURN(const bool more, openNextPage());
            if (!more) {
                return false;
            }
            continue;
        }
        JET_ASSIGN_OR_RETURN(const RowSlot slot, m_page->slot(m_nextSlot++));
        if (slot.deleted) {
            continue;
        }
        if (slot.overflow) {
            DataPage holder = *m_page;
            Origin origin;
            JET_ASSIGN_OR_RETURN(const Bytes data, movedRowData(slot, holder, origin));
            JET_TRY(decodeRow(data, origin));
            return true;
        }
        const Origin origin = m_page->origin().shifted(slot.start);
        JET_ASSIGN_OR_RETURN(const Bytes row, m_page->rowBytes(slot));
        JET_TRY(decodeRow(row, origin));
        return true;
    }
}

std::unique_ptr<Recordset> makeRecordset(RowCursor cursor, std::string tableName) {
    return std::make_unique<JetRecordset>(std::move(cursor), std::move(tableName));
}

}  // namespace zl::schema::jet
