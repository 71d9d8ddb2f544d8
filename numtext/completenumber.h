#pragma once

#include <optional>
#include <string_view>

namespace dorvent {

/// Reads a cell of a table of our own, which must not guess: the whole text is one decimal
/// number, or it is none.
/// - Blanks around the number are ignored, none inside it.
/// - Full-width characters, as Chinese input methods type them, count as their ASCII forms
///   ("１２００", "－５", "０．５").
/// - Commas between groups of three digits are thousands separators ("1,200", "12,345.5").
/// - An exponent is introduced by E or e ("1.5e3").
/// Anything else is no number: "8,5", "14。5", "30t", "abc", "1e", "inf", and the empty text.
std::optional<double> readCompleteNumber(std::string_view text);

}  // namespace dorvent
