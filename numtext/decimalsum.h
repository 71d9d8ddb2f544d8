#pragma once

namespace dorvent {

/// The sum of two numbers as a person adds their decimal texts: 0.1 + 0.2 gives the double that
/// reads "0.3", not 0.30000000000000004, so that a long sum of typed flows reads as the sum written
/// by hand. Each value is taken as its shortest decimal text; where that has more than nine
/// decimals, or the sum more digits than a double holds exactly, the sum is the plain one.
double addDecimals(double a, double b);

}  // namespace dorvent
