#include "src/protocol/codec.h"

#include "src/http/text.h"

namespace sd {

// The handshake's one-time random: pairwise hexadecimal, RC4 with the request key.
std::string open_server_random(std::string_view data) {
  return text_of(rc4_transform(hex_decode_pairs(data), request_key()));
}

}  // namespace sd
