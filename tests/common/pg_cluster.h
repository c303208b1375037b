// A throwaway PostgreSQL 15 cluster for tests: started once per test process on a Unix socket in
// a temporary folder, stopped and removed when the process exits.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

struct pg_conn;

namespace zl::testing {

// What a command printed (standard output and error together) and its exit status.
struct CommandResult {
    int status = -1;
    std::string output;
};

// Rows of a query, every value as text; SQL NULL is kNullText.
inline constexpr const char* kNullText = "<null>";
struct QueryRows {
    bool ok = false;
    std::string error;
    std::vector<std::vector<std::string>> rows;
};

class PgCluster {
public:
    // The cluster of this process, started on first use. When it cannot start (binaries missing,
    // initdb or pg_ctl failing), ok() is false and error() says why; tests report that as a
    // failure.
    static PgCluster& shared();

    ~PgCluster();
    PgCluster(const PgCluster&) = delete;
    PgCluster& operator=(const PgCluster&) = delete;

    bool ok() const { return m_ok; }
    const std::string& error() const { return m_error; }

    // A libpq connection string for database `dbname` of this cluster.
    std::string conninfo(const std::string& dbname) const;
    // Creates a new empty database and returns its name; "" (with error() set) on failure.
    std::string createDatabase();
    // Runs psql -X -v ON_ERROR_STOP=1 --single-transaction on a file or on SQL text.
    CommandResult psqlFile(const std::string& dbname, const std::string& path);
    CommandResult psqlText(const std::string& dbname, const std::string& sql);
    // Runs one statement (or several; rows come from the last) through libpq.
    QueryRows query(const std::string& dbname, const std::string& sql);

    // The folder holding the cluster's data and socket.
    const std::string& folder() const { return m_folder; }

private:
    PgCluster();
    void start();
    void stop();
    pg_conn* connection(const std::string& dbname);

    bool m_ok = false;
    bool m_started = false;
    std::string m_error;
    std::string m_bindir;
    std::string m_folder;
    int m_nextDatabase = 0;
    int m_nextScript = 0;
    std::map<std::string, pg_conn*> m_connections;
};

// True when psql's output carries an ERROR, WARNING or NOTICE line.
bool hasPsqlDiagnostics(const std::string& output);

// Runs a shell command, returning its exit status and everything it printed.
CommandResult runCommand(const std::string& command);

}  // namespace zl::testing
