// The command-line tests use the shared temporary folders of tests/support;
// their one source file is compiled in here, as this test program takes only
// the files of this folder.
#include "support/temp_dir.cpp"
