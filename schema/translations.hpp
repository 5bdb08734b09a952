// Keyword translations: pairs of a schema keyword and the external keyword
// that a site uses for it. Lookups read the active list; the host builds a
// pending list and adopts it whole.
#pragma once

#include <cstdint>

namespace lyrdua::schema {

struct Translation {
  Translation *next;
  char *schema_keyword;
  char *external_keyword;
  uint32_t schema_length;
  uint32_t external_length;
};

// The most recently added active entry whose external keyword is exactly
// length bytes equal to keyword; null when none (a negative length matches none).
const Translation *translation_from_external(const char *keyword, int32_t length);
// The same by the schema keyword.
const Translation *translation_from_schema(const char *keyword, uint32_t length);

}  // namespace lyrdua::schema
