// The throwaway PostgreSQL cluster: initdb into a temporary folder, Unix socket only.
#include "common/pg_cluster.h"

#include <libpq-fe.h>
#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace zl::testing {

namespace {

const char* const kDefaultBindir = "/usr/lib/postgresql/15/bin";

// The server refuses to run as root, so as root the cluster is made and run as user postgres.
std::string asServerUser() { return geteuid() == 0 ? "runuser -u postgres -- " : ""; }

}  // namespace

CommandResult runCommand(const std::string& command) {
    CommandResult result;
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr) {
        result.output = "cannot run: " + command;
        return result;
    }
    char buffer[4096];
    std::size_t n = 0;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        result.output.append(buffer, n);
    }
    const int status = pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

bool hasPsqlDiagnostics(const std::string& output) {
    for (const char* word : {"ERROR:", "WARNING:", "NOTICE:", "FATAL:"}) {
        if (output.find(word) != std::string::npos) {
            return true;
        }
    }
    return false;
}

PgCluster& PgCluster::shared() {
    static PgCluster cluster;
    if (!cluster.m_started) {
        cluster.m_started = true;
        cluster.start();
    }
    return cluster;
}

PgCluster::PgCluster() {
    const char* bindir = std::getenv("ZL_PG_BINDIR");
    m_bindir = bindir != nullptr ? bindir : kDefaultBindir;
}

PgCluster::~PgCluster() { stop(); }

void PgCluster::start() {
    for (const char* tool : {"initdb", "pg_ctl", "psql", "postgres"}) {
        if (access((m_bindir + "/" + tool).c_str(), X_OK) != 0) {
            m_error = "PostgreSQL 15 is not installed: " + m_bindir + "/" + tool +
                      " is missing (install postgresql-15, see scripts/install-deps.sh)";
            return;
        }
    }
    std::string pattern = (std::filesystem::temp_directory_path() / "zlpg-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        m_error = "cannot create a temporary folder for PostgreSQL";
        return;
    }
    m_folder = pattern;
    if (geteuid() == 0) {
        const passwd* user = getpwnam("postgres");
        if (user == nullptr || chown(m_folder.c_str(), user->pw_uid, user->pw_gid) != 0) {
            m_error = "running as root, but the folder cannot be given to user postgres";
            return;
        }
    }
    const std::string data = m_folder + "/data";
    CommandResult init = runCommand(asServerUser() + m_bindir + "/initdb -D " + data +
                                    " -A trust -U postgres -E UTF8 --locale=C.UTF-8 --no-sync");
    if (init.status != 0) {
        m_error = "initdb failed: " + init.output;
        return;
    }
    {
        std::ofstream conf(data + "/postgresql.conf", std::ios::app);
        conf << "\nlisten_addresses = ''\nunix_socket_directories = '" << m_folder
             << "'\nfsync = off\nsynchronous_commit = off\nfull_page_writes = off\n";
    }
    CommandResult run = runCommand(asServerUser() + m_bindir + "/pg_ctl -D " + data + " -l " +
                                   m_folder + "/server.log -w start");
    if (run.status != 0) {
        std::ifstream log(m_folder + "/server.log");
        std::string text((std::istreambuf_iterator<char>(log)), std::istreambuf_iterator<char>());
        m_error = "pg_ctl start failed: " + run.output + text;
        return;
    }
    m_ok = true;
}

void PgCluster::stop() {
    for (auto& entry : m_connections) {
        PQfinish(entry.second);
    }
    m_connections.clear();
    if (m_ok) {
        runCommand(asServerUser() + m_bindir + "/pg_ctl -D " + m_folder +
                   "/data -m immediate -w stop");
        m_ok = false;
    }
    if (!m_folder.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(m_folder, ignored);
        m_folder.clear();
    }
}

std::string PgCluster::conninfo(const std::string& dbname) const {
    return "host=" + m_folder + " port=5432 user=postgres dbname=" + dbname;
}

std::string PgCluster::createDatabase() {
    const std::string name = "zltest" + std::to_string(++m_nextDatabase);
    QueryRows created = query("postgres", "CREATE DATABASE " + name + " TEMPLATE template0");
    if (!created.ok) {
        m_error = "CREATE DATABASE failed: " + created.error;
        return {};
    }
    return name;
}

CommandResult PgCluster::psqlFile(const std::string& dbname, const std::string& path) {
    if (!m_ok) {
        return {-1, m_error};
    }
    return runCommand(m_bindir + "/psql -X -v ON_ERROR_STOP=1 --single-transaction -h " + m_folder +
                      " -p 5432 -U postgres -d " + dbname + " -f '" + path + "'");
}

CommandResult PgCluster::psqlText(const std::string& dbname, const std::string& sql) {
    const std::string path = m_folder + "/script" + std::to_string(++m_nextScript) + ".sql";
    {
        std::ofstream out(path, std::ios::binary);
        out << sql;
    }
    CommandResult result = psqlFile(dbname, path);
    std::remove(path.c_str());
    return result;
}

pg_conn* PgCluster::connection(const std::string& dbname) {
    auto it = m_connections.find(dbname);
    if (it != m_connections.end()) {
        return it->second;
    }
    pg_conn* conn = PQconnectdb(conninfo(dbname).c_str());
    m_connections[dbname] = conn;
    return conn;
}

QueryRows PgCluster::query(const std::string& dbname, const std::string& sql) {
    QueryRows out;
    if (!m_ok) {
        out.error = m_error;
        return out;
    }
    pg_conn* conn = connection(dbname);
    if (PQstatus(conn) != CONNECTION_OK) {
        out.error = PQerrorMessage(conn);
        return out;
    }
    PGresult* res = PQexec(conn, sql.c_str());
    const ExecStatusType status = PQresultStatus(res);
    if (status != PGRES_TUPLES_OK && status != PGRES_COMMAND_OK) {
        out.error = PQresultErrorMessage(res);
        PQclear(res);
        return out;
    }
    for (int r = 0; r < PQntuples(res); ++r) {
        std::vector<std::string> row;
        for (int c = 0; c < PQnfields(res); ++c) {
            row.emplace_back(PQgetisnull(res, r, c) ? kNullText : PQgetvalue(res, r, c));
        }
        out.rows.push_back(std::move(row));
    }
    PQclear(res);
    out.ok = true;
    return out;
}

}  // namespace zl::testing
