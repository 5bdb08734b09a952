/* lyrdua/kor_sc.h - schema access, syntax numbers and keyword translations. */
#ifndef LYRDUA_KOR_SC_H
#define LYRDUA_KOR_SC_H

#include "kor_types.h"

#ifdef __cplusplus
extern "C" {
#endif

/*
 * Handles (kor_sc_schema, kor_sc_attr, kor_sc_oc, kor_sc_syntax) belong to the
 * schema store; they stay valid until the last kor_sc_free_schema.
 * ref_ operations give borrowed, NUL-terminated texts (or OID contents) owned by
 * the library, valid until the last kor_sc_free_schema. get_ operations copy:
 * *len is the buffer size in bytes on entry; texts come back NUL-terminated with
 * *len = text length + 1, OID contents without a NUL with *len = their length;
 * a buffer too small gives KOR_SC_E_BUFFER with the size needed in *len.
 * An object identifier is passed as the contents octets of its BER encoding,
 * without tag and length (2.5.4.0 is 55 04 00). None of these functions raises
 * an event.
 */

/* ---- Result codes ---- */
#define KOR_SC_E_FAILED    0xE6F00001u /* conversion failed, nothing found, no syntax, OID not wrappable; unmapped store status */
#define KOR_SC_E_NOMEM     0xE6F00002u /* memory exhausted (also store status 7) */
#define KOR_SC_E_STATUS16  0xE6F00003u /* store status 16; keyword lookups count it as "not in the schema" */
#define KOR_SC_E_NOT_FOUND 0xE6F00004u /* not in the schema (store status 8, 9 or 15) */
#define KOR_SC_E_STATUS3   0xE6F00005u /* store status 3 */
#define KOR_SC_E_STATUS4   0xE6F00006u /* store status 4 */
#define KOR_SC_E_STATUS5   0xE6F00007u /* store status 5 */
#define KOR_SC_E_BUFFER    0xE6F00008u /* the caller's buffer is too small */

/* ---- Syntax numbers (kor_sc_syntax_get_enum) ---- */
#define KOR_SC_SYN_UNKNOWN                       0u  /* name not in the table */
#define KOR_SC_SYN_UNDEFINED                     1u  /* undefinedSyntax */
#define KOR_SC_SYN_OBJECT_IDENTIFIER             2u  /* objectIdentifierSyntax */
#define KOR_SC_SYN_ACI                           3u  /* aciSyntax */
#define KOR_SC_SYN_PRINTABLE_STRING              4u  /* printableStringSyntax */
#define KOR_SC_SYN_NUMERIC_STRING                5u  /* numericStringSyntax */
#define KOR_SC_SYN_BOOLEAN                       6u  /* booleanSyntax */
#define KOR_SC_SYN_INTEGER                       7u  /* integerSyntax */
#define KOR_SC_SYN_OCTET_STRING                  8u  /* octetStringSyntax */
#define KOR_SC_SYN_UTC_TIME                      9u  /* uTCTimeSyntax */
#define KOR_SC_SYN_TELEPHONE_NUMBER              10u /* telephoneNumberSyntax */
#define KOR_SC_SYN_PRESENTATION_ADDRESS          11u /* presentationAddressSyntax */
#define KOR_SC_SYN_STRING                        12u /* stringSyntax */
#define KOR_SC_SYN_COUNTRY_NAME                  13u /* countryNameSyntax */
#define KOR_SC_SYN_STRING_LIST                   14u /* stringListSyntax */
#define KOR_SC_SYN_POSTAL_ADDRESS                15u /* postalAddressSyntax */
#define KOR_SC_SYN_TELEX_NUMBER                  16u /* telexNumberSyntax */
#define KOR_SC_SYN_TELETEX_TERMINAL_IDENTIFIER   17u /* teletexTerminalIdentifierSyntax */
#define KOR_SC_SYN_FACSIMILE_TELEPHONE_NUMBER    18u /* facsimileTelephoneNumberSyntax */
#define KOR_SC_SYN_INTEGER_LIST                  19u /* integerListSyntax */
#define KOR_SC_SYN_SEARCH_GUIDE                  20u /* searchGuideSyntax */
#define KOR_SC_SYN_GENERALIZED_TIME              21u /* generalizedTimeSyntax */
#define KOR_SC_SYN_USER_PASSWORD                 22u /* userPasswordSyntax */
#define KOR_SC_SYN_BIT_STRING                    23u /* bitStringSyntax */
#define KOR_SC_SYN_T61_STRING                    24u /* t61StringSyntax */
#define KOR_SC_SYN_MHS_OR_ADDRESS                25u /* mhs-or-address-syntax */
#define KOR_SC_SYN_MHS_OR_NAME                   26u /* mhs-or-name-syntax */
#define KOR_SC_SYN_IA5_STRING                    27u /* iA5StringSyntax */
#define KOR_SC_SYN_DELIVERY_METHOD               28u /* deliveryMethodSyntax */
#define KOR_SC_SYN_JPEG_PHOTO                    29u /* jpegPhotoSyntax */
#define KOR_SC_SYN_PROTOCOL_INFORMATION          30u /* protocolInformationSyntax */
#define KOR_SC_SYN_ENUMERATED                    31u /* enumeratedSyntax */
#define KOR_SC_SYN_IMAGE                         32u /* imageSyntax */
#define KOR_SC_SYN_AUDIO                         33u /* audioSyntax */
#define KOR_SC_SYN_DISTINGUISHED_NAME            34u /* distinguishedNameSyntax */
#define KOR_SC_SYN_QAM_MTS_ORADDRESS_TRANSLATION 35u /* qam-mts-oraddress-translation-syntax */
#define KOR_SC_SYN_QAM_MTS_PRINT_OR_NUM          36u /* qam-mts-print-or-num-syntax */
#define KOR_SC_SYN_QAM_MTS_ROUTING_DOMAIN_GDI    37u /* qam-mts-routing-domain-gdi-syntax */
#define KOR_SC_SYN_COUNT                         37u /* highest syntax number */

/* ---- Schema ---- */

/* Opens (or references again) the default schema; 0 or a code. */
uint32_t KOR_API kor_sc_get_default_schema(kor_sc_schema **schema);
/* Drops one reference; the last one releases the schema, its handles and texts. Always 0. */
uint32_t KOR_API kor_sc_free_schema(kor_sc_schema *schema);

/* ---- Attribute types ---- */

/* Lookup by keyword (translated; len -1 = NUL-terminated); 0, KOR_SC_E_NOT_FOUND, ... */
uint32_t KOR_API kor_sc_get_attr_by_keywordA(kor_sc_schema *schema, const char *keyword, int32_t len, kor_sc_attr **attr);
/* Lookup by OID contents octets; 0, KOR_SC_E_NOT_FOUND, KOR_SC_E_BUFFER (too long), ... */
uint32_t KOR_API kor_sc_get_attr_by_oid(kor_sc_schema *schema, const uint8_t *oid, uint32_t oid_len, kor_sc_attr **attr);
/* Does nothing (handles live with the schema). Always 0. */
uint32_t KOR_API kor_sc_free_attr(kor_sc_attr *attr);
/* Borrowed first keyword (the external keyword when a translation applies). */
uint32_t KOR_API kor_sc_attr_ref_1st_keywordA(kor_sc_attr *attr, const char **text, uint32_t *len);
/* Borrowed formal name. */
uint32_t KOR_API kor_sc_attr_ref_formal_nameA(kor_sc_attr *attr, const char **text, uint32_t *len);
/* Borrowed description (empty text when there is none). */
uint32_t KOR_API kor_sc_attr_ref_descriptionA(kor_sc_attr *attr, const char **text, uint32_t *len);
/* Borrowed OID contents octets. */
uint32_t KOR_API kor_sc_attr_ref_oid(kor_sc_attr *attr, const uint8_t **oid, uint32_t *len);
/* Copied first keyword (translated); 0, KOR_SC_E_BUFFER (truncated, NUL-terminated), ... */
uint32_t KOR_API kor_sc_attr_get_1st_keywordA(kor_sc_attr *attr, char *buf, uint32_t *len);
/* Copied formal name. */
uint32_t KOR_API kor_sc_attr_get_formal_nameA(kor_sc_attr *attr, char *buf, uint32_t *len);
/* Copied description. */
uint32_t KOR_API kor_sc_attr_get_descriptionA(kor_sc_attr *attr, char *buf, uint32_t *len);
/* Copied OID contents octets (no NUL); KOR_SC_E_BUFFER copies nothing. */
uint32_t KOR_API kor_sc_attr_get_oid(kor_sc_attr *attr, uint8_t *buf, uint32_t *len);
/* Non-zero when the attribute type is multi-valued. */
uint32_t KOR_API kor_sc_attr_is_multivalued(kor_sc_attr *attr);
/* The attribute's syntax; 0, or KOR_SC_E_FAILED with *syntax NULL. */
uint32_t KOR_API kor_sc_attr_get_syntax(kor_sc_attr *attr, kor_sc_syntax **syntax);

/* ---- Syntaxes ---- */

/* Does nothing (handles live with the schema). Always 0. */
uint32_t KOR_API kor_sc_free_syntax(kor_sc_syntax *syntax);
/* Borrowed syntax name. */
uint32_t KOR_API kor_sc_syntax_ref_nameA(kor_sc_syntax *syntax, const char **text, uint32_t *len);
/* Copied syntax name. */
uint32_t KOR_API kor_sc_syntax_get_nameA(kor_sc_syntax *syntax, char *buf, uint32_t *len);
/* Syntax number KOR_SC_SYN_* of the syntax's name (KOR_SC_SYN_UNKNOWN when not known). Always 0. */
uint32_t KOR_API kor_sc_syntax_get_enum(kor_sc_syntax *syntax, uint32_t *value);

/* ---- Object classes ---- */

/* Lookup by keyword (not translated; len -1 = NUL-terminated). */
uint32_t KOR_API kor_sc_get_oc_by_keywordA(kor_sc_schema *schema, const char *keyword, int32_t len, kor_sc_oc **oc);
/* Lookup by OID contents octets. */
uint32_t KOR_API kor_sc_get_oc_by_oid(kor_sc_schema *schema, const uint8_t *oid, uint32_t oid_len, kor_sc_oc **oc);
/* Does nothing (handles live with the schema). Always 0. */
uint32_t KOR_API kor_sc_free_oc(kor_sc_oc *oc);
/* Borrowed formal name. */
uint32_t KOR_API kor_sc_oc_ref_formal_nameA(kor_sc_oc *oc, const char **text, uint32_t *len);
/* Borrowed description. */
uint32_t KOR_API kor_sc_oc_ref_descriptionA(kor_sc_oc *oc, const char **text, uint32_t *len);
/* Borrowed OID contents octets. */
uint32_t KOR_API kor_sc_oc_ref_oid(kor_sc_oc *oc, const uint8_t **oid, uint32_t *len);
/* Copied formal name. */
uint32_t KOR_API kor_sc_oc_get_formal_nameA(kor_sc_oc *oc, char *buf, uint32_t *len);
/* Copied description. */
uint32_t KOR_API kor_sc_oc_get_descriptionA(kor_sc_oc *oc, char *buf, uint32_t *len);
/* Copied OID contents octets (no NUL). */
uint32_t KOR_API kor_sc_oc_get_oid(kor_sc_oc *oc, uint8_t *buf, uint32_t *len);
/* Parent number idx (from 0), or NULL past the last one. Always 0. */
uint32_t KOR_API kor_sc_oc_get_parent_by_idx(kor_sc_oc *oc, int32_t idx, kor_sc_oc **parent);

/* ---- Keyword translations ----
 * A translation value is a store string: one complete BER string TLV, e.g.
 * 13 07 "CN=name" (NULL reads as the empty text). Its text before the first
 * '=' is the schema keyword, the rest the external keyword. */

/* Discards the pending translations. */
void KOR_API kor_start_translations(void);
/* Adds one "schema=external" value to the pending list; 0, KOR_SC_E_FAILED (no '=' or not convertible), KOR_SC_E_NOMEM. */
uint32_t KOR_API kor_process_attr_trans_value(const uint8_t *value, uintptr_t reserved);
/* Makes the pending list the active one (the previous active list is freed). */
void KOR_API kor_adopt_translations(void);

#ifdef __cplusplus
}
#endif

#endif /* LYRDUA_KOR_SC_H */
