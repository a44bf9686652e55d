#include "cli/run_mvz.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

#include "support/temp_dir.h"

namespace mvz::test {

namespace {

std::string quoted(const std::string& arg) {
    std::string out = "'";
    for (char c : arg) {
        if (c == '\'')
            out += "'\\''";
        else
            out += c;
    }
    return out + "'";
}

} // namespace

MvzRun runMvz(const std::string& dataDir, const std::vector<std::string>& args,
              const std::vector<std::string>& env) {
    TempDir scratch;
    const std::string errFile = scratch.file("stderr");
    std::string command = "exec env";
    for (const auto& e : env)
        command += " " + quoted(e);
    command += " timeout -s KILL 120 " + quoted(MVZ_BINARY);
    if (!dataDir.empty()) command += " --data " + quoted(dataDir);
    for (const auto& a : args)
        command += " " + quoted(a);
    command += " 2>" + quoted(errFile);

    MvzRun run;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return run;
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, pipe)) > 0)
        run.out.append(buf, n);
    const int status = ::pclose(pipe);
    run.code = WIFEXITED(status) ? WEXITSTATUS(status)
                                 : (WIFSIGNALED(status) ? 128 + WTERMSIG(status) : -1);
    std::ifstream in(errFile, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    run.err = s.str();
    return run;
}

MvzChild::MvzChild(const std::string& dataDir, const std::vector<std::string>& args,
                   const std::vector<std::string>& env) {
    char pattern[] = "/tmp/mvz-child-XXXXXX";
    const char* dir = ::mkdtemp(pattern);
    outFile_ = std::string(dir ? dir : "/tmp") + "/stdout";
    errFile_ = std::string(dir ? dir : "/tmp") + "/stderr";
    std::vector<std::string> argv = {MVZ_BINARY};
    if (!dataDir.empty()) {
        argv.push_back("--data");
        argv.push_back(dataDir);
    }
    argv.insert(argv.end(), args.begin(), args.end());
    pid_ = ::fork();
    if (pid_ == 0) {
        for (const auto& e : env)
            ::putenv(const_cast<char*>(e.c_str()));
        const int out = ::open(outFile_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int err = ::open(errFile_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::dup2(out, 1);
        ::dup2(err, 2);
        std::vector<char*> raw;
        for (auto& a : argv)
            raw.push_back(a.data());
        raw.push_back(nullptr);
        ::execv(raw[0], raw.data());
        ::_exit(127);
    }
}

MvzChild::~MvzChild() {
    if (pid_ > 0 && !ended_) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, &status_, 0);
    }
    std::filesystem::remove_all(std::filesystem::path(outFile_).parent_path());
}

bool MvzChild::waitStopped() {
    if (ended_) return false;
    ::waitpid(pid_, &status_, WUNTRACED);
    if (WIFSTOPPED(status_)) return true;
    ended_ = true;
    return false;
}

void MvzChild::signal(int number) {
    if (!ended_) ::kill(pid_, number);
}

MvzRun MvzChild::finish() {
    if (!ended_) {
        while (::waitpid(pid_, &status_, 0) > 0 && WIFSTOPPED(status_)) {
        }
        ended_ = true;
    }
    MvzRun run;
    run.code = WIFEXITED(status_) ? WEXITSTATUS(status_)
                                  : (WIFSIGNALED(status_) ? 128 + WTERMSIG(status_) : -1);
    run.out = slurp(outFile_);
    run.err = slurp(errFile_);
    return run;
}

} // namespace mvz::test
