#pragma once

namespace drvsweep::win32 {

// The program's choice between its window and its command line. With arguments it runs the
// command line over the real Windows and stores its exit code; with none, where no one could
// see a window (a window station that is not visible, as in session 0), it stores 1459. True
// in both cases: the program then ends with the code and never shows a window. False when the
// window should open.
bool RunWithoutWindow(const char* arguments, int* exitCode);

}  // namespace drvsweep::win32
