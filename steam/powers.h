#pragma once

#include <array>

namespace dorvent {

/// x^k for every integer k from lowest to highest, so that a sum over a coefficient table
/// reads its powers instead of calling pow for each term.
template <int lowest, int highest>
class Powers {
    static_assert(lowest <= 0 && highest >= 0);

public:
    explicit Powers(double x)
    {
        at(0) = 1.0;
        if constexpr (highest >= 1) at(1) = x;
        if constexpr (lowest <= -1) at(-1) = 1.0 / x;
        // Splitting k in halves keeps the chains of dependent products short.
        for (int k = 2; k <= highest; ++k) at(k) = at(k / 2) * at(k - k / 2);
        for (int k = 2; k <= -lowest; ++k) at(-k) = at(-(k / 2)) * at(-(k - k / 2));
    }

    double operator[](int k) const { return values_[static_cast<std::size_t>(k - lowest)]; }

private:
    double& at(int k) { return values_[static_cast<std::size_t>(k - lowest)]; }

    std::array<double, highest - lowest + 1> values_{};
};

/// Smallest and largest of one exponent column of a coefficient table.
template <typename Table, typename Member>
constexpr int lowestOf(const Table& table, Member member)
{
    int value = table[0].*member;
    for (const auto& row : table) value = row.*member < value ? row.*member : value;
    return value;
}

template <typename Table, typename Member>
constexpr int highestOf(const Table& table, Member member)
{
    int value = table[0].*member;
    for (const auto& row : table) value = row.*member > value ? row.*member : value;
    return value;
}

}  // namespace dorvent
