// The version of the programs, as their --version and their records say it.
#pragma once

namespace varno {

inline constexpr const char* kProgramVersion = "2.0.0";

}  // namespace varno
