#pragma once

#include <cstdint>

// A colour as the colour buttons hold it, Windows style: red in the low
// byte, then green, then blue; the high byte is never a channel.
using ColorRef = std::uint32_t;
