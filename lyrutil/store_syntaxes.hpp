// The syntaxes every schema holds, and the standard LDAP syntax OIDs that a
// schema file may name instead.
#pragma once

#include <cstddef>

namespace lyrdua::util {

// The 37 syntax names that the library knows, by their numbers 1 to 37.
extern const char *const kStoreSyntaxNames[];
extern const size_t kStoreSyntaxCount;

struct LdapSyntax {
  const char *oid;   // dotted
  const char *name;  // one of kStoreSyntaxNames
};
extern const LdapSyntax kLdapSyntaxes[];
extern const size_t kLdapSyntaxCount;

}  // namespace lyrdua::util
