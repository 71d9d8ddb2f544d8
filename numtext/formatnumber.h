#pragma once

#include <string>

namespace dorvent {

/// Fixed-point text with the given number of decimals, as the patterns "0.00" (2),
/// "0.000" (3) and "0.000000" (6) write it: halves rounded away from zero, at least one
/// digit before the point, no digit grouping, '.' as the point in every locale.
/// The half is judged on the value's 15-significant-digit decimal text, so 2.0005 gives
/// "2.001" and 0.125 gives "0.13"; a value that rounds to zero has no minus sign.
/// Total: infinities and NaN give "inf", "-inf" and "nan", which callers keep out of result boxes.
std::string formatFixed(double value, int decimals);

/// The shortest decimal text that reads back as the same single-precision value (2.01, 18, 0).
std::string formatShortest(float value);
/// The shortest decimal text that reads back as the same double, never in exponent form
/// (0.00001, 100000). Finite values only.
std::string formatShortest(double value);

/// value with three decimals, or as many more (up to nine) as it takes to print it on its side of
/// limit: 1.1996 for 1.19964 against 1.2, which three decimals would print as 1.200.
std::string apartFrom(double value, double limit);

}  // namespace dorvent
