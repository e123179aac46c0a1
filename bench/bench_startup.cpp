// Start-up of the program against a bare Qt Widgets window of the same size:
// time from process start to the window being drawn (and, apart, mapped), and
// peak resident memory, under one private X server with the xcb plug-in, runs
// alternating.
// Then idle: CPU time and wake-ups of each over ten seconds with no input.
// Linux only (X server, /proc); run through `make bench`.
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

extern char **environ;

namespace {
using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

const char *kProgram = XELT_PROGRAM;
const char *kBare = XELT_BARE_WINDOW;

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
        if (poll(&p, 1, 20000) <= 0 || read(fds[0], buf, sizeof buf - 1) <= 0)
            throw std::runtime_error("Xvfb did not start");
        close(fds[0]);
        m_display = ":" + std::string(buf, strcspn(buf, "\n"));
        m_conn = xcb_connect(m_display.c_str(), nullptr);
        if (xcb_connection_has_error(m_conn))
            throw std::runtime_error("cannot connect to " + m_display);
        m_root = xcb_setup_roots_iterator(xcb_get_setup(m_conn)).data->root;
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
struct Home {
    fs::path dir;
    Home()
    {
        char tmpl[] = "/tmp/xelt-bench-XXXXXX";
        dir = mkdtemp(tmpl);
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
    const auto ms = [](Clock::duration d) {
        return std::chrono::duration<double, std::milli>(d).count();
    };
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
    Samples program, bare, text;
} results;

XServer &server()
{
    static XServer x;
    return x;
}

// One iteration starts each of the three, in an order that rotates each
// time; the manual time is the program's.
void BM_StartupAlternating(benchmark::State &state)
{
    XServer &x = server();
    const std::vector<std::vector<std::string>> commands{{kProgram}, {kBare}, {kBare, "--text"}};
    Samples *samples[] = {&results.program, &results.bare, &results.text};
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
    state.counters["bare_ms"] = median(results.bare.ms);
    state.counters["program_KiB"] = median(results.program.kib);
    state.counters["bare_KiB"] = median(results.bare.kib);
}
BENCHMARK(BM_StartupAlternating)->Iterations(21)->UseManualTime()->Unit(benchmark::kMillisecond);

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
} // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    const Results &r = results;
    if (!r.program.ms.empty()) {
        const auto line = [](const char *what, const std::vector<double> &program,
                             const std::vector<double> &bare, const std::vector<double> &text,
                             const char *unit, const char *goal) {
            const double p = median(program), b = median(bare), t = median(text);
            const int decimals = std::strcmp(unit, "ms") == 0 ? 1 : 0;
            std::printf(
                "  %-23s program %.*f %s, bare window %.*f %s: ratio %.2f (goal: within %s);"
                " one line of text %.*f %s (ratio %.2f)\n",
                what, decimals, p, unit, decimals, b, unit, p / b, goal, decimals, t, unit, p / t);
        };
        std::printf(
            "\nstart-up, median of %zu runs each, alternating (the reference: a bare window "
            "showing one line of text):\n",
            r.program.ms.size());
        line("time to window drawn:", r.program.ms, r.bare.ms, r.text.ms, "ms", "1.15");
        line("time to window mapped:", r.program.mappedMs, r.bare.mappedMs, r.text.mappedMs, "ms",
             "1.15");
        line("peak memory:", r.program.kib, r.bare.kib, r.text.kib, "KiB", "1.10");
        const int missed = r.program.drawingMissed + r.bare.drawingMissed + r.text.drawingMissed;
        if (missed)
            std::printf(
                "  (%d starts drew before they could be watched; counted as drawn when mapped)\n",
                missed);
    }
    if (!std::getenv("XELT_BENCH_NO_IDLE")) {
        const Usage program = idle(server(), kProgram);
        const Usage bare = idle(server(), kBare);
        std::printf("idle, 10 s with the window open and focused, 6 s after the last input:\n");
        std::printf(
            "  program: %.0f ms CPU, %ld wake-ups; bare window: %.0f ms CPU, %ld wake-ups\n",
            program.cpuMs, program.wakeups, bare.cpuMs, bare.wakeups);
    }
    benchmark::Shutdown();
    return 0;
}
