// UTF-8 (the model file's and the world's text) to the host's 16-bit wide text and back.
#pragma once

#include <string>

namespace sim {

// Malformed UTF-8 becomes U+FFFD; characters beyond the first plane become surrogate pairs.
std::u16string Widen(const std::string& utf8);
// Unpaired surrogates become U+FFFD.
std::string Narrow(const std::u16string& wide);

}  // namespace sim
