// Times one start-up of a program from outside it: from the moment just before its exec to the
// moment its window is mapped on the X display (with a reparenting window manager: the moment the
// manager maps the frame the window sits in; without one, the window itself), and to its end,
// with its peak resident memory. The watch is an X client of its own, listening to the root
// window, so every program is counted the same way whatever it does itself.
//
//     map-timer PROGRAM
//
// prints "mapped MS painted MS ended MS peak KIB" (milliseconds from exec), where "painted" is
// the moment the program itself printed ("shown NS", CLOCK_MONOTONIC) after its first paint.
// Without DISPLAY, or with QT_QPA_PLATFORM=offscreen, nothing is mapped and "mapped" is -1.

#include <xcb/xcb.h>

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <string>

extern char **environ;

namespace {

constexpr int timeoutMs = 20000;

std::int64_t now()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1000000000LL + t.tv_nsec;
}

[[noreturn]] void fail(const char *what)
{
    std::fprintf(stderr, "map-timer: %s\n", what);
    std::exit(2);
}

// The X side: the root window's substructure, and which top-level window is the program's.
class RootWatch
{
public:
    explicit RootWatch(xcb_connection_t *connection)
        : m_connection(connection)
    {
        m_root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
        const std::uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_generic_error_t *error = xcb_request_check(
            connection,
            xcb_change_window_attributes_checked(connection, m_root, XCB_CW_EVENT_MASK, &mask));
        if (error)
            fail("cannot watch the root window");
        m_pidAtom = atom("_NET_WM_PID");
    }

    int fd() const { return xcb_get_file_descriptor(m_connection); }

    // True once the program's window is mapped on the root window, directly or in a frame.
    bool mapped(pid_t pid)
    {
        while (xcb_generic_event_t *event = xcb_poll_for_event(m_connection)) {
            bool done = false;
            switch (event->response_type & 0x7f) {
            case XCB_REPARENT_NOTIFY: {
                const auto *reparent = reinterpret_cast<xcb_reparent_notify_event_t *>(event);
                if (reparent->event == m_root && reparent->parent != m_root &&
                    isProgramWindow(reparent->window, pid))
                    m_frame = reparent->parent;
                break;
            }
            case XCB_MAP_NOTIFY: {
                const auto *map = reinterpret_cast<xcb_map_notify_event_t *>(event);
                if (map->event == m_root && ((m_frame != XCB_NONE && map->window == m_frame) ||
                                             (m_frame == XCB_NONE && !map->override_redirect &&
                                              isProgramWindow(map->window, pid))))
                    done = true;
                break;
            }
            default:
                break;
            }
            std::free(event);
            if (done)
                return true;
        }
        if (xcb_connection_has_error(m_connection))
            fail("lost the X display");
        return false;
    }

private:
    xcb_atom_t atom(const char *name)
    {
        xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(
            m_connection, xcb_intern_atom(m_connection, 0, std::strlen(name), name), nullptr);
        if (!reply)
            fail("cannot intern an atom");
        const xcb_atom_t found = reply->atom;
        std::free(reply);
        return found;
    }

    // The events are read after the fact: by then a program that ends at its first paint may
    // have gone with its window. Such a window was the program's all the same, since the display
    // is the benchmark's own and nothing else opens windows on it while the program runs.
    bool isProgramWindow(xcb_window_t window, pid_t pid)
    {
        const pid_t owner = windowPid(window);
        return owner == pid || owner == gone;
    }

    static constexpr pid_t gone = -2;

    // The window's _NET_WM_PID; -1 without one, gone when the window no longer exists.
    pid_t windowPid(xcb_window_t window)
    {
        xcb_generic_error_t *error = nullptr;
        xcb_get_property_reply_t *reply = xcb_get_property_reply(
            m_connection,
            xcb_get_property(m_connection, 0, window, m_pidAtom, XCB_ATOM_CARDINAL, 0, 1), &error);
        if (error) {
            const bool noWindow = error->error_code == XCB_WINDOW;
            std::free(error);
            return noWindow ? gone : -1;
        }
        pid_t pid = -1;
        if (reply && xcb_get_property_value_length(reply) == 4)
            pid = *static_cast<const std::uint32_t *>(xcb_get_property_value(reply));
        std::free(reply);
        return pid;
    }

    xcb_connection_t *m_connection;
    xcb_window_t m_root = XCB_NONE;
    xcb_window_t m_frame = XCB_NONE;
    xcb_atom_t m_pidAtom = XCB_NONE;
};

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 2)
        fail("usage: map-timer PROGRAM");
    const char *platform = std::getenv("QT_QPA_PLATFORM");
    const bool onX = std::getenv("DISPLAY") && !(platform && std::strcmp(platform, "xcb") != 0);

    xcb_connection_t *connection = nullptr;
    std::unique_ptr<RootWatch> watch;
    if (onX) {
        connection = xcb_connect(nullptr, nullptr);
        if (xcb_connection_has_error(connection))
            fail("cannot open the X display");
        watch = std::make_unique<RootWatch>(connection);
    }

    int out[2];
    if (pipe(out) != 0)
        fail("pipe");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    posix_spawn_file_actions_addclose(&actions, out[1]);
    char *const childArgs[] = {argv[1], nullptr};
    pid_t pid = 0;
    const std::int64_t start = now();
    if (posix_spawn(&pid, argv[1], &actions, nullptr, childArgs, environ) != 0)
        fail("cannot start the program");
    close(out[1]);

    std::int64_t mappedAt = -1;
    std::string said;
    bool outputOpen = true;
    while (outputOpen || (watch && mappedAt < 0)) {
        if (watch && mappedAt < 0 && watch->mapped(pid)) {
            mappedAt = now();
            continue;
        }
        pollfd fds[2] = {{outputOpen ? out[0] : -1, POLLIN, 0},
                         {watch && mappedAt < 0 ? watch->fd() : -1, POLLIN, 0}};
        const int left = timeoutMs - static_cast<int>((now() - start) / 1000000);
        if (left <= 0 || poll(fds, 2, left) < 0) {
            kill(pid, SIGKILL);
            fail("the program did not show its window in time");
        }
        if (outputOpen && (fds[0].revents & (POLLIN | POLLHUP))) {
            char buffer[256];
            const ssize_t got = read(out[0], buffer, sizeof buffer);
            if (got > 0)
                said.append(buffer, got);
            else
                outputOpen = false;
        }
    }
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid)
        fail("wait4");
    const std::int64_t end = now();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        fail("the program failed");
    long long shown = 0;
    if (std::sscanf(said.c_str(), "shown %lld", &shown) != 1)
        fail("the program did not say when it was painted");
    auto ms = [start](std::int64_t at) { return at < 0 ? -1.0 : (at - start) / 1e6; };
    std::printf("mapped %.3f painted %.3f ended %.3f peak %ld\n", ms(mappedAt), ms(shown), ms(end),
                usage.ru_maxrss);
    if (connection)
        xcb_disconnect(connection);
    return 0;
}
