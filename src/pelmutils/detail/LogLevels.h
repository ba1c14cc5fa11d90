// Reading the PELM_LOG_LEVEL setting into a level table. Internal to the utility layer;
// exported only so that its tests can reach it. Pure function, safe from any thread.
#pragma once

#include <array>

#include "PelmUtils.h"

namespace PelmUtil::detail {

using LevelTable = std::array<TLogLevel, CLog::kSubsystems>;

// The table that text describes: "subsystem=level" pairs separated by commas, e.g. "3=5,0=1".
// Subsystems not named log errors only (1). Pairs that are malformed, negative, out of range
// or name a subsystem outside the table are skipped; the others still apply.
PELM_API LevelTable ParseLogLevels(const char* text);

}  // namespace PelmUtil::detail
