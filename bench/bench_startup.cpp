// How fast the program answers where a user feels it, under one private X
// server with the xcb plug-in, every comparison run alternating in one run:
// - the find command: Alt+O, and a click on the find button, to the result
//   window drawn, against a click that shows a result window built beforehand
//   (bench/prebuilt_result.cpp), input sent through XTEST;
// - start-up: process start to the main window drawn (and, apart, mapped),
//   and peak resident memory, against a replica of the main window written
//   the plainest way (bench/replica_window.cpp) and a bare empty window;
// - idle: CPU time and wake-ups over ten seconds with no input.
// The runtime folder is on tmpfs, as in a desktop session.
// Linux only (X server, /proc); run through `make bench-speed`.
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sstream>
#include <stdexcept>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>
#include <xcb/damage.h>
#include <xcb/xcb.h>
#include <xcb/xtest.h>

extern char **environ;

namespace {
using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

const char *kProgram = XELT_PROGRAM;
const char *kBare = XELT_BARE_WINDOW;
const char *kReplica = XELT_REPLICA_WINDOW;
const char *kPrebuilt = XELT_PREBUILT_RESULT;

double ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

pid_t spawn(const std::vector<std::string> &argv, const std::vector<std::string> &extraEnv,
            posix_spawn_file_actions_t *actions = nullptr)
{
    std::vector<std::string> env(extraEnv);
    for (char **e = environ; *e; ++e)
        env.emplace_back(*e); // earlier entries win for getenv in the child
    std::vector<char *> cargv, cenv;
    for (const auto &a : argv)
        cargv.push_back(const_cast<char *>(a.c_str()));
    cargv.push_back(nullptr);
    for (const auto &e : env)
        cenv.push_back(const_cast<char *>(e.c_str()));
    cenv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawn(&pid, cargv[0], actions, nullptr, cargv.data(), cenv.data()) != 0)
        throw std::runtime_error("cannot start " + argv[0]);
    return pid;
}

void stop(pid_t pid)
{
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
}

// When a top-level window was mapped, and when its first frame was drawn in
// full: the last drawing into it before a quiet spell.
struct Shown {
    xcb_window_t window = 0;
    Clock::time_point mapped, painted;
    bool drawingSeen = false;
};

// A private Xvfb, with a connection that hears every top-level window being
// created and mapped, and (through the Damage extension) drawn into.
class XServer
{
public:
    XServer()
    {
        // Another private X server starting at the same moment can take the
        // display number this one was given: start again on another.
        for (int attempt = 0; !start(); ++attempt)
            if (attempt == 2)
                throw std::runtime_error("cannot start or reach a private Xvfb");
        m_root = xcb_setup_roots_iterator(xcb_get_setup(m_conn)).data->root;
        const xcb_query_extension_reply_t *xtest = xcb_get_extension_data(m_conn, &xcb_test_id);
        if (!xtest || !xtest->present)
            throw std::runtime_error("the X server has no XTEST extension");
        const xcb_query_extension_reply_t *damage = xcb_get_extension_data(m_conn, &xcb_damage_id);
        if (!damage || !damage->present)
            throw std::runtime_error("the X server has no Damage extension");
        m_damageEvent = damage->first_event + XCB_DAMAGE_NOTIFY;
        free(xcb_damage_query_version_reply(m_conn, xcb_damage_query_version(m_conn, 1, 1),
                                            nullptr));
        const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(m_conn, m_root, XCB_CW_EVENT_MASK, &mask);
        xcb_flush(m_conn);
    }
    ~XServer()
    {
        xcb_disconnect(m_conn);
        stop(m_pid);
    }
    const std::string &display() const { return m_display; }

    // What a window manager does for a new window: gives it the keyboard.
    void focus(xcb_window_t window)
    {
        xcb_set_input_focus(m_conn, XCB_INPUT_FOCUS_POINTER_ROOT, window, XCB_CURRENT_TIME);
        xcb_flush(m_conn);
    }

    // A top-level window's rectangle on the screen (there is no window
    // manager to reparent it).
    struct Rect {
        int x = 0, y = 0, width = 0, height = 0;
    };
    Rect geometry(xcb_window_t window)
    {
        Rect r;
        if (auto *g = xcb_get_geometry_reply(m_conn, xcb_get_geometry(m_conn, window), nullptr)) {
            r = {g->x, g->y, g->width, g->height};
            free(g);
        }
        return r;
    }

