#pragma once

#include <array>
#include <cstddef>

#include "steam/powers.h"

namespace dorvent {

/// The derivatives of a dimensionless Gibbs free energy sum  g = Σ n a^I b^J  that the property
/// routines need: g_a = Σ n I a^(I-1) b^J, g_b = Σ n J a^I b^(J-1), g_bb = Σ n J(J-1) a^I b^(J-2).
struct GibbsDerivatives {
    double a;
    double b;
    double bb;
};

/// One term of a coefficient table, prepared at compile time for summing the three derivatives
/// in one pass: each derivative is a common factor times  Σ factor · a^(I-1) b^(J-2), and the
/// powers are counted from the lowest of the table, so that none is negative.
struct PreparedTerm {
    int powerOfA;  // I-1 less the lowest I-1 of the table
    int powerOfB;  // J-2 less the lowest J-2 of the table
    double nI;     // n·I
    double nJ;     // n·J
    double nJJ;    // n·J·(J-1)
};

template <std::size_t N>
struct PreparedSum {
    std::array<PreparedTerm, N> terms;
    int lowestPowerOfA;   // lowest I-1
    int lowestPowerOfB;   // lowest J-2
};

/// The exponent I of a row; an ideal-gas row (J and n only) is a sum over b alone, taken here
/// as a^1 so that its a-power a^(I-1) is 1.
template <typename Term>
constexpr int exponentI(const Term& t)
{
    if constexpr (requires { t.I; }) {
        return t.I;
    } else {
        return 1;
    }
}

/// Prepares a coefficient table (rows with members I, J and n, or J and n, in the standard's
/// order); the table itself stays as the standard prints it.
template <typename Term, std::size_t N>
constexpr PreparedSum<N> prepare(const Term (&terms)[N])
{
    PreparedSum<N> sum{};
    sum.lowestPowerOfA = exponentI(terms[0]) - 1;
    sum.lowestPowerOfB = terms[0].J - 2;
    for (const Term& t : terms) {
        sum.lowestPowerOfA = exponentI(t) - 1 < sum.lowestPowerOfA ? exponentI(t) - 1 : sum.lowestPowerOfA;
        sum.lowestPowerOfB = t.J - 2 < sum.lowestPowerOfB ? t.J - 2 : sum.lowestPowerOfB;
    }
    for (std::size_t i = 0; i < N; ++i) {
        const Term& t = terms[i];
        const int I = exponentI(t);
        const int powerOfA = I - 1 - sum.lowestPowerOfA;
        const int powerOfB = t.J - 2 - sum.lowestPowerOfB;
        sum.terms[i] = {powerOfA, powerOfB, t.n * I, t.n * t.J, t.n * t.J * (t.J - 1)};
        if (powerOfA > Powers::highest || powerOfB > Powers::highest) throw "exponents span too wide a range";
    }
    return sum;
}

/// The three derivatives at a and b in one pass over the terms:
///   g_a = b^2 Σ nI a^(I-1) b^(J-2),  g_b = a b Σ nJ a^(I-1) b^(J-2),  g_bb = a Σ nJJ a^(I-1) b^(J-2)
template <std::size_t N>
GibbsDerivatives gibbsDerivatives(const PreparedSum<N>& sum, double a, double b)
{
    const Powers powersOfA(a);
    const Powers powersOfB(b);
    double sumA = 0.0;
    double sumB = 0.0;
    double sumBB = 0.0;
    for (const PreparedTerm& t : sum.terms) {
        const double power = powersOfA[t.powerOfA] * powersOfB[t.powerOfB];
        sumA += t.nI * power;
        sumB += t.nJ * power;
        sumBB += t.nJJ * power;
    }
    const double lowest = integerPower(a, sum.lowestPowerOfA) * integerPower(b, sum.lowestPowerOfB);
    return {b * b * lowest * sumA, a * b * lowest * sumB, a * lowest * sumBB};
}

/// The same for a sum over b alone (an ideal-gas part, whose a-powers are all 1): g_b and g_bb.
template <std::size_t N>
GibbsDerivatives gibbsDerivatives(const PreparedSum<N>& sum, double b)
{
    const Powers powersOfB(b);
    double sumB = 0.0;
    double sumBB = 0.0;
    for (const PreparedTerm& t : sum.terms) {
        const double power = powersOfB[t.powerOfB];
        sumB += t.nJ * power;
        sumBB += t.nJJ * power;
    }
    const double lowest = integerPower(b, sum.lowestPowerOfB);
    return {0.0, b * lowest * sumB, lowest * sumBB};
}

}  // namespace dorvent
