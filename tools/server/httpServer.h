#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_set>
#include <vector>

struct MHD_Daemon;
class RequestHandler;

// The HTTP side of the update server, on GNU libmicrohttpd: a few event-driven threads hold
// every connection, so a client that connects and waits, or trickles its request, costs a
// socket and a little memory, never a thread. Every request goes to the handler.
//
// Bounds: connections in total and per address; each request read within requestDeadline of
// the connection's accept (or of the previous reply on a kept-alive connection) and answered
// within replyDeadline; a request line and headers of at most connectionMemory. The library
// itself only times out connections that go silent, so a reaper thread ends the ones past
// their deadline. Submissions wait for their commit on store workers, their connections
// suspended, so that no event thread ever waits for the disk.
class HttpServer
{
public:
    struct Limits
    {
        std::chrono::milliseconds requestDeadline{10000};
        // The game waits 60 seconds for a reply; a slow line may need most of them.
        std::chrono::milliseconds replyDeadline{60000};
        unsigned idleSeconds = 10;
        unsigned connections = 10000;
        unsigned connectionsPerAddress = 128;
        size_t connectionMemory = 32 * 1024;
        unsigned backlog = 4096;
        unsigned threads = 0; // 0: one per processor, at least two
        // Submissions wait for their commit here, off the event threads.
        unsigned storeWorkers = 8;
    };
    struct Connection;

    HttpServer(RequestHandler &handler, const Limits &limits);
    ~HttpServer();
    HttpServer(const HttpServer &) = delete;
    HttpServer &operator=(const HttpServer &) = delete;

    // Listens on the address (IPv4 or IPv6) and port (0 for any free one) and gives the port;
    // throws std::runtime_error naming the reason when it cannot.
    int start(const std::string &address, int port);
    // Stores the submissions in progress, then closes every connection.
    void stop();

private:
    friend struct HttpServerCallbacks;
    void reapOverdue();
    // False when stopping: the caller does the task itself.
    bool deferToStore(std::function<void()> task);
    void runStoreTasks();

    RequestHandler &m_handler;
    const Limits m_limits;
    MHD_Daemon *m_daemon = nullptr;

    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_stopping = false;
    std::unordered_set<Connection *> m_connections;
    std::thread m_reaper;
    std::deque<std::function<void()>> m_storeTasks;
    std::vector<std::thread> m_storeWorkers;
};
