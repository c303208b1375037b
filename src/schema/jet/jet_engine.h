// The engine that opens Access databases with the reader in this folder.
#pragma once

#include <memory>
#include <string>

#include "schema/engine.h"
#include "schema/jet/jet_database.h"

namespace zl::schema::jet {

// DBEngine for Jet 3, Jet 4 and ACE files: opens read-only and shared, never writes.
class JetEngine final : public Engine {
public:
    // Opens `fileName`; Database.Name is its absolute path. Throws EngineError with the reason
    // (missing, unreadable, not a database, encrypted, password-protected, damaged).
    std::unique_ptr<Database> openDatabase(const std::string& fileName) override;
};

// The absolute form of `fileName` (relative names are taken from the current directory);
// the name itself when the current directory is unknown.
std::string absolutePath(const std::string& fileName);

}  // namespace zl::schema::jet
