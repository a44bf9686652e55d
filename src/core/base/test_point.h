#pragma once
// Named points between the steps of a run at which a test can stop or kill
// the process, standing in for a debugger or a power cut. Nothing happens
// unless MVZ_TEST_POINT names the point:
//
//   MVZ_TEST_POINT=form-file-in-place          the process is killed there (SIGKILL)
//   MVZ_TEST_POINT=form-file-in-place:stop     it stops (SIGSTOP) until continued
//   MVZ_TEST_POINT=check-reading:interrupt     it gets SIGINT, as from Ctrl-C
//
// Each point acts once per process.

namespace mvz {

void testPoint(const char* name);

} // namespace mvz
