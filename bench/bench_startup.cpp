// Start-up of the desktop program: the time from starting the process until
// the main frame has been painted, against a minimal Qt program that paints a
// table (this benchmark started again with --baseline-child). Both run on the
// same Qt platform (offscreen unless QT_QPA_PLATFORM says otherwise) and on
// a fresh demo data directory; each is started several times and the median
// counts.
//
//   bench_startup [--runs N]      (MVZ_BINARY names the program to start)

#include <QApplication>
#include <QTableWidget>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "shell/first_paint_watch.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

int baselineChild(int argc, char** argv) {
    QApplication app(argc, argv);
    QTableWidget table(30, 5);
    for (int r = 0; r < 30; ++r)
        for (int c = 0; c < 5; ++c)
            table.setItem(r, c, new QTableWidgetItem(QStringLiteral("%1-%2").arg(r).arg(c)));
    table.resize(640, 480);
    new mvz::FirstPaintWatch(&table);
    table.show();
    return app.exec();
}

// Where the started programs' warnings go; shown when a start fails.
std::string errorLog;

// Starts argv, waits for the line "painted" on its standard output and for
// its end; the milliseconds until the line, or -1 when it never came.
double timeToPaint(const std::vector<std::string>& args) {
    int out[2];
    if (pipe(out) != 0) return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errorLog.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    std::vector<char*> argv;
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const Clock::time_point start = Clock::now();
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    double ms = -1;
    if (spawned == 0) {
        std::string seen;
        char buf[256];
        ssize_t n;
        while (ms < 0 && (n = read(out[0], buf, sizeof buf)) > 0) {
            seen.append(buf, static_cast<std::size_t>(n));
            if (seen.find("painted") != std::string::npos)
                ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        }
        while (read(out[0], buf, sizeof buf) > 0) {
        }
        int status = 0;
        waitpid(pid, &status, 0);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) ms = -1;
    }
    close(out[0]);
    return ms;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

int run(const std::string& self, const std::string& mvz, int runs) {
    const fs::path dir =
        fs::temp_directory_path() / ("mvz-bench-startup-" + std::to_string(getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    const std::string data = (dir / "demo-data").string();
    const std::string init = "'" + mvz + "' --data '" + data + "' init --demo >/dev/null";
    if (std::system(init.c_str()) != 0) {
        std::fprintf(stderr, "bench_startup: cannot make demo data with %s\n", mvz.c_str());
        return 1;
    }
    errorLog = (dir / "stderr.txt").string();
    const std::vector<std::string> baseline = {self, "--baseline-child"};
    const std::vector<std::string> program = {mvz, "--data", data};

    std::vector<double> base, frame;
    bool failed = false;
    // One start of each first, so that both find the libraries in the cache.
    for (int i = -1; i < runs && !failed; ++i) {
        const double b = timeToPaint(baseline);
        const double f = timeToPaint(program);
        failed = b < 0 || f < 0;
        if (i >= 0) {
            base.push_back(b);
            frame.push_back(f);
        }
    }
    if (failed) {
        std::fprintf(stderr, "bench_startup: a program did not report its first paint\n");
        const std::string show = "cat '" + errorLog + "' >&2";
        std::system(show.c_str());
    }
    fs::remove_all(dir);
    if (failed) return 1;
    const double b = median(base), f = median(frame);
    std::printf("start-up: process start to the first paint (%d starts each, median; "
                "platform %s)\n",
                runs, std::getenv("QT_QPA_PLATFORM"));
    std::printf("  minimal Qt program painting a table (baseline): %7.1f ms\n", b);
    std::printf("  main frame on the demo data:                     %7.1f ms  (%.1fx the "
                "baseline; goal under 300 ms: %s)\n",
                f, f / b, f < 300 ? "met" : "MISSED");
    return f < 300 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--baseline-child") == 0) return baselineChild(argc, argv);
    int runs = 11;
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], "--runs") == 0) runs = std::max(1, std::atoi(argv[i + 1]));

    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("MVZ_MEASURE_START", "1", 1);
    if (!std::getenv("XDG_RUNTIME_DIR")) {
        const fs::path runtime =
            fs::temp_directory_path() / ("mvz-xdg-" + std::to_string(getuid()));
        fs::create_directories(runtime);
        fs::permissions(runtime, fs::perms::owner_all, fs::perm_options::replace);
        setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    }
    const std::string self = fs::canonical("/proc/self/exe").string();
    std::string mvz;
    if (const char* given = std::getenv("MVZ_BINARY"))
        mvz = fs::absolute(given).string();
    else
        mvz = (fs::path(self).parent_path().parent_path() / "src" / "cli" / "mvz").string();
    if (!fs::exists(mvz)) {
        std::fprintf(stderr, "bench_startup: %s is missing (build it, or set MVZ_BINARY)\n",
                     mvz.c_str());
        return 2;
    }
    return run(self, mvz, runs);
}
