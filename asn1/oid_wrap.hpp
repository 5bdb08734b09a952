// Wrapping and unwrapping of OBJECT IDENTIFIER contents for the schema code,
// which keeps OIDs as contents octets and looks them up by their TLV bytes.
#pragma once

#include <cstdint>

namespace lyrdua::asn1 {

// The bound that the schema code gives oid_contents_from_ber.
constexpr uint32_t kOidEncodingBound = 256;

// Encodes contents as an OBJECT IDENTIFIER at the end of buffer (*len octets
// on entry). On success *out points at the encoding and *len holds its length;
// on failure *out is null, *len is 0 and the codec's error is returned.
uint32_t oid_contents_to_ber(const uint8_t *contents, uint32_t contents_len, uint8_t *buffer,
                             uint32_t *len, const uint8_t **out);

// Takes the contents of the OBJECT IDENTIFIER encoded at encoding, reading at
// most bound octets. *out points into encoding. Returns the codec's error
// (0 on success; then *out and *len are the contents).
uint32_t oid_contents_from_ber(uint32_t bound, const uint8_t *encoding, uint32_t *len,
                               const uint8_t **out);

}  // namespace lyrdua::asn1
