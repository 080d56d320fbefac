// Number text for the user: decimal, a minus sign when negative, no blanks, no leading zeros.
#pragma once

#include <cstdint>
#include <string>

std::string DecimalText(int64_t value);
std::string UnsignedDecimalText(uint64_t value);
