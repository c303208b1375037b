// An open Jet 3, Jet 4 or ACE database, read through the engine interface.
#pragma once

#include <memory>
#include <string>

#include "schema/engine.h"
#include "schema/jet/page_reader.h"
#include "schema/jet/page_source.h"

namespace zl::schema::jet {

// A Database with the reader's counters, for the benchmark and tests.
class JetDatabase : public Database {
public:
    // Pages read from the source so far (the cache absorbs repeated reads).
    virtual ReadStats readStats() const = 0;
};

// Opens the database held by `source`; `name` becomes Database.Name. Reads the header and the
// system catalog; throws EngineError with a description when the bytes are not an Access
// database, are encrypted or password-protected, or are damaged.
std::unique_ptr<JetDatabase> openJetDatabase(std::unique_ptr<PageSource> source, std::string name);

}  // namespace zl::schema::jet
