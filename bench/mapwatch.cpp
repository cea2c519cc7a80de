// Watches the X server for top-level windows being mapped, from outside the
// program that maps them, so the time includes everything up to the server.
//
//   bench_mapwatch launch [--rss-after S] [--timeout S] [--log FILE] -- COMMAND...
//       starts COMMAND (its output to FILE, default /dev/null) and prints
//       "map_ms X", milliseconds from just before the spawn to its first
//       top-level window's MapNotify, and "cpu_ms Y", the time its threads had
//       spent on a CPU by then. With --rss-after, waits S seconds more and
//       prints "rss_kb N ANON FILE" (VmRSS, RssAnon, RssFile). Then ends COMMAND.
//   bench_mapwatch watch --prefix TEXT [--timeout S]
//       prints "READY", then "EPOCH_SECONDS WINDOW TITLE" (wall clock, ns) for
//       every top-level window mapped whose title starts with TEXT.
//
// A window manager maps its frame, not the client, on the root: the title and
// _NET_WM_PID are looked for on the mapped window and its descendants.
#include <xcb/xcb.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <optional>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <time.h>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace {

xcb_connection_t *conn = nullptr;
xcb_window_t root = 0;

double monotonicMs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

xcb_atom_t atom(const char *name)
{
    auto cookie = xcb_intern_atom(conn, 0, uint16_t(std::strlen(name)), name);
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(conn, cookie, nullptr);
    const xcb_atom_t result = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return result;
}

std::optional<std::string> property(xcb_window_t w, xcb_atom_t prop)
{
    auto cookie = xcb_get_property(conn, 0, w, prop, XCB_GET_PROPERTY_TYPE_ANY, 0, 1024);
    xcb_get_property_reply_t *reply = xcb_get_property_reply(conn, cookie, nullptr);
    std::optional<std::string> result;
    if (reply && reply->type != XCB_ATOM_NONE)
        result.emplace(static_cast<const char *>(xcb_get_property_value(reply)),
                       size_t(xcb_get_property_value_length(reply)) * (reply->format / 8));
    std::free(reply);
    return result;
}

std::vector<xcb_window_t> children(xcb_window_t w)
{
    xcb_query_tree_reply_t *reply = xcb_query_tree_reply(conn, xcb_query_tree(conn, w), nullptr);
    std::vector<xcb_window_t> result;
    if (reply) {
        const xcb_window_t *c = xcb_query_tree_children(reply);
        result.assign(c, c + xcb_query_tree_children_length(reply));
    }
    std::free(reply);
    return result;
}

// The first window at or below w (three levels: frame, plate, client) with the property.
std::optional<std::pair<xcb_window_t, std::string>> find(xcb_window_t w, xcb_atom_t prop, int depth = 3)
{
    if (auto value = property(w, prop))
        return std::make_pair(w, *value);
    if (depth == 0)
        return std::nullopt;
    for (xcb_window_t c : children(w)) {
        if (auto found = find(c, prop, depth - 1))
            return found;
    }
    return std::nullopt;
}

// Waits for the next top-level MapNotify; false on timeout. Time taken on receipt.
bool nextMap(double deadlineMs, xcb_window_t *window, double *atMs, timespec *wall)
{
    for (;;) {
        while (xcb_generic_event_t *event = xcb_poll_for_event(conn)) {
            const bool map = (event->response_type & 0x7f) == XCB_MAP_NOTIFY;
            const double now = monotonicMs();
            if (map) {
                clock_gettime(CLOCK_REALTIME, wall);
                auto *notify = reinterpret_cast<xcb_map_notify_event_t *>(event);
                const bool topLevel = notify->event == root && !notify->override_redirect;
                *window = notify->window;
                std::free(event);
                if (topLevel) {
                    *atMs = now;
                    return true;
                }
                continue;
            }
            std::free(event);
        }
        if (xcb_connection_has_error(conn)) {
            std::fprintf(stderr, "mapwatch: lost the X connection\n");
            std::exit(3);
        }
        const double left = deadlineMs - monotonicMs();
        if (left <= 0)
            return false;
        pollfd fd{xcb_get_file_descriptor(conn), POLLIN, 0};
        poll(&fd, 1, int(left) + 1);
    }
}

void connectAndSelect()
{
    conn = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(conn)) {
        std::fprintf(stderr, "mapwatch: cannot open the display\n");
        std::exit(3);
    }
    root = xcb_setup_roots_iterator(xcb_get_setup(conn)).data->root;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_void_cookie_t cookie = xcb_change_window_attributes_checked(conn, root, XCB_CW_EVENT_MASK, &mask);
    if (xcb_generic_error_t *error = xcb_request_check(conn, cookie)) {
        std::fprintf(stderr, "mapwatch: cannot watch the root window (error %d)\n", error->error_code);
        std::exit(3);
    }
}

