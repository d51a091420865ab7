#pragma once

// The one header of the project that includes <windows.h>. The lean set leaves out what the
// backend never uses, and NOMINMAX keeps min/max from becoming macros that break <algorithm>.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif

#include <windows.h>

// winuser.h still defines the 16-bit ExitWindows(reserved, code) as a macro, which would
// rewrite ProgramsAndPower::ExitWindows wherever this header is seen.
#undef ExitWindows

// The Setup API and shell headers need the base Windows types declared first.
#include <setupapi.h>
#include <shellapi.h>
