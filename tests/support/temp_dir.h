#pragma once
// A fresh folder per test, removed afterwards.

#include <filesystem>
#include <string>

namespace mvz::test {

class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::string str() const { return path_.string(); }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

  private:
    std::filesystem::path path_;
};

// The whole content of a file ("" when it cannot be read).
std::string slurp(const std::string& path);

} // namespace mvz::test
