#pragma once

#include <optional>
#include <string_view>
#include <utility>

namespace dorvent::insulation {

/// A calculated value, or the reason (shown to the user, in Chinese) why there is none.
/// A calculation that cannot give a finite answer says so here instead of returning inf or nan.
template <typename T>
class Outcome {
public:
    Outcome(T value) : value_(std::move(value)) {}  // NOLINT: a value converts to its outcome
    static Outcome refused(std::string_view reason) { return Outcome(reason); }

    explicit operator bool() const noexcept { return value_.has_value(); }
    const T& operator*() const { return *value_; }
    const T* operator->() const { return &*value_; }
    /// Empty when there is a value.
    std::string_view reason() const noexcept { return reason_; }

private:
    explicit Outcome(std::string_view reason) : reason_(reason) {}
    std::optional<T> value_;
    std::string_view reason_;
};

}  // namespace dorvent::insulation
