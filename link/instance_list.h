// The list of running renderer instances, as the live-link library's instance lister gives it.
#pragma once

#include <cstdint>
#include <set>
#include <string>

// Live-link ports of renderer instances, ascending, without repeats.
using InstancePortSet = std::set<std::int32_t>;

// The live-link ports of the instances in text whose major version is at least requiredMajor.
//
// A plain text search, not an XML parse, which takes what the renderers write: per instance
// "<vistrel_instance>", then "<version_major>" with a decimal major version and
// "</version_major>", then "<livelink_port>" with a decimal port and "</livelink_port>". The
// searches are not bounded by an instance's block, so an instance lacking a tag takes the next
// one further on; an instance with an empty port is left out; the reading stops at the first
// tag it looks for and does not find. Numbers are read as atoi reads them (blanks, a sign,
// digits; 0 without digits), those beyond 32 bits giving the nearest limit. Any text is safe,
// and the time taken grows linearly with its length.
InstancePortSet ParseInstanceList(const std::string& text, int requiredMajor);
