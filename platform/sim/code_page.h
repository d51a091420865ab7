#pragma once

#include <string>

namespace drvsweep::sim {

// Converts UTF-16LE bytes to the simulated ANSI code page, 1252, as WideCharToMultiByte does
// with no best-fit mapping: every UTF-16 unit outside the code page becomes '?'. A trailing odd
// byte is dropped.
std::string Utf16LeToAnsi(const std::string& bytes);

}  // namespace drvsweep::sim
