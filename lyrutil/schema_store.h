/* lyrutil/schema_store.h - the schema store of liblyrutil: the util_ calls
 * that liblyrdua's schema access makes, and the records they hand out.
 * Internal to the project: not part of the lyrdua C API. */
#ifndef LYRDUA_LYRUTIL_SCHEMA_STORE_H
#define LYRDUA_LYRUTIL_SCHEMA_STORE_H

#include <stdint.h>

#if defined(_WIN32) && !defined(_WIN64)
#define UTIL_API __stdcall
#else
#define UTIL_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* ---- Store statuses ---- */
#define UTIL_OK 0u
#define UTIL_E_FILE_UNREADABLE 3u /* a schema file cannot be read */
#define UTIL_E_FILE_INVALID 4u    /* a schema file holds a definition that cannot be taken */
#define UTIL_E_NOT_OPEN 5u        /* the schema argument is not the open schema */
#define UTIL_E_NOMEM 7u           /* memory exhausted */
#define UTIL_E_NO_KEYWORD 8u      /* no record has this keyword */
#define UTIL_E_NO_OID 9u          /* no record has this object identifier */
#define UTIL_E_BAD_OID 15u        /* the argument is not an OBJECT IDENTIFIER TLV */
#define UTIL_E_BAD_KEYWORD 16u    /* the keyword is null or empty */

/*
 * A store string is one complete BER string TLV (identifier, definite length,
 * contents). The store makes names PrintableStrings (tag 19) and descriptions
 * UTF8Strings (tag 12); util_string_to_text also takes NumericString (18),
 * IA5String (22), VisibleString (26) and BMPString (30).
 */

/* Names of a record: name 0 is the first keyword, names[formal_index] the
 * formal name (the last one). Every name is a keyword that lookups accept. */
typedef struct util_name_list {
  int32_t formal_index;
  int32_t count;
  const uint8_t *const *names; /* count store strings */
} util_name_list;

typedef struct util_syntax {
  const uint8_t *name; /* store string */
} util_syntax;

typedef struct util_attr {
  const uint8_t *oid; /* complete OBJECT IDENTIFIER TLV */
  util_name_list names;
  const uint8_t *description; /* store string, or NULL */
  util_syntax *syntax;        /* NULL for an attribute type without syntax */
  uint32_t multivalued;       /* 0 when declared SINGLE-VALUE, else 1 */
} util_attr;

typedef struct util_oc util_oc;

typedef struct util_parent_list {
  int32_t count;
  uint32_t reserved; /* 0 */
  util_oc *const *parents;
} util_parent_list;

struct util_oc {
  const uint8_t *oid; /* complete OBJECT IDENTIFIER TLV */
  util_name_list names;
  const uint8_t *description; /* store string, or NULL */
  util_parent_list *parents;  /* NULL for a class without superior classes */
};

/* The schema: three arrays whose positions never change while it is open. */
typedef struct util_schema {
  int16_t attr_count;
  util_attr *attrs;
  int16_t oc_count;
  util_oc *ocs;
  int16_t syntax_count;
  util_syntax *syntaxes;
} util_schema;

/* Memory for texts that the store hands out. */
typedef struct util_allocator {
  void *(UTIL_API *allocate)(uint32_t size);
  void(UTIL_API *release)(uint32_t size, void *block); /* size may be 0 */
  uintptr_t reserved;                                  /* 0 */
} util_allocator;

/* Opens the schema, or references it again when it is open. The first open
 * reads the built-in default schema, then each file of LYRDUA_SCHEMA (a
 * ':'-separated list; later definitions replace earlier ones with the same
 * OID). A file that cannot be read or taken gives UTIL_E_FILE_UNREADABLE or
 * UTIL_E_FILE_INVALID and one line on standard error naming the file, the
 * line and the problem; the store then stays closed. reserved is 0. */
uint32_t UTIL_API util_schema_open(uint32_t reserved);
/* The open schema, or NULL when it is closed. */
util_schema *UTIL_API util_schema_get(void);
/* Drops one reference; the last one frees the schema and every record. */
void UTIL_API util_schema_release(void);

/* Lookups by keyword (ASCII case ignored; len > 0 bytes) and by complete OID
 * TLV. On UTIL_OK *out is the record; otherwise *out is left as it was. */
uint32_t UTIL_API util_attr_by_keyword(util_schema *schema, const char *keyword, int32_t len,
                                       util_attr **out);
uint32_t UTIL_API util_attr_by_oid(util_schema *schema, const uint8_t *oid_tlv, util_attr **out);
uint32_t UTIL_API util_oc_by_keyword(util_schema *schema, const char *keyword, int32_t len,
                                     util_oc **out);
uint32_t UTIL_API util_oc_by_oid(util_schema *schema, const uint8_t *oid_tlv, util_oc **out);

/* Converts a store string into NUL-terminated 8-bit text (Latin-1) allocated
 * through allocator; *length excludes the NUL. reserved is 0; max_length is
 * the longest text accepted, -1 for any. Returns non-zero on success; on
 * failure (an unknown string type, a malformed TLV, a character that Latin-1
 * lacks, a text over max_length, no memory) nothing is allocated and
 * *length, *text are untouched. */
int32_t UTIL_API util_string_to_text(uint32_t reserved, const util_allocator *allocator,
                                     int32_t max_length, const uint8_t *string, uint32_t *length,
                                     char **text);

/* 1 when the attribute type may hold several values, 0 when it is single-valued. */
uint32_t UTIL_API util_attr_is_multivalued(util_attr *attr);

/* Orders two store strings by their contents, ASCII letters compared without
 * regard to case and everything else by its code, a prefix first: negative,
 * 0 or positive. The string types are not compared. */
int32_t UTIL_API util_string_compare(const uint8_t *a, const uint8_t *b);

#ifdef __cplusplus
}
#endif

#endif /* LYRDUA_LYRUTIL_SCHEMA_STORE_H */
