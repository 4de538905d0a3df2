#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace miaohui {

// The report's text: the heading, the code when not 0, the message when not empty.
std::string fatal_error_text(std::string_view message, std::int32_t code);

// The message for memory that cannot be had.
std::string allocation_failure_message(std::size_t bytes);

// Shows the report in a message box captioned "错误" with no owner window, waits until it is
// dismissed, closes the process-wide services and ends the process with status 255.
[[noreturn]] void fatal_error(std::string_view message, std::int32_t code);

}  // namespace miaohui
