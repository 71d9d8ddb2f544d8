#pragma once

namespace dorvent {

/// value in single precision; beyond the float range it becomes plus or minus infinity
/// (a plain conversion of such a value is undefined behaviour).
float toSinglePrecision(double value);

/// value rounded to the given number of decimals exactly as formatFixed writes it, read back:
/// the decimal number that the pattern "0.000" shows, for decimals = 3. Finite values only.
double roundDecimal(double value, int decimals);

}  // namespace dorvent
