#pragma once

#include <string_view>

namespace dorvent {

/// Reads the number that a user typed, the way every box of the program reads it:
/// - blanks, tabs and line feeds anywhere in the text are ignored (" 1 2" reads 12);
/// - the longest leading decimal number counts: optional sign, digits with '.' as the
///   decimal point in every locale, optional exponent introduced by E or D in either case;
///   anything after it is ignored ("1D3" reads 1000, "1e" reads 1, ".5e1x" reads 5);
/// - a text without such a leading number reads 0 ("abc", "&H10", "nan", "inf");
/// - a number beyond the double range reads as plus or minus infinity, one too small for it
///   as zero, so that every consumer meets an out-of-range value, never a crash.
double readNumber(std::string_view text);

}  // namespace dorvent
