#pragma once

#include <optional>

namespace dorvent::insulation {

/// How the pipe runs through the year: the two columns of GB 50264-2013 Appendix B.
enum class Operation { yearRound, seasonal };

/// The greatest heat loss Q [W/m²] Appendix B allows at a medium temperature T0 [℃], linearly
/// interpolated between the table's rows; none outside the rows this program holds (the user
/// may type the allowed Q instead).
std::optional<double> allowedHeatLoss(double medium, Operation operation);

}  // namespace dorvent::insulation
