#pragma once
// What a data folder holds, for comparing it before and after a run: every
// data file of the installation by name, a table by its rows (read with
// SQLite directly, in stored order), a text file by its bytes.

#include <map>
#include <string>

namespace mvz::test {

using DataState = std::map<std::string, std::string>;

DataState dataState(const std::string& dir);
// The rows of one table file as text; "(unreadable: why)" when SQLite cannot read it.
std::string tableRows(const std::string& path);
// "ok" when SQLite's integrity check passes, else what it says.
std::string integrity(const std::string& path);

} // namespace mvz::test
