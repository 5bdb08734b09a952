// The reader of schema files: RFC 4512 attribute type and object class
// descriptions in the layout of OpenLDAP .schema files.
#pragma once

#include <string_view>

#include "lyrutil/schema_draft.hpp"

namespace lyrdua::util {

// Reads every definition of text into draft, in order. Throws SchemaFileError
// at the first one that cannot be taken.
//
// Layout: a line that starts with '#' is a comment; blank lines are skipped; a
// line that starts with a blank continues the line before it. Each statement
// is one of
//   attributetype ( OID fields... )      (also "attributetypes")
//   objectclass ( OID fields... )        (also "objectclasses")
//   objectidentifier NAME OID            (OID may be NAME2 or NAME2:SUFFIX)
// with directives and field keywords in any case. X- extensions, matching
// rules, MUST/MAY lists, USAGE and the flags other than SINGLE-VALUE are read
// and not kept.
void read_schema_text(std::string_view text, SchemaDraft *draft);

}  // namespace lyrdua::util
