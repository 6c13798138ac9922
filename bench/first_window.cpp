// Times a program from its start to its first visible window, from outside:
// on the X display in DISPLAY it starts the command, watches the root window
// for top-level windows being created and mapped, and takes the first drawing
// into a mapped one (a Damage event) as the moment the window is seen. Prints
// "map_ms paint_ms" and ends the program (SIGTERM, SIGKILL after 5 s).
// Only the program under test should be drawing on the display (use a
// private Xvfb). Exit 0 when the window was seen, 1 when not (time-out or
// the program ended first), 2 on bad use.
// Usage: first_window [--timeout SECONDS] [--hold SECONDS] -- COMMAND [ARG...]
//   --hold keeps the program running that long after its window was seen.
#include <xcb/damage.h>
#include <xcb/xcb.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <poll.h>
#include <set>
#include <signal.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace {

using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point t0)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
}

// Ends the program and reaps it.
void Stop(pid_t pid)
{
    if (pid <= 0)
        return;
    kill(pid, SIGTERM);
    for (int i = 0; i < 500; ++i) {
        if (waitpid(pid, nullptr, WNOHANG) == pid)
            return;
        usleep(10000);
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

} // namespace

int main(int argc, char **argv)
{
    double timeoutS = 60;
    double holdS = 0;
    int first = 1;
    for (; first < argc; ++first) {
        const std::string arg = argv[first];
        if (arg == "--") {
            ++first;
            break;
        }
        if ((arg == "--timeout" || arg == "--hold") && first + 1 < argc) {
            (arg == "--timeout" ? timeoutS : holdS) = std::atof(argv[++first]);
            continue;
        }
        std::fprintf(stderr, "usage: first_window [--timeout S] [--hold S] -- COMMAND [ARG...]\n");
        return 2;
    }
    if (first >= argc) {
        std::fprintf(stderr, "first_window: no command\n");
        return 2;
    }

    xcb_connection_t *conn = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(conn)) {
        std::fprintf(stderr, "first_window: cannot open the display\n");
        return 2;
    }
    const xcb_query_extension_reply_t *ext = xcb_get_extension_data(conn, &xcb_damage_id);
    if (!ext || !ext->present) {
        std::fprintf(stderr, "first_window: the display has no Damage extension\n");
        return 2;
    }
    free(xcb_damage_query_version_reply(conn, xcb_damage_query_version(conn, 1, 1), nullptr));
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(conn)).data->root;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_request_check(conn, xcb_change_window_attributes_checked(conn, root, XCB_CW_EVENT_MASK, &mask));

    const Clock::time_point t0 = Clock::now();
    pid_t pid = 0;
    if (posix_spawnp(&pid, argv[first], nullptr, nullptr, argv + first, environ) != 0) {
        std::fprintf(stderr, "first_window: cannot start %s\n", argv[first]);
        return 2;
    }

    std::set<xcb_window_t> created, mapped;
    double mapMs = -1;
    double paintMs = -1;
    pollfd pfd{xcb_get_file_descriptor(conn), POLLIN, 0};
    while (paintMs < 0 && MsSince(t0) < timeoutS * 1000) {
        xcb_generic_event_t *event = xcb_poll_for_event(conn);
        if (!event) {
            if (xcb_connection_has_error(conn))
                break;
            if (waitpid(pid, nullptr, WNOHANG) == pid) {
                pid = 0;
                break;
            }
            poll(&pfd, 1, 20);
            continue;
        }
        const int type = event->response_type & 0x7F;
        if (type == XCB_CREATE_NOTIFY) {
            const auto *e = reinterpret_cast<xcb_create_notify_event_t *>(event);
            if (e->parent == root && !e->override_redirect) {
                created.insert(e->window);
                xcb_damage_create(conn, xcb_generate_id(conn), e->window, XCB_DAMAGE_REPORT_LEVEL_NON_EMPTY);
                xcb_flush(conn);
            }
        } else if (type == XCB_MAP_NOTIFY) {
            const auto *e = reinterpret_cast<xcb_map_notify_event_t *>(event);
            if (created.count(e->window) && !e->override_redirect) {
                mapped.insert(e->window);
                if (mapMs < 0)
                    mapMs = MsSince(t0);
            }
        } else if (type == ext->first_event + XCB_DAMAGE_NOTIFY) {
            const auto *e = reinterpret_cast<xcb_damage_notify_event_t *>(event);
            if (mapped.count(e->drawable)) {
                paintMs = MsSince(t0);
            } else {
                // Drawn before it was mapped: wait for the next drawing.
                xcb_damage_subtract(conn, e->damage, XCB_NONE, XCB_NONE);
                xcb_flush(conn);
            }
        }
        free(event);
    }
    if (paintMs >= 0 && holdS > 0)
        usleep(static_cast<useconds_t>(holdS * 1e6));
    Stop(pid);
    xcb_disconnect(conn);
    if (paintMs < 0) {
        std::fprintf(stderr, "first_window: no window was seen\n");
        return 1;
    }
    std::printf("%.1f %.1f\n", mapMs, paintMs);
    return 0;
}
