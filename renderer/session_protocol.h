// What the stand-in renderer and its live-link library say to each other on a live-link
// connection:
//   library:  "VISTREL-LIVE-SESSION <id> <n>\n"   (the scene id of SetId, Connect's third argument)
//   renderer: "ACCEPTED\n"                        the session is open
//   library:  the scene text, then the end of its stream
//   renderer: "RECEIVED\n"                        the whole session is stored
// Either side closes the connection on anything else.
#pragma once

#include <cstddef>

namespace session_protocol {

constexpr char kHelloPrefix[] = "VISTREL-LIVE-SESSION ";
constexpr char kAccepted[] = "ACCEPTED\n";
constexpr char kReceived[] = "RECEIVED\n";
// The longest hello line a renderer reads, with its line feed.
constexpr std::size_t kMaxHelloLength = 128;

// How long each side waits for the other's answers.
constexpr int kConnectTimeoutMs = 5000;
constexpr int kAnswerTimeoutMs = 10000;
// How long the library waits for the renderer to store a session after its end.
constexpr int kStoreTimeoutMs = 60000;

}  // namespace session_protocol
