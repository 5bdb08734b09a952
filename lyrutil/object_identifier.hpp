// Dotted object identifiers of schema files turned into BER contents octets.
#pragma once

#include <string>
#include <string_view>

namespace lyrdua::util {

// The contents octets of the OBJECT IDENTIFIER written as text; false with
// *problem set when the text is not a numeric OID (two or more arcs, no
// leading zeros, first arc 0-2, second below 40 under arcs 0 and 1) or an arc
// is too large.
bool oid_contents(std::string_view text, std::string *contents, std::string *problem);

}  // namespace lyrdua::util
