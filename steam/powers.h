#pragma once

#include <array>

namespace dorvent {

/// x^e for 0 <= e <= 63, formed as (x^8)^(e/8) · x^(e%8) from two tables of eight, so that a
/// sum over a coefficient table costs one product per power instead of a call of pow.
class Powers {
public:
    static constexpr int highest = 63;

    explicit Powers(double x)
    {
        low_[0] = 1.0;
        low_[1] = x;
        for (int k = 2; k < 8; ++k) low_[k] = low_[k / 2] * low_[k - k / 2];
        high_[0] = 1.0;
        high_[1] = low_[4] * low_[4];
        for (int k = 2; k < 8; ++k) high_[k] = high_[k / 2] * high_[k - k / 2];
    }

    double operator[](int e) const { return high_[static_cast<unsigned>(e) >> 3] * low_[e & 7]; }

private:
    std::array<double, 8> low_{};   // x^0 ... x^7
    std::array<double, 8> high_{};  // x^0, x^8, ... x^56
};

/// x^e for any integer e, by repeated squaring.
constexpr double integerPower(double x, int e)
{
    if (e < 0) return 1.0 / integerPower(x, -e);
    double result = 1.0;
    for (double square = x; e > 0; e /= 2, square *= square) {
        if (e % 2 == 1) result *= square;
    }
    return result;
}

}  // namespace dorvent
