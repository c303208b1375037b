// The work the reader's fuzz target does with one input, shared with the replay test.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zl::schema::jet {

// Opens `data` as a database in memory and reads everything the engine offers: the listing,
// every field and index of every table, the SQL of every query. EngineError is the expected
// outcome of damaged input and is swallowed; anything else (another exception, a crash, a hang)
// is a fault the caller reports.
void exerciseDatabase(const std::uint8_t* data, std::size_t size);

}  // namespace zl::schema::jet
