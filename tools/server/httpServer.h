#pragma once

#include <httplib.h>

#include <chrono>

class RequestHandler;

// An httplib server that sends every request to the handler and bounds each connection: one
// request per connection, at most maxRequestBytes read from it within requestDeadline, the
// reply written by connectionDeadline, no single read or write waiting longer than ioTimeout.
// The library alone bounds only single reads and single header lines, so a client could
// otherwise send headers for ever, or trickle them.
class BoundedServer : public httplib::Server
{
public:
    struct Limits
    {
        size_t maxRequestBytes = 16 * 1024;
        std::chrono::milliseconds requestDeadline{10000};
        // The game waits 60 seconds for a reply; a slow line may need most of them.
        std::chrono::milliseconds connectionDeadline{60000};
        std::chrono::milliseconds ioTimeout{5000};
        // Every connection occupies a worker while it lasts; the limits above bound how long.
        size_t workerThreads = 32;
    };

    explicit BoundedServer(RequestHandler &handler)
        : BoundedServer(handler, Limits{})
    {
    }
    BoundedServer(RequestHandler &handler, const Limits &limits);

private:
    bool process_and_close_socket(socket_t sock) override;

    const Limits m_limits;
};
