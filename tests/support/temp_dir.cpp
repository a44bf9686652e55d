#include "support/temp_dir.h"

#include <fstream>
#include <sstream>
#include <stdexcept>
#include <stdlib.h>

namespace mvz::test {

TempDir::TempDir() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "mvz-test-XXXXXX").string();
    if (!mkdtemp(tmpl.data())) throw std::runtime_error("cannot create a temporary folder");
    path_ = tmpl;
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(path_, ec);
}

std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

} // namespace mvz::test