    // Input as a user gives it, through the XTEST extension.
    enum Keysym : xcb_keysym_t { kA = 0x61, kO = 0x6f, kAltL = 0xffe9 };
    void key(Keysym sym, bool press)
    {
        fake(press ? XCB_KEY_PRESS : XCB_KEY_RELEASE, keycode(sym));
    }
    void moveTo(int x, int y)
    {
        xcb_test_fake_input(m_conn, XCB_MOTION_NOTIFY, 0, XCB_CURRENT_TIME, m_root, int16_t(x),
                            int16_t(y), 0);
    }
    void button(bool press) { fake(press ? XCB_BUTTON_PRESS : XCB_BUTTON_RELEASE, 1); }
    void flush() { xcb_flush(m_conn); }

    void drain()
    {
        while (xcb_generic_event_t *e = xcb_poll_for_event(m_conn))
            free(e);
    }

    // Waits for the next top-level window to be mapped and drawn. Drawing is
    // watched from the window's creation, before the program can draw.
    Shown waitForShown(Clock::time_point deadline)
    {
        using namespace std::chrono_literals;
        const int fd = xcb_get_file_descriptor(m_conn);
        Shown shown;
        for (;;) {
            while (xcb_generic_event_t *e = xcb_poll_for_event(m_conn)) {
                const int type = e->response_type & 0x7f;
                if (type == XCB_CREATE_NOTIFY) {
                    const auto *c = reinterpret_cast<xcb_create_notify_event_t *>(e);
                    if (c->parent == m_root)
                        xcb_damage_create(m_conn, xcb_generate_id(m_conn), c->window,
                                          XCB_DAMAGE_REPORT_LEVEL_RAW_RECTANGLES);
                    xcb_flush(m_conn);
                } else if (type == XCB_MAP_NOTIFY && !shown.window) {
                    shown.window = reinterpret_cast<xcb_map_notify_event_t *>(e)->window;
                    shown.mapped = shown.painted = Clock::now();
                } else if (type == m_damageEvent && shown.window
                           && reinterpret_cast<xcb_damage_notify_event_t *>(e)->drawable
                                  == shown.window) {
                    shown.painted = Clock::now();
                    shown.drawingSeen = true;
                }
                free(e);
            }
            const auto now = Clock::now();
            if (shown.drawingSeen && now - shown.painted >= kQuiet)
                return shown;
            if (shown.window && !shown.drawingSeen && now - shown.mapped >= 2s)
                return shown; // drawn before we could watch: counts as shown when mapped
            if (now >= deadline)
                return Shown{};
            pollfd p{fd, POLLIN, 0};
            poll(&p, 1, 10);
        }
    }

    // The quiet spell after which a window's first frame counts as drawn in full.
    static constexpr auto kQuiet = std::chrono::milliseconds(150);

private:
    bool start()
    {
        int fds[2];
        if (pipe(fds) != 0)
            throw std::runtime_error("pipe");
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[1], 3);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        m_pid = spawn({"/usr/bin/Xvfb", "-displayfd", "3", "-screen", "0", "1024x768x24",
                       "-nolisten", "tcp", "-noreset"},
                      {}, &actions);
        posix_spawn_file_actions_destroy(&actions);
        close(fds[1]);
        char buf[16] = {};
        pollfd p{fds[0], POLLIN, 0};
        const bool started = poll(&p, 1, 20000) > 0 && read(fds[0], buf, sizeof buf - 1) > 0;
        close(fds[0]);
        if (started) {
            m_display = ":" + std::string(buf, strcspn(buf, "\n"));
            m_conn = xcb_connect(m_display.c_str(), nullptr);
            if (!xcb_connection_has_error(m_conn))
                return true;
            xcb_disconnect(m_conn);
            m_conn = nullptr;
        }
        stop(m_pid);
        return false;
    }

    void fake(uint8_t type, uint8_t detail)
    {
        xcb_test_fake_input(m_conn, type, detail, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
    }

    xcb_keycode_t keycode(xcb_keysym_t sym)
    {
        const xcb_setup_t *setup = xcb_get_setup(m_conn);
        const int count = setup->max_keycode - setup->min_keycode + 1;
        auto *map = xcb_get_keyboard_mapping_reply(
            m_conn, xcb_get_keyboard_mapping(m_conn, setup->min_keycode, uint8_t(count)), nullptr);
        if (!map)
            throw std::runtime_error("no keyboard mapping");
        const xcb_keysym_t *syms = xcb_get_keyboard_mapping_keysyms(map);
        xcb_keycode_t code = 0;
        for (int k = 0; k < count * map->keysyms_per_keycode && !code; ++k)
            if (syms[k] == sym)
                code = xcb_keycode_t(setup->min_keycode + k / map->keysyms_per_keycode);
        free(map);
        if (!code)
            throw std::runtime_error("no key for keysym " + std::to_string(sym));
        return code;
    }

    pid_t m_pid = 0;
    std::string m_display;
    xcb_connection_t *m_conn = nullptr;
    xcb_window_t m_root = 0;
    int m_damageEvent = 0;
};

