// The handles of the C API are the schema store's records: these convert
// between the two views of one pointer.
#pragma once

#include <lyrdua/kor_types.h>

#include "lyrutil/schema_store.h"

namespace lyrdua::schema {

inline util_schema *store_schema(kor_sc_schema *schema) {
  return reinterpret_cast<util_schema *>(schema);
}
inline kor_sc_schema *schema_handle(util_schema *schema) {
  return reinterpret_cast<kor_sc_schema *>(schema);
}
inline util_attr *store_attr(kor_sc_attr *attr) { return reinterpret_cast<util_attr *>(attr); }
inline kor_sc_attr *attr_handle(util_attr *attr) { return reinterpret_cast<kor_sc_attr *>(attr); }
inline util_oc *store_oc(kor_sc_oc *oc) { return reinterpret_cast<util_oc *>(oc); }
inline kor_sc_oc *oc_handle(util_oc *oc) { return reinterpret_cast<kor_sc_oc *>(oc); }
inline util_syntax *store_syntax(kor_sc_syntax *syntax) {
  return reinterpret_cast<util_syntax *>(syntax);
}
inline kor_sc_syntax *syntax_handle(util_syntax *syntax) {
  return reinterpret_cast<kor_sc_syntax *>(syntax);
}

}  // namespace lyrdua::schema
