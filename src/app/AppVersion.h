#pragma once

namespace trekora {
inline constexpr const char* kAppTitle = "Trekora";
inline constexpr int kVersionMajor = 0;
inline constexpr int kVersionMinor = 1;
inline constexpr int kVersionRevision = 0;
} // namespace trekora
