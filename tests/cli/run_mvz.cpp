#include "cli/run_mvz.h"

#include <cstdio>
#include <fstream>
#include <sstream>
#include <sys/wait.h>

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

MvzRun runMvz(const std::string& dataDir, const std::vector<std::string>& args) {
    TempDir scratch;
    const std::string errFile = scratch.file("stderr");
    std::string command = quoted(MVZ_BINARY);
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
    run.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::ifstream in(errFile, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    run.err = s.str();
    return run;
}

} // namespace mvz::test
