#include "submissionStore.h"

#include <sqlite3.h>

#include <filesystem>
#include <memory>
#include <stdexcept>

namespace {

struct StatementDeleter
{
    void operator()(sqlite3_stmt *statement) const { sqlite3_finalize(statement); }
};
using Statement = std::unique_ptr<sqlite3_stmt, StatementDeleter>;

Statement prepare(sqlite3 *db, const char *sql)
{
    sqlite3_stmt *statement = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) != SQLITE_OK)
        throw std::runtime_error(sqlite3_errmsg(db));
    return Statement(statement);
}

void bindText(sqlite3_stmt *statement, int index, const std::optional<std::string> &text)
{
    if (text)
        sqlite3_bind_text(statement, index, text->data(), static_cast<int>(text->size()),
                          SQLITE_TRANSIENT);
    else
        sqlite3_bind_null(statement, index);
}

std::optional<std::string> columnText(sqlite3_stmt *statement, int column)
{
    if (sqlite3_column_type(statement, column) == SQLITE_NULL)
        return std::nullopt;
    const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(statement, column));
    return std::string(text, static_cast<size_t>(sqlite3_column_bytes(statement, column)));
}

} // namespace

SubmissionStore::SubmissionStore(const std::string &path, Open mode)
{
    std::error_code error;
    if (mode == Open::ExistingOnly && !std::filesystem::is_regular_file(path, error))
        throw std::runtime_error(path + ": no such database file");
    const int flags = SQLITE_OPEN_READWRITE | (mode == Open::OrCreate ? SQLITE_OPEN_CREATE : 0);
    try {
        if (sqlite3_open_v2(path.c_str(), &m_db, flags, nullptr) != SQLITE_OK)
            throw std::runtime_error(m_db ? sqlite3_errmsg(m_db) : "out of memory");
        sqlite3_busy_timeout(m_db, 5000);
        // Fails with "file is not a database" for any other file.
        const bool known = hasTable("submissions");
        if (known && columns() != std::vector<std::string>{"id", "received", "address", "value",
                                                           "author", "chain"})
            throw std::runtime_error("its submissions table is not this server's");
        if (!known && (mode == Open::ExistingOnly || hasTable("%")))
            throw std::runtime_error("not a quillora-server database (no submissions table)");
        execute("PRAGMA journal_mode=WAL");
        // A submission acknowledged with 200 survives a power cut too.
        execute("PRAGMA synchronous=FULL");
        execute("CREATE TABLE IF NOT EXISTS submissions ("
                " id INTEGER PRIMARY KEY,"
                " received TEXT NOT NULL,"
                " address TEXT NOT NULL,"
                " value TEXT NOT NULL,"
                " author TEXT,"
                " chain TEXT)");
    } catch (const std::runtime_error &failure) {
        sqlite3_close(m_db);
        throw std::runtime_error(path + ": " + failure.what());
    }
}

bool SubmissionStore::hasTable(const char *name)
{
    const Statement statement =
        prepare(m_db, "SELECT 1 FROM sqlite_master WHERE type = 'table' AND name LIKE ?");
    sqlite3_bind_text(statement.get(), 1, name, -1, SQLITE_STATIC);
    const int step = sqlite3_step(statement.get());
    if (step != SQLITE_ROW && step != SQLITE_DONE)
        throw std::runtime_error(sqlite3_errmsg(m_db));
    return step == SQLITE_ROW;
}

std::vector<std::string> SubmissionStore::columns()
{
    const Statement statement = prepare(m_db, "SELECT name FROM pragma_table_info('submissions')");
    std::vector<std::string> names;
    while (sqlite3_step(statement.get()) == SQLITE_ROW)
        names.push_back(columnText(statement.get(), 0).value_or(std::string()));
    return names;
}

SubmissionStore::~SubmissionStore()
{
    sqlite3_close(m_db);
}

void SubmissionStore::execute(const char *sql)
{
    char *error = nullptr;
    if (sqlite3_exec(m_db, sql, nullptr, nullptr, &error) != SQLITE_OK) {
        const std::string reason = error ? error : sqlite3_errmsg(m_db);
        sqlite3_free(error);
        throw std::runtime_error(reason);
    }
}

bool SubmissionStore::add(const Submission &submission)
{
    const std::lock_guard lock(m_mutex);
    try {
        const Statement statement =
            prepare(m_db, "INSERT INTO submissions (received, address, value, author, chain)"
                          " VALUES (?, ?, ?, ?, ?)");
        bindText(statement.get(), 1, submission.received);
        bindText(statement.get(), 2, submission.address);
        bindText(statement.get(), 3, submission.value);
        bindText(statement.get(), 4, submission.author);
        bindText(statement.get(), 5, submission.chain);
        return sqlite3_step(statement.get()) == SQLITE_DONE;
    } catch (const std::runtime_error &) {
        return false;
    }
}

std::vector<Submission> SubmissionStore::all()
{
    const std::lock_guard lock(m_mutex);
    const Statement statement = prepare(
        m_db, "SELECT received, address, value, author, chain FROM submissions ORDER BY id");
    std::vector<Submission> result;
    while (sqlite3_step(statement.get()) == SQLITE_ROW) {
        result.push_back({columnText(statement.get(), 0).value_or(std::string()),
                          columnText(statement.get(), 1).value_or(std::string()),
                          columnText(statement.get(), 2).value_or(std::string()),
                          columnText(statement.get(), 3), columnText(statement.get(), 4)});
    }
    return result;
}
