#pragma once

#include <string>

namespace drvsweep {

// The SHA-256 digest of the bytes (FIPS 180-4), as 64 lower-case hex digits: what a backup's
// manifest records of each file, so that a changed backup is never put back.
std::string Sha256Hex(const std::string& bytes);

}  // namespace drvsweep
