#pragma once

#include <string_view>

namespace dorvent {

/// What a routine answers when it declines its input: the message for the user, or nothing
/// when it ran. The routines never show anything themselves; the window that called them does.
struct Refusal {
    std::string_view message;

    explicit operator bool() const noexcept { return !message.empty(); }
};

}  // namespace dorvent