long statusKb(pid_t pid, const std::string &field)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field + ":", 0) == 0)
            return std::strtol(line.c_str() + field.size() + 1, nullptr, 10);
    }
    return -1;
}

// Time on a CPU of all the threads, from the kernel's scheduler statistics.
double onCpuMs(pid_t pid)
{
    const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
    double ns = 0;
    if (DIR *dir = opendir(tasks.c_str())) {
        while (dirent *entry = readdir(dir)) {
            if (entry->d_name[0] == '.')
                continue;
            std::ifstream stat(tasks + "/" + entry->d_name + "/schedstat");
            double value = 0;
            if (stat >> value)
                ns += value;
        }
        closedir(dir);
    }
    return ns / 1e6;
}

bool exited(pid_t pid, int waitMs)
{
    for (int waited = 0;; waited += 10) {
        if (waitpid(pid, nullptr, WNOHANG) == pid)
            return true;
        if (waited >= waitMs)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

void end(pid_t pid)
{
    kill(pid, SIGTERM);
    if (!exited(pid, 5000)) {
        kill(pid, SIGKILL);
        exited(pid, 5000);
    }
}

int launch(double rssAfterS, double timeoutS, const std::string &log, char **command)
{
    connectAndSelect();
    const xcb_atom_t pidAtom = atom("_NET_WM_PID");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    pid_t pid = 0;
    const double start = monotonicMs();
    const int error = posix_spawnp(&pid, command[0], &actions, nullptr, command, environ);
    posix_spawn_file_actions_destroy(&actions);
    if (error) {
        std::fprintf(stderr, "mapwatch: cannot start %s: %s\n", command[0], std::strerror(error));
        return 3;
    }
    xcb_window_t window = 0;
    double at = 0;
    timespec wall{};
    for (;;) {
        if (!nextMap(start + timeoutS * 1000, &window, &at, &wall)) {
            std::fprintf(stderr, "mapwatch: no window within %.0f s\n", timeoutS);
            end(pid);
            return 2;
        }
        // Another client's window (a window manager's, say) does not count.
        const auto owner = find(window, pidAtom);
        if (owner && owner->second.size() >= 4 && *reinterpret_cast<const uint32_t *>(owner->second.data()) == uint32_t(pid))
            break;
    }
    const double cpu = onCpuMs(pid);
    std::printf("map_ms %.2f\ncpu_ms %.2f\n", at - start, cpu);
    std::fflush(stdout);
    if (rssAfterS > 0) {
        if (exited(pid, int(rssAfterS * 1000))) {
            std::fprintf(stderr, "mapwatch: the program ended before its memory was read\n");
            return 2;
        }
        std::printf("rss_kb %ld %ld %ld\n", statusKb(pid, "VmRSS"), statusKb(pid, "RssAnon"), statusKb(pid, "RssFile"));
    }
    end(pid);
    return 0;
}

int watch(const std::string &prefix, double timeoutS)
{
    connectAndSelect();
    const xcb_atom_t netName = atom("_NET_WM_NAME");
    std::printf("READY\n");
    std::fflush(stdout);
    const double deadline = monotonicMs() + timeoutS * 1000;
    xcb_window_t window = 0;
    double at = 0;
    timespec wall{};
    while (nextMap(deadline, &window, &at, &wall)) {
        auto named = find(window, netName);
        if (!named)
            named = find(window, XCB_ATOM_WM_NAME);
        if (named && named->second.rfind(prefix, 0) == 0) {
            std::printf("%lld.%09ld 0x%x %s\n", static_cast<long long>(wall.tv_sec), wall.tv_nsec, named->first,
                        named->second.c_str());
            std::fflush(stdout);
        }
    }
    return 0;
}

int usage()
{
    std::fprintf(stderr, "usage: bench_mapwatch launch [--rss-after S] [--timeout S] [--log FILE] -- COMMAND...\n"
                         "       bench_mapwatch watch --prefix TEXT [--timeout S]\n");
    return 64;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 2)
        return usage();
    const std::string mode = argv[1];
    double rssAfter = 0, timeout = mode == "watch" ? 3600 : 30;
    std::string prefix, log = "/dev/null";
    int i = 2;
    for (; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--")
            break;
        if (i + 1 >= argc)
            return usage();
        if (arg == "--rss-after")
            rssAfter = std::atof(argv[++i]);
        else if (arg == "--timeout")
            timeout = std::atof(argv[++i]);
        else if (arg == "--prefix")
            prefix = argv[++i];
        else if (arg == "--log")
            log = argv[++i];
        else
            return usage();
    }
    if (mode == "launch" && i + 1 < argc)
        return launch(rssAfter, timeout, log, argv + i + 1);
    if (mode == "watch")
        return watch(prefix, timeout);
    return usage();
}
