#pragma once

#include <mutex>
#include <optional>
#include <string>
#include <vector>

struct sqlite3;

struct Submission
{
    std::string received; // UTC, ISO 8601
    std::string address;
    std::string value; // the decoded query value, as sent
    std::optional<std::string> author;
    std::optional<std::string> chain;
};

// The players' chain submissions in a SQLite database (WAL mode, synchronous commits). Safe to
// use from several threads: every call takes the store's lock.
class SubmissionStore
{
public:
    enum class Open { OrCreate, ExistingOnly };

    // Opens the database, or creates it when asked to; throws std::runtime_error naming the
    // path and the reason when it cannot, or when the file is some other database.
    explicit SubmissionStore(const std::string &path, Open mode = Open::OrCreate);
    ~SubmissionStore();
    SubmissionStore(const SubmissionStore &) = delete;
    SubmissionStore &operator=(const SubmissionStore &) = delete;

    // Committed when it returns true.
    bool add(const Submission &submission);

    std::vector<Submission> all();

private:
    void execute(const char *sql);
    bool hasTable(const char *name);
    std::vector<std::string> columns();

    std::mutex m_mutex;
    sqlite3 *m_db = nullptr;
};
