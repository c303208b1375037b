// Opening database files.
#include "schema/jet/jet_engine.h"

#include <filesystem>
#include <system_error>

#include "schema/jet/engine_errors.h"
#include "schema/jet/page_source.h"

namespace zl::schema::jet {

std::string absolutePath(const std::string& fileName) {
    std::error_code error;
    const std::filesystem::path path = std::filesystem::absolute(fileName, error);
    if (error) {
        return fileName;
    }
    return path.lexically_normal().string();
}

std::unique_ptr<Database> JetEngine::openDatabase(const std::string& fileName) {
    const std::string path = absolutePath(fileName);
    Result<std::unique_ptr<FilePageSource>> source = FilePageSource::open(path);
    if (!source.ok()) {
        throwEngineError(source.error(), ErrorSubject::Database, path);
    }
    return openJetDatabase(std::move(source).value(), path);
}

}  // namespace zl::schema::jet
