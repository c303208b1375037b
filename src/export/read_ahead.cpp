// Read-ahead of a table's rows: batches travel from the reading thread to the writer through a
// full queue and back through a free list, so their values' storage serves row after row.
#include "export/read_ahead.h"

#include <algorithm>
#include <system_error>

#include "export/target_writer.h"
#include "export/value_text.h"

namespace zl::exporter {
namespace {

using schema::Value;

// Four batches keep both threads busy; each holds up to 32,768 values (4,096 rows of 8), so that
// on a busy machine the threads wait for each other a few hundred times per million rows, not
// thousands (each wait may cost a time slice), while the batches stay near 3 MB each. A batch
// closes early past 1 MiB of text and bytes; before it is filled again, values grown past
// 16 KiB give their storage back, and so does a whole batch holding more than 2 MiB, so that a
// table of large memos holds a handful at a time.
constexpr std::size_t kBatches = 4;
constexpr std::size_t kReady = kBatches / 2;  // what a sleeping side waits for
constexpr std::size_t kBatchValues = 32768;
constexpr std::size_t kBatchBytes = std::size_t{1} << 20;
constexpr std::size_t kKeptCapacity = std::size_t{16} << 10;
constexpr std::size_t kKeptBatchCapacity = std::size_t{2} << 20;

}  // namespace

ReadAhead::ReadAhead(const schema::Database& db, const std::string& table, RowHook hook)
    : m_recordset(db.openRecordset(table)), m_hook(std::move(hook)), m_batches(kBatches) {
    m_recordedCount = m_recordset->recordedCount();
    for (Batch& batch : m_batches) {
        m_free.push_back(&batch);
    }
    try {
        m_thread = std::thread([this] { read(); });
    } catch (const std::system_error& error) {
        throw ExportError("Cannot start reading the rows of " + table + ": " + error.what());
    }
}

ReadAhead::~ReadAhead() {
    {
        const std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_freed.notify_one();
    m_thread.join();
}

std::vector<Value>* ReadAhead::next() {
    while (m_current == nullptr || m_next == m_current->count) {
        if (m_current != nullptr) {
            const bool last = m_current->last;
            const std::exception_ptr error = m_current->error;
            recycle(m_current);
            m_current = nullptr;
            if (error) {
                m_ended = true;
                std::rethrow_exception(error);
            }
            if (last) m_ended = true;
        }
        if (m_ended) return nullptr;
        std::unique_lock lock(m_mutex);
        if (m_full.empty()) {
            m_writerAsleep = true;
            m_published.wait(lock, [this] {
                return m_full.size() >= kReady || (!m_full.empty() && m_full.back()->last);
            });
            m_writerAsleep = false;
        }
        m_current = m_full.front();
        m_full.pop_front();
        m_next = 0;
    }
    return &m_current->rows[m_next++];
}

void ReadAhead::read() noexcept {
    std::uint64_t row = 0;
    while (Batch* batch = takeFree()) {
        trim(*batch);
        batch->count = 0;
        batch->last = false;
        batch->error = nullptr;
        std::size_t bytes = 0;
        std::size_t values = 0;
        try {
            while (values < kBatchValues && bytes < kBatchBytes && !m_stop.load()) {
                if (!m_recordset->moveNext()) {
                    batch->last = true;
                    break;
                }
                if (m_hook) m_hook(row, m_recordset->values());
                if (batch->count == batch->rows.size()) batch->rows.emplace_back();
                std::vector<Value>& taken = batch->rows[batch->count++];
                m_recordset->takeValues(taken);
                bytes += payload(taken);
                values += std::max<std::size_t>(taken.size(), 1);
                ++row;
            }
        } catch (...) {
            // The rows read so far go first; the writer meets the error where reading stopped.
            batch->error = std::current_exception();
            batch->last = true;
        }
        const bool last = batch->last;
        publish(batch);
        if (last) return;
    }
}

void ReadAhead::trim(Batch& batch) {
    std::size_t kept = 0;
    for (std::size_t i = 0; i < batch.count; ++i) {
        for (Value& value : batch.rows[i]) {
            if (value.text.capacity() > kKeptCapacity) std::string().swap(value.text);
            if (value.bytes.capacity() > kKeptCapacity) std::vector<std::byte>().swap(value.bytes);
            kept += value.text.capacity() + value.bytes.capacity();
        }
    }
    if (kept > kKeptBatchCapacity) {
        for (std::vector<Value>& values : batch.rows) values.clear();
    }
}

ReadAhead::Batch* ReadAhead::takeFree() {
    std::unique_lock lock(m_mutex);
    if (m_free.empty() && !m_stop.load()) {
        m_readerAsleep = true;
        m_freed.wait(lock, [this] { return m_free.size() >= kReady || m_stop.load(); });
        m_readerAsleep = false;
    }
    if (m_stop.load()) return nullptr;
    Batch* batch = m_free.back();
    m_free.pop_back();
    return batch;
}

void ReadAhead::publish(Batch* batch) {
    bool wake = false;
    {
        const std::lock_guard lock(m_mutex);
        m_full.push_back(batch);
        wake = m_writerAsleep && (m_full.size() >= kReady || batch->last);
    }
    if (wake) m_published.notify_one();
}

void ReadAhead::recycle(Batch* batch) {
    batch->error = nullptr;
    bool wake = false;
    {
        const std::lock_guard lock(m_mutex);
        m_free.push_back(batch);
        wake = m_readerAsleep && m_free.size() >= kReady;
    }
    if (wake) m_freed.notify_one();
}

}  // namespace zl::exporter
