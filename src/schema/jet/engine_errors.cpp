// Description texts of reader failures.
#include "schema/jet/engine_errors.h"

#include "schema/engine.h"

namespace zl::schema::jet {

std::string describeError(const Error& error, ErrorSubject subject, const std::string& name) {
    if (error.kind != ErrorKind::Corrupt) {
        // The other kinds carry a finished sentence.
        return error.message;
    }
    std::string what;
    switch (subject) {
        case ErrorSubject::Database:
            what = "The database is damaged and cannot be read";
            break;
        case ErrorSubject::Table:
            what = "The definition of table \"" + name + "\" is damaged and cannot be read";
            break;
        case ErrorSubject::Query:
            what = "The saved query \"" + name + "\" is damaged and cannot be read";
            break;
    }
    return what + " (" + error.message + ").";
}

void throwEngineError(const Error& error, ErrorSubject subject, const std::string& name) {
    throw EngineError(describeError(error, subject, name));
}

}  // namespace zl::schema::jet
