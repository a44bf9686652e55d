#pragma once
// Runs the built `mvz` program (MVZ_BINARY) the way a user does and collects
// its exit code and output.

#include <string>
#include <vector>

namespace mvz::test {

struct MvzRun {
    int code = -1;
    std::string out; // stdout
    std::string err; // stderr
};

// Runs `mvz --data DIR ARGS...`; each argument is passed as it is (quoted for
// the shell). An empty dataDir leaves out --data. `env` adds NAME=VALUE
// settings to the program's environment (such as MVZ_TEST_POINT). A run is
// killed after two minutes, so a program that waits for ever fails its test.
// `code` is the exit code, or 128 + the signal that ended the program.
MvzRun runMvz(const std::string& dataDir, const std::vector<std::string>& args,
              const std::vector<std::string>& env = {});

// `mvz` running beside the test, for runs that a test stops at a test point
// (MVZ_TEST_POINT=NAME:stop), lets another run meet, and then continues.
class MvzChild {
  public:
    MvzChild(const std::string& dataDir, const std::vector<std::string>& args,
             const std::vector<std::string>& env);
    ~MvzChild();
    MvzChild(const MvzChild&) = delete;
    MvzChild& operator=(const MvzChild&) = delete;

    // Waits until the program stops (true) or ends (false).
    bool waitStopped();
    // Sends the signal (SIGCONT continues a stopped program).
    void signal(int number);
    // Waits for the end; the exit code, or 128 + the ending signal.
    MvzRun finish();
    int pid() const { return pid_; }

  private:
    int pid_ = -1;
    std::string outFile_, errFile_;
    bool ended_ = false;
    int status_ = 0;
};

} // namespace mvz::test