long procStatusKiB(pid_t pid, const char *field)
{
    std::ifstream in("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    const std::string key = std::string(field) + ":";
    while (std::getline(in, line))
        if (line.rfind(key, 0) == 0)
            return std::strtol(line.c_str() + key.size(), nullptr, 10);
    return -1;
}

// CPU time (ms) of the whole process, and its wake-ups: context switches over all threads.
struct Usage {
    double cpuMs = 0;
    long wakeups = 0;
};

Usage usage(pid_t pid)
{
    Usage u;
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string s((std::istreambuf_iterator<char>(stat)), {});
    std::istringstream fields(s.substr(s.rfind(')') + 2));
    std::string f;
    long ticks = 0;
    for (int i = 3; i <= 15 && fields >> f; ++i)
        if (i == 14 || i == 15)
            ticks += std::stol(f); // utime, stime
    u.cpuMs = 1000.0 * double(ticks) / double(sysconf(_SC_CLK_TCK));
    for (const auto &task : fs::directory_iterator("/proc/" + std::to_string(pid) + "/task")) {
        std::ifstream in(task.path() / "status");
        std::string line;
        while (std::getline(in, line))
            if (line.rfind("voluntary_ctxt_switches:", 0) == 0
                || line.rfind("nonvoluntary_ctxt_switches:", 0) == 0)
                u.wakeups += std::strtol(line.c_str() + line.find(':') + 1, nullptr, 10);
    }
    return u;
}

// Fresh settings and runtime folders for one start, with today stored as the
// last update check so that the program opens straight on its main window.
// On tmpfs, as a desktop session's runtime folder is.
struct Home {
    fs::path dir;
    Home()
    {
        std::string tmpl =
            fs::is_directory("/dev/shm") ? "/dev/shm/xelt-bench-XXXXXX" : "/tmp/xelt-bench-XXXXXX";
        dir = mkdtemp(tmpl.data());
        fs::create_directories(dir / "config");
        fs::create_directories(dir / "runtime");
        fs::permissions(dir / "runtime", fs::perms::owner_all, fs::perm_options::replace);
        char today[16];
        const std::time_t now = std::time(nullptr);
        std::strftime(today, sizeof today, "%Y-%m-%d", std::localtime(&now));
        std::ofstream(dir / "config" / "xelt-ombrel-astrology.conf")
            << "[Settings]\nDuration=" << today << "\n";
    }
    ~Home() { fs::remove_all(dir); }
    std::vector<std::string> env(const std::string &display) const
    {
        // No session bus, so none is autolaunched for the private X server.
        return {"DISPLAY=" + display, "QT_QPA_PLATFORM=xcb",
                "XDG_CONFIG_HOME=" + (dir / "config").string(),
                "XDG_RUNTIME_DIR=" + (dir / "runtime").string(),
                "DBUS_SESSION_BUS_ADDRESS=unix:path=/nonexistent/bus"};
    }
};

struct Start {
    double mappedMs = 0, ms = 0; // ms: to the first frame drawn in full
    long peakKiB = 0;
    bool drawingSeen = false;
};

// A started program whose first window is up.
struct Launched {
    pid_t pid;
    Clock::time_point started;
    Shown shown;
};

Launched launch(XServer &x, const Home &home, const std::vector<std::string> &command)
{
    x.drain();
    const auto t0 = Clock::now();
    const pid_t pid = spawn(command, home.env(x.display()));
    const Shown shown = x.waitForShown(t0 + std::chrono::seconds(20));
    if (!shown.window) {
        stop(pid);
        throw std::runtime_error(command.front() + " showed no window");
    }
    return {pid, t0, shown};
}

// Starts `command`, times it to its window mapped and drawn, lets it settle,
// reads its peak memory.
Start startOnce(XServer &x, const std::vector<std::string> &command)
{
    Home home;
    const Launched l = launch(x, home, command);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    Start s{ms(l.shown.mapped - l.started), ms(l.shown.painted - l.started),
            procStatusKiB(l.pid, "VmHWM"), l.shown.drawingSeen};
    stop(l.pid);
    return s;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : (v[v.size() / 2] + v[(v.size() - 1) / 2]) / 2;
}

struct Samples {
    std::vector<double> mappedMs, ms, kib;
    int drawingMissed = 0;
    void add(const Start &s)
    {
        mappedMs.push_back(s.mappedMs);
        ms.push_back(s.ms);
        kib.push_back(double(s.peakKiB));
        drawingMissed += s.drawingSeen ? 0 : 1;
    }
};
struct Results {
    Samples program, replica, bare;
    Samples altO, click, floor; // the find command: ms from the input to the result window
} results;

XServer &server()
{
    static XServer x;
    return x;
}

// The face fontconfig puts in Verdana's place (Verdana itself where it is
// installed): what the program ends up drawing with, for the replica.
std::string verdanaStandIn()
{
    std::string family;
    if (FILE *p = popen("fc-match -f '%{family[0]}' Verdana 2>/dev/null", "r")) {
        char buf[256];
        while (fgets(buf, sizeof buf, p))
            family += buf;
        pclose(p);
    }
    return family.empty() ? "DejaVu Sans" : family;
}

// One iteration starts each of the three, in an order that rotates each
// time; the manual time is the program's.
void BM_StartupAlternating(benchmark::State &state)
{
    XServer &x = server();
    const std::vector<std::vector<std::string>> commands{
        {kProgram}, {kReplica, verdanaStandIn()}, {kBare}};
    Samples *samples[] = {&results.program, &results.replica, &results.bare};
    std::size_t first = 0;
    for (auto _ : state) {
        for (std::size_t k = 0; k < commands.size(); ++k) {
            const std::size_t which = (first + k) % commands.size();
            samples[which]->add(startOnce(x, commands[which]));
        }
        first = (first + 1) % commands.size();
        state.SetIterationTime(results.program.ms.back() / 1000.0);
    }
    state.counters["program_ms"] = median(results.program.ms);
    state.counters["replica_ms"] = median(results.replica.ms);
    state.counters["program_KiB"] = median(results.program.kib);
    state.counters["replica_KiB"] = median(results.replica.kib);
}
BENCHMARK(BM_StartupAlternating)->Iterations(21)->UseManualTime()->Unit(benchmark::kMillisecond);

enum class Trigger { AltO, Click };

// Starts `command`, enters the name "A" (the date lists stay on 1 January
// 1946) and runs the find command the way `how` says, with the pointer over
// the find button either way; times the input to the result window mapped
// and drawn.
Start findOnce(XServer &x, const std::vector<std::string> &command, Trigger how)
{
    using namespace std::chrono_literals;
    Home home;
    const Launched l = launch(x, home, command);
    x.focus(l.shown.window);
    // The find button's centre: the client area lies below the menu bar, and
    // the button at (40, 232, 401, 41) in it.
    const XServer::Rect main = x.geometry(l.shown.window);
    x.moveTo(main.x + 40 + 200, main.y + main.height - 337 + 232 + 20);
    x.key(XServer::kA, true);
    x.key(XServer::kA, false);
    x.flush();
    std::this_thread::sleep_for(300ms);
    x.drain();
    const auto t0 = Clock::now();
    if (how == Trigger::AltO) {
        x.key(XServer::kAltL, true);
        x.key(XServer::kO, true);
        x.key(XServer::kO, false);
        x.key(XServer::kAltL, false);
    } else {
        x.button(true);
        x.button(false);
    }
    x.flush();
    const Shown shown = x.waitForShown(t0 + 5s);
    const XServer::Rect result = shown.window ? x.geometry(shown.window) : XServer::Rect{};
    stop(l.pid);
    if (result.width != 481)
        throw std::runtime_error(command.front() + ": the find command showed no result window");
    return {ms(shown.mapped - t0), ms(shown.painted - t0), 0, shown.drawingSeen};
}

// One iteration runs each of the three, each in a fresh process, in an order
// that rotates each time; the manual time is Alt+O's.
void BM_FindAlternating(benchmark::State &state)
{
    XServer &x = server();
    struct Way {
        const char *exe;
        Trigger how;
        Samples *samples;
    };
    const Way ways[] = {{kProgram, Trigger::AltO, &results.altO},
                        {kProgram, Trigger::Click, &results.click},
                        {kPrebuilt, Trigger::Click, &results.floor}};
    std::size_t first = 0;
    for (auto _ : state) {
        for (std::size_t k = 0; k < std::size(ways); ++k) {
            const Way &w = ways[(first + k) % std::size(ways)];
            w.samples->add(findOnce(x, {w.exe}, w.how));
        }
        first = (first + 1) % std::size(ways);
        state.SetIterationTime(results.altO.ms.back() / 1000.0);
    }
    state.counters["altO_ms"] = median(results.altO.ms);
    state.counters["click_ms"] = median(results.click.ms);
    state.counters["floor_ms"] = median(results.floor.ms);
}
BENCHMARK(BM_FindAlternating)->Iterations(21)->UseManualTime()->Unit(benchmark::kMillisecond);

// Ten seconds with the window open, focused and left alone, after six seconds
// to settle (the program's caret blinks for five seconds after the last input).
Usage idle(XServer &x, const char *exe)
{
    Home home;
    const Launched l = launch(x, home, {exe});
    x.focus(l.shown.window);
    std::this_thread::sleep_for(std::chrono::seconds(6));
    const Usage before = usage(l.pid);
    std::this_thread::sleep_for(std::chrono::seconds(10));
    const Usage after = usage(l.pid);
    stop(l.pid);
    return {after.cpuMs - before.cpuMs, after.wakeups - before.wakeups};
}

int missed(std::initializer_list<const Samples *> all)
{
    int n = 0;
    for (const Samples *s : all)
        n += s->drawingMissed;
    return n;
}

void printFind(const Results &r)
{
    if (r.altO.ms.empty())
        return;
    const double a = median(r.altO.ms), c = median(r.click.ms), f = median(r.floor.ms);
    std::printf("\nthe find command, input to the result window drawn, median of %zu runs each, "
                "alternating:\n",
                r.altO.ms.size());
    std::printf("  Alt+O %.1f ms, click %.1f ms; floor (a click showing a result window built "
                "beforehand) %.1f ms\n",
                a, c, f);
    std::printf("  Alt+O / click %.2f (goal: within 1.3); Alt+O / floor %.2f, click / floor %.2f "
                "(goal: within 1.5)\n",
                a / c, a / f, c / f);
    std::printf("  to the result window mapped: Alt+O %.1f ms, click %.1f ms, floor %.1f ms\n",
                median(r.altO.mappedMs), median(r.click.mappedMs), median(r.floor.mappedMs));
    if (const int n = missed({&r.altO, &r.click, &r.floor}))
        std::printf("  (%d result windows drew before they could be watched; counted as drawn "
                    "when mapped)\n",
                    n);
}

void printStartup(const Results &r)
{
    if (r.program.ms.empty())
        return;
    const auto line = [](const char *what, const std::vector<double> &program,
                         const std::vector<double> &replica, const std::vector<double> &bare,
                         const char *unit, const char *goal) {
        const double p = median(program), c = median(replica), b = median(bare);
        const int decimals = std::strcmp(unit, "ms") == 0 ? 1 : 0;
        std::printf("  %-22s program %.*f %s, replica %.*f %s: ratio %.2f (goal: within %s);"
                    " bare window %.*f %s: ratio %.2f\n",
                    what, decimals, p, unit, decimals, c, unit, p / c, goal, decimals, b, unit,
                    p / b);
    };
    std::printf("\nstart-up, median of %zu runs each, alternating (replica: the main window's "
                "widgets, texts, colours and fonts, and nothing else):\n",
                r.program.ms.size());
    line("time to window drawn:", r.program.ms, r.replica.ms, r.bare.ms, "ms", "1.05");
    line("time to window mapped:", r.program.mappedMs, r.replica.mappedMs, r.bare.mappedMs, "ms",
         "1.05");
    line("peak memory:", r.program.kib, r.replica.kib, r.bare.kib, "KiB", "1.03");
    if (const int n = missed({&r.program, &r.replica, &r.bare}))
        std::printf(
            "  (%d starts drew before they could be watched; counted as drawn when mapped)\n", n);
}
} // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    printFind(results);
    printStartup(results);
    if (!std::getenv("XELT_BENCH_NO_IDLE")) {
        const Usage program = idle(server(), kProgram);
        const Usage bare = idle(server(), kBare);
        std::printf("\nidle, 10 s with the window open and focused, 6 s after the last input "
                    "(goal: 0 and 0):\n");
        std::printf(
            "  program: %.0f ms CPU, %ld wake-ups; bare window: %.0f ms CPU, %ld wake-ups\n",
            program.cpuMs, program.wakeups, bare.cpuMs, bare.wakeups);
    }
    benchmark::Shutdown();
    return 0;
}
