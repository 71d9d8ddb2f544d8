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

/// Terms go round up to eight partial sums: an addition waits for the one before it on the
/// same sum, so one sum over 43 terms would be a chain of 43 additions; eight short chains overlap.
template <std::size_t N>
inline constexpr std::size_t partialSums = N < 8 ? N : 8;

/// The three derivatives at a and b in one pass over the terms:
///   g_a = b^2 Σ nI a^(I-1) b^(J-2),  g_b = a b Σ nJ a^(I-1) b^(J-2),  g_bb = a Σ nJJ a^(I-1) b^(J-2)
/// The table is a template argument, so that the loop unrolls with every exponent known when
/// compiling: each term costs its products and additions, no index arithmetic.
template <const auto& sum>
GibbsDerivatives gibbsDerivatives(double a, double b)
{
    constexpr std::size_t K = partialSums<sum.terms.size()>;
    const Powers powersOfA(a);
    const Powers powersOfB(b);
    double sumA[K] = {};
    double sumB[K] = {};
    double sumBB[K] = {};
#pragma GCC unroll 64
    for (std::size_t i = 0; i < sum.terms.size(); ++i) {
        const PreparedTerm& t = sum.terms[i];
        const double power = powersOfA[t.powerOfA] * powersOfB[t.powerOfB];
        sumA[i % K] += t.nI * power;
        sumB[i % K] += t.nJ * power;
        sumBB[i % K] += t.nJJ * power;
    }
    for (std::size_t k = 1; k < K; ++k) {
        sumA[0] += sumA[k];
        sumB[0] += sumB[k];
        sumBB[0] += sumBB[k];
    }
    const double lowest = integerPower(a, sum.lowestPowerOfA) * integerPower(b, sum.lowestPowerOfB);
    return {b * b * lowest * sumA[0], a * b * lowest * sumB[0], a * lowest * sumBB[0]};
}

/// The same for a sum over b alone (an ideal-gas part, whose a-powers are all 1): g_b and g_bb.
template <const auto& sum>
GibbsDerivatives gibbsDerivatives(double b)
{
    constexpr std::size_t K = partialSums<sum.terms.size()>;
    const Powers powersOfB(b);
    double sumB[K] = {};
    double sumBB[K] = {};
#pragma GCC unroll 64
    for (std::size_t i = 0; i < sum.terms.size(); ++i) {
        const PreparedTerm& t = sum.terms[i];
        const double power = powersOfB[t.powerOfB];
        sumB[i % K] += t.nJ * power;
        sumBB[i % K] += t.nJJ * power;
    }
    for (std::size_t k = 1; k < K; ++k) {
        sumB[0] += sumB[k];
        sumBB[0] += sumBB[k];
    }
    const double lowest = integerPower(b, sum.lowestPowerOfB);
    return {0.0, b * lowest * sumB[0], lowest * sumBB[0]};
}

}  // namespace dorvent
