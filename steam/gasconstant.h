#pragma once

namespace dorvent {

/// Specific gas constant of water, 0.461526 kJ/(kg·K), held in single precision: every
/// product uses 0.46152600646018982, so results lie 1.4e-8 of their value above the
/// double-precision ones, far below the last displayed digit.
inline constexpr float R = 0.461526f;

}  // namespace dorvent
