// Reads a table's rows on a thread of its own, a few batches ahead of the thread that writes
// them, so that decoding the rows and writing them into the target overlap.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "schema/engine.h"

namespace zl::exporter {

// Sees each row on the reading thread, before it is queued: its ordinal and its values.
using RowHook = std::function<void(std::uint64_t, const std::vector<schema::Value>&)>;

class ReadAhead {
public:
    // Opens the rows of `table` (throws EngineError as Database::openRecordset does) and starts
    // reading them (ExportError when no thread can be started); `hook`, when given, sees every
    // row on the reading thread. Memory stays bounded: a few batches of rows, each closed early
    // when its values grow large.
    ReadAhead(const schema::Database& db, const std::string& table, RowHook hook);
    // Stops the reading thread and waits for it.
    ~ReadAhead();
    ReadAhead(const ReadAhead&) = delete;
    ReadAhead& operator=(const ReadAhead&) = delete;

    // The next row, valid until the next call (the caller may swap its values out for others);
    // nullptr past the last. Rethrows what reading threw (EngineError for a damaged page, or
    // std::bad_alloc), at the row where it happened.
    std::vector<schema::Value>* next();
    // The row count the table definition records (a hint for progress).
    std::uint64_t recordedCount() const { return m_recordedCount; }

private:
    struct Batch {
        std::vector<std::vector<schema::Value>> rows;
        std::size_t count = 0;
        bool last = false;  // no rows follow this batch
        std::exception_ptr error;
    };

    void read() noexcept;
    Batch* takeFree();
    // Gives back the storage of a used batch's large values (on the reading thread).
    static void trim(Batch& batch);
    void publish(Batch* batch);
    void recycle(Batch* batch);

    std::unique_ptr<schema::Recordset> m_recordset;
    RowHook m_hook;
    std::uint64_t m_recordedCount = 0;
    std::vector<Batch> m_batches;
    std::mutex m_mutex;
    std::condition_variable m_freed;      // for the reading thread
    std::condition_variable m_published;  // for the writer
    // Guarded by m_mutex. Each side sleeps until half the batches are ready for it, and is woken
    // only when asleep, so that the threads seldom wait on each other.
    std::vector<Batch*> m_free;
    std::deque<Batch*> m_full;
    bool m_readerAsleep = false;
    bool m_writerAsleep = false;
    std::atomic<bool> m_stop{false};
    Batch* m_current = nullptr;  // the batch the writer reads; only the writer touches it
    std::size_t m_next = 0;
    bool m_ended = false;
    std::thread m_thread;
};

}  // namespace zl::exporter
