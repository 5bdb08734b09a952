/* lyrdua/kor_ahs.h - attribute syntax handlers and their structure forms. */
#ifndef LYRDUA_KOR_AHS_H
#define LYRDUA_KOR_AHS_H

#include "kor_types.h"
#include "kor_asn1.h"
#include "kor_sc.h"

#ifdef __cplusplus
extern "C" {
#endif

/*
 * Handler kinds and their arguments:
 *   ExtToInt    (text, text_len, ctx, aux)              text -> one element laid into an encoding ctx
 *   IntToExt    (ctx, out, out_len, aux)                one element read from a decoding ctx -> text
 *   IntToExt    (ctx, out, out_len, struct_out, aux)    the same, also filling a structure form
 *   ExtToStruct (text, text_len, s)                     text -> structure form (pointers into text)
 *   StructToExt (s, out, out_len)                       structure form -> text
 *   StructToInt (s, ctx)                                structure form -> one element
 * A: 8-bit text (char). W: UTF-16 (kor_wchar); lengths count 16-bit units.
 * text_len: characters, or KOR_NUL_TERMINATED (-1).
 * aux: passed through. The attribute-type, DN and RDN handlers take the schema
 *   handle here, as (uintptr_t)schema; the attribute-value handlers pass an
 *   attribute handle to the syntax handlers they call; all others ignore it.
 * out, out_len: *out_len is the capacity in characters, at least 1. Result 0:
 *   the text and a NUL are written, *out_len = text length without the NUL.
 *   Result KOR_AHS_TRUNCATED: the first *out_len - 1 characters and a NUL are
 *   written, *out_len = the size needed, NUL included. Binary outputs (raw
 *   elements, octet-string values) have no NUL: *out_len = bytes written, or
 *   the full size with KOR_AHS_TRUNCATED.
 * Results: KOR_OK, a small result below, or an event code: the handler raised
 *   that event (category KOR_EVT_CAT_SYNTAX) and returns its code. A failing
 *   ExtToInt handler lays nothing; errors of the BER writer/reader stay in the
 *   context for kor_asn1_errno.
 */

/* ---- Distinguished name structure form -----------------------------------
 * Texts are not NUL-terminated and live in the character buffer designated by
 * buffer. The first RDN node is embedded in the DN record and the first AVA
 * node in each RDN node; further nodes are heap blocks that the parser
 * allocates and kor_ahs_Free_DistinguishedName releases. An empty DN has
 * rdn.ava.type == NULL. The W records have the same layout. */
typedef struct kor_ahs_ava {
    struct kor_ahs_ava *next; /* next AVA of the same RDN, or NULL */
    const char *type;         /* attribute type text */
    uint32_t type_len;        /* in characters */
    const char *value;        /* value text, quotes and escapes removed */
    uint32_t value_len;       /* in characters */
    uint32_t is_hex;          /* 1 when the value was written with a leading '#' */
} kor_ahs_ava;

typedef struct kor_ahs_rdn {
    struct kor_ahs_rdn *next; /* next RDN in text order, or NULL */
    kor_ahs_ava ava;          /* first AVA of the RDN (embedded) */
} kor_ahs_rdn;

typedef struct kor_ahs_dn {
    char *buffer;             /* where the parser copies texts; NULL: parse the text in place */
    kor_ahs_rdn rdn;          /* first RDN (embedded) */
} kor_ahs_dn;

typedef struct kor_ahs_avaW {
    struct kor_ahs_avaW *next;
    const kor_wchar *type;
    uint32_t type_len;
    const kor_wchar *value;
    uint32_t value_len;
    uint32_t is_hex;
} kor_ahs_avaW;

typedef struct kor_ahs_rdnW {
    struct kor_ahs_rdnW *next;
    kor_ahs_avaW ava;
} kor_ahs_rdnW;

typedef struct kor_ahs_dnW {
    kor_wchar *buffer;
    kor_ahs_rdnW rdn;
} kor_ahs_dnW;

/* ---- Facsimile telephone number structure form ---------------------------
 * Pointer and length (characters) pairs; a parameter is present when its
 * pointer is not NULL. Texts are not owned and not NUL-terminated. */
typedef struct kor_ahs_fax_telephone_number {
    const char *telephone_number;
    uint32_t telephone_number_len;
    const char *two_dimensional;
    uint32_t two_dimensional_len;
    const char *fine_resolution;
    uint32_t fine_resolution_len;
    const char *unlimited_length;
    uint32_t unlimited_length_len;
    const char *b4_length;
    uint32_t b4_length_len;
    const char *a3_width;
    uint32_t a3_width_len;
    const char *b4_width;
    uint32_t b4_width_len;
    const char *uncompressed;
    uint32_t uncompressed_len;
} kor_ahs_fax_telephone_number;

typedef struct kor_ahs_fax_telephone_numberW {
    const kor_wchar *telephone_number;
    uint32_t telephone_number_len;
    const kor_wchar *two_dimensional;
    uint32_t two_dimensional_len;
    const kor_wchar *fine_resolution;
    uint32_t fine_resolution_len;
    const kor_wchar *unlimited_length;
    uint32_t unlimited_length_len;
    const kor_wchar *b4_length;
    uint32_t b4_length_len;
    const kor_wchar *a3_width;
    uint32_t a3_width_len;
    const kor_wchar *b4_width;
    uint32_t b4_width_len;
    const kor_wchar *uncompressed;
    uint32_t uncompressed_len;
} kor_ahs_fax_telephone_numberW;

/* ---- Postal address structure form: up to 32 lines ---- */
#define KOR_AHS_POSTAL_LINES 32

typedef struct kor_ahs_postal_line {
    const char *line;  /* first character, not NUL-terminated; NULL when the entry is absent */
    uint32_t line_len; /* in characters */
} kor_ahs_postal_line;

typedef struct kor_ahs_postal_address {
    kor_ahs_postal_line lines[KOR_AHS_POSTAL_LINES];
} kor_ahs_postal_address;

typedef struct kor_ahs_postal_lineW {
    const kor_wchar *line;
    uint32_t line_len;
} kor_ahs_postal_lineW;

typedef struct kor_ahs_postal_addressW {
    kor_ahs_postal_lineW lines[KOR_AHS_POSTAL_LINES];
} kor_ahs_postal_addressW;

/* ---- Telex number structure form ---- */
typedef struct kor_ahs_telex_number {
    const char *telex_number;
    uint32_t telex_number_len;
    const char *country_code;
    uint32_t country_code_len;
    const char *answerback;
    uint32_t answerback_len;
} kor_ahs_telex_number;

typedef struct kor_ahs_telex_numberW {
    const kor_wchar *telex_number;
    uint32_t telex_number_len;
    const kor_wchar *country_code;
    uint32_t country_code_len;
    const kor_wchar *answerback;
    uint32_t answerback_len;
} kor_ahs_telex_numberW;

/* ---- Small results (no event is raised) ---- */
#define KOR_AHS_TRUNCATED   6u  /* output truncated; *out_len = size needed */
#define KOR_AHS_MISSING     8u  /* a member that the constructed value must hold is missing */
#define KOR_AHS_UNSUPPORTED 9u  /* no conversion for this syntax or variant */
#define KOR_AHS_NOMEM       10u /* memory allocation failed */
#define KOR_AHS_NO_ELEMENT  11u /* no further element to read (or the context holds an error) */

/* ---- Event codes (raised and returned) ---- */
#define KOR_AHS_E_PRINTABLE_CHAR   0xE6F001AFu /* character outside the printable set; %1 = it */
#define KOR_AHS_E_NUMERIC_CHAR     0xE6F001B0u /* character outside " 0123456789"; %1 = it */
#define KOR_AHS_E_IA5_CHAR         0xE6F001B1u /* character of 0x80 or above; %1 = it */
#define KOR_AHS_E_T61_ENCODE       0xE6F001B2u /* Latin-1 to T.61 failed; %1 = the character */
#define KOR_AHS_E_T61_DECODE       0xE6F001B3u /* T.61 to Latin-1 failed; %1 = the position */
#define KOR_AHS_E_BITS_CHAR        0xE6F001B5u /* bit string text: not 0, 1 or space; %1 = the value */
#define KOR_AHS_E_BITS_SHORT       0xE6F001B6u /* bit string contents of exactly one octet */
#define KOR_AHS_E_BITS_UNUSED      0xE6F001B7u /* unused-bits octet above 7 */
#define KOR_AHS_E_HEX_CHAR         0xE6F001B8u /* octet string text: not a hex digit; %1 = it */
#define KOR_AHS_E_HEX_ODD          0xE6F001B9u /* octet string text of odd length */
#define KOR_AHS_E_UTC_TIME         0xE6F001BAu /* bad UTC time text; %1 = what is wrong */
#define KOR_AHS_E_OID_CHAR         0xE6F001BBu /* OID text: bad character; %1 = it (returns KOR_AHS_E_OID) */
#define KOR_AHS_E_OID              0xE6F001BCu /* bad OID text; %1 = what is wrong */
#define KOR_AHS_E_INTEGER_CHAR     0xE6F001BDu /* integer text: not a digit; %1 = it */
#define KOR_AHS_E_FAX_EMPTY        0xE6F001BFu /* fax number text empty or starting with '$' */
#define KOR_AHS_E_FAX_PARAM        0xE6F001C0u /* fax parameter matching no name, or several */
#define KOR_AHS_E_FAX_EMPTY_PARAM  0xE6F001C1u /* empty fax parameter */
#define KOR_AHS_E_FAX_NUMBER_LONG  0xE6F001C2u /* fax telephone number over 32 characters; %1 = 32 */
#define KOR_AHS_E_FAX_BITS         0xE6F001C3u /* fax parameter bits shorter than 5 octets or over 1 unused bit */
#define KOR_AHS_E_POSTAL_EMPTY     0xE6F001C4u /* postal text empty, or an empty line */
#define KOR_AHS_E_POSTAL_LINE_LONG 0xE6F001C5u /* postal line over 1024 characters; %1 = 1024 */
#define KOR_AHS_E_POSTAL_LINES     0xE6F001C6u /* more than 32 postal lines */
#define KOR_AHS_E_POSTAL_READ_LONG 0xE6F001C7u /* decoded postal line of 256 characters or more */
#define KOR_AHS_E_TELEX            0xE6F001C8u /* telex text without its three parts */
#define KOR_AHS_E_DN_END           0xE6F001C9u /* DN text ends where a type or '=' is expected */
#define KOR_AHS_E_DN_SYNTAX        0xE6F001CAu /* empty type, misplaced '+' ',' ';', or trailing separator */
#define KOR_AHS_E_DN_QUOTE         0xE6F001CBu /* quote character inside an unquoted value */
#define KOR_AHS_E_DN_EMPTY_VALUE   0xE6F001CCu /* empty value */
#define KOR_AHS_E_DECODE           0xE6F001CDu /* value unreadable: boolean contents, no RDN, type not convertible */
#define KOR_AHS_E_RDN_END          0xE6F001CEu /* RDN text ends where a type or '=' is expected */
#define KOR_AHS_E_BOOLEAN_EMPTY    0xE6F001CFu /* empty boolean text */
#define KOR_AHS_E_BOOLEAN_VALUE    0xE6F001D0u /* boolean text not a prefix of TRUE or FALSE */
#define KOR_AHS_E_NO_ROOM          0xE6F001D1u /* output capacity 0 */
#define KOR_AHS_E_UNKNOWN_ATTR     0xE6F001D2u /* attribute type not in the schema */
#define KOR_AHS_E_SCHEMA           0xE6F001D3u /* schema lookup failed; also returned, unraised, for ',' or ';' in an RDN */
#define KOR_AHS_E_WRONG_TAG        0xE6F001F4u /* unexpected tag; %1 = tag found, %2 = tag expected */

/* ---- Boolean: TRUE / FALSE (any non-empty prefix, any case) <-> BOOLEAN ---- */

/* 0, KOR_AHS_E_BOOLEAN_EMPTY, KOR_AHS_E_BOOLEAN_VALUE. */
uint32_t KOR_API kor_ahs_ExtToInt_BooleanA(const char *text, int32_t text_len, kor_asn1_ctx *ctx, uintptr_t aux);
uint32_t KOR_API kor_ahs_ExtToInt_BooleanW(const kor_wchar *text, int32_t text_len, kor_asn1_ctx *ctx, uintptr_t aux);
/* "TRUE" or "FALSE"; 0, 6, 11, KOR_AHS_E_NO_ROOM, KOR_AHS_E_WRONG_TAG, KOR_AHS_E_DECODE. */
uint32_t KOR_API kor_ahs_IntToExt_BooleanA(kor_asn1_ctx *ctx, char *out, uint32_t *out_len, uintptr_t aux);
uint32_t KOR_API kor_ahs_IntToExt_BooleanW(kor_asn1_ctx *ctx, kor_wchar *out, uint32_t *out_len, uintptr_t aux);

/* ---- Bit string: digits 0 and 1, first bit first, spaces ignored <-> BIT STRING ---- */

/* 0, 10, KOR_AHS_E_BITS_CHAR. */
uint32_t KOR_API kor_ahs_ExtToInt_BitStringA(const char *text, int32_t text_len, kor_asn1_ctx *ctx, uintptr_t aux);
uint32_t KOR_API kor_ahs_ExtToInt_BitStringW(const kor_wchar *text, int32_t text_len, kor_asn1_ctx *ctx, uintptr_t aux);
/* 0, 6, 11, KOR_AHS_E_BITS_SHORT, KOR_AHS_E_BITS_UNUSED, KOR_AHS_E_WRONG_TAG. */
uint32_t KOR_API kor_ahs_IntToExt_BitStringA(kor_asn1_ctx *ctx, char *out, uint32_t *out_len, uintptr_t aux);
uint32_t KOR_API kor_ahs_IntToExt_BitStringW(kor_asn1_ctx *ctx, kor_wchar *out, uint32_t *out_len, uintptr_t aux);

/* ---- Character strings. W: IA5/Numeric/Printable check and return 9; Directory/T61 return 9 at once ---- */

/* IA5String (tag 22): 0, KOR_AHS_E_IA5_CHAR; W: 9 after the check. */
uint32_t KOR_API kor_ahs_ExtToInt_IA5StringA(const char *text, int32_t text_len, kor_asn1_ctx *ctx, uintptr_t aux);
uint32_t KOR_API kor_ahs_ExtToInt_IA5StringW(const kor_wchar *text, int32_t text_len, kor_asn1_ctx *ctx, uintptr_t aux);
/* Bytes outside 0x20..0x7E read as '.'; 0, 6, 11, KOR_AHS_E_WRONG_TAG; W: 9 on tag 22. */
uint32_t KOR_API kor_ahs_IntToExt_IA5StringA(kor_asn1_ctx *ctx, char *out, uint32_t *out_len, uintptr_t aux);
uint32_t KOR_API kor_ahs_IntToExt_IA5StringW(kor_asn1_ctx *ctx, kor_wchar *out, uint32_t *out_len, uintptr_t aux);

/* NumericString (tag 18): 0, KOR_AHS_E_NUMERIC_CHAR; W: 9 after the check. */
uint32_t KOR_API kor_ahs_ExtToInt_NumericStringA(const char *text, int32_t text_len, kor_asn1_ctx *ctx, uintptr_t aux);
uint32_t KOR_API kor_ahs_ExtToInt_NumericStringW(const kor_wchar *text, int32_t text_len, kor_asn1_ctx *ctx, uintptr_t aux);
/* 0, 6, 11, KOR_AHS_E_WRONG_TAG; W: 9 on tag 18. */
uint32_t KOR_API kor_ahs_IntToExt_NumericStringA(kor_asn1_ctx *ctx, char *out, uint32_t *out_len, uintptr_t aux);
uint32_t KOR_API kor_ahs_IntToExt_NumericStringW(kor_asn1_ctx *ctx, kor_wchar *out, uint32_t *out_len, uintptr_t aux);

/* PrintableString (tag 19): 0, KOR_AHS_E_PRINTABLE_CHAR; W: 9 after the check. */
uint32_t KOR_API kor_ahs_ExtToInt_PrintableStringA(const char *text, int32_t text_len, kor_asn1_ctx *ctx, uintptr_t aux);
uint32_t KOR_API kor_ahs_ExtToInt_PrintableStringW(const kor_wchar *text, int32_t text_len, kor_asn1_ctx *ctx, uintptr_t aux);
/* 0, 6, 11, KOR_AHS_E_WRONG_TAG; W: 9 on tag 19. */
uint32_t KOR_API kor_ahs_IntToExt_PrintableStringA(kor_asn1_ctx *ctx, char *out, uint32_t *out_len, uintptr_t aux);
uint32_t KOR_API kor_ahs_IntToExt_PrintableStringW(kor_asn1_ctx *ctx, kor_wchar *out, uint32_t *out_len, uintptr_t aux);

/* DirectoryString: tag 19 when every character is printable, else 20, bytes unchanged; 0. W: 9. */
uint32_t KOR_API kor_ahs_ExtToInt_DirectoryStringA(const char *text, int32_t text_len, kor_asn1_ctx *ctx, uintptr_t aux);
uint32_t KOR_API kor_ahs_ExtToInt_DirectoryStringW(const kor_wchar *text, int32_t text_len, kor_asn1_ctx *ctx, uintptr_t aux);
/* Tag 19 or 20; 0, 6, 11, KOR_AHS_E_WRONG_TAG. W: 9. */
uint32_t KOR_API kor_ahs_IntToExt_DirectoryStringA(kor_asn1_ctx *ctx, char *out, uint32_t *out_len, uintptr_t aux);
uint32_t KOR_API kor_ahs_IntToExt_DirectoryStringW(kor_asn1_ctx *ctx, kor_wchar *out, uint32_t *out_len, uintptr_t aux);

/* T61String (tag 20): Latin-1 text converted to T.61; 0, 10, KOR_AHS_E_T61_ENCODE. W: 9. */
uint32_t KOR_API kor_ahs_ExtToInt_T61StringA(const char *text, int32_t text_len, kor_asn1_ctx *ctx, uintptr_t aux);
uint32_t KOR_API kor_ahs_ExtToInt_T61StringW(const kor_wchar *text, int32_t text_len, kor_asn1_ctx *ctx, uintptr_t aux);
/* T.61 contents converted to Latin-1; 0, 6, 10, 11, KOR_AHS_E_T61_DECODE, KOR_AHS_E_WRONG_TAG. W: 9. */
uint32_t KOR_API kor_ahs_IntToExt_T61StringA(kor_asn1_ctx *ctx, char *out, uint32_t *out_len, uintptr_t aux);
uint32_t KOR_API kor_ahs_IntToExt_T61StringW(kor_asn1_ctx *ctx, kor_wchar *out, uint32_t *out_len, uintptr_t aux);

/* ---- Integer: optional sign and decimal digits of any length <-> INTEGER ---- */

/* 0, 10, KOR_AHS_E_INTEGER_CHAR; the empty text (or a lone sign) gives 02 00. */
uint32_t KOR_API kor_ahs_ExtToInt_IntegerA(const char *text, int32_t text_len, kor_asn1_ctx *ctx, uintptr_t aux);
uint32_t KOR_API kor_ahs_ExtToInt_IntegerW(const kor_wchar *text, int32_t text_len, kor_asn1_ctx *ctx, uintptr_t aux);
/* 0, 6 (*out_len = a size that suffices), 11, KOR_AHS_E_WRONG_TAG. */
uint32_t KOR_API kor_ahs_IntToExt_IntegerA(kor_asn1_ctx *ctx, char *out, uint32_t *out_len, uintptr_t aux);
uint32_t KOR_API kor_ahs_IntToExt_IntegerW(kor_asn1_ctx *ctx, kor_wchar *out, uint32_t *out_len, uintptr_t aux);

/* ---- Octet string: hex digits, two per octet <-> OCTET STRING or a plain octet buffer ---- */

/* Hex text into buf; *buf_len: capacity in, octets written out; 0, 6 (nothing written), KOR_AHS_E_HEX_ODD, KOR_AHS_E_HEX_CHAR. */
uint32_t KOR_API kor_ahs_ExtToBuf_OctetStringA(const char *text, int32_t text_len, uint8_t *buf, uint32_t *buf_len);
uint32_t KOR_API kor_ahs_ExtToBuf_OctetStringW(const kor_wchar *text, int32_t text_len, uint8_t *buf, uint32_t *buf_len);
/* data_len octets as capital hex digits; 0, 6. */
uint32_t KOR_API kor_ahs_BufToExt_OctetStringA(const uint8_t *data, uint32_t data_len, char *out, uint32_t *out_len);
uint32_t KOR_API kor_ahs_BufToExt_OctetStringW(const uint8_t *data, uint32_t data_len, kor_wchar *out, uint32_t *out_len);
/* 0, 10, KOR_AHS_E_HEX_ODD, KOR_AHS_E_HEX_CHAR. */
uint32_t KOR_API kor_ahs_ExtToInt_OctetStringA(const char *text, int32_t text_len, kor_asn1_ctx *ctx, uintptr_t aux);
uint32_t KOR_API kor_ahs_ExtToInt_OctetStringW(const kor_wchar *text, int32_t text_len, kor_asn1_ctx *ctx, uintptr_t aux);
/* 0, 6, 11 and KOR_AHS_E_WRONG_TAG (both with *out_len = 0). */
uint32_t KOR_API kor_ahs_IntToExt_OctetStringA(kor_asn1_ctx *ctx, char *out, uint32_t *out_len, uintptr_t aux);
uint32_t KOR_API kor_ahs_IntToExt_OctetStringW(kor_asn1_ctx *ctx, kor_wchar *out, uint32_t *out_len, uintptr_t aux);

/* ---- Object identifier: dotted decimal (no "OID." prefix) <-> OBJECT IDENTIFIER ---- */

/* 0, 10, KOR_AHS_E_OID (also after raising KOR_AHS_E_OID_CHAR). */
uint32_t KOR_API kor_ahs_ExtToInt_OidA(const char *text, int32_t text_len, kor_asn1_ctx *ctx, uintptr_t aux);
uint32_t KOR_API kor_ahs_ExtToInt_OidW(const kor_wchar *text, int32_t text_len, kor_asn1_ctx *ctx, uintptr_t aux);
/* 0, 6 (*out_len = a size that suffices), 11, KOR_AHS_E_WRONG_TAG. */
uint32_t KOR_API kor_ahs_IntToExt_OidA(kor_asn1_ctx *ctx, char *out, uint32_t *out_len, uintptr_t aux);
uint32_t KOR_API kor_ahs_IntToExt_OidW(kor_asn1_ctx *ctx, kor_wchar *out, uint32_t *out_len, uintptr_t aux);

/* ---- UTC time: YYMMDDhhmm[ss][Z|+hhmm|-hhmm], stored unchanged <-> UTCTime. W: 9 ---- */

/* 0, KOR_AHS_E_UTC_TIME. */
uint32_t KOR_API kor_ahs_ExtToInt_UTCTimeA(const char *text, int32_t text_len, kor_asn1_ctx *ctx, uintptr_t aux);
uint32_t KOR_API kor_ahs_ExtToInt_UTCTimeW(const kor_wchar *text, int32_t text_len, kor_asn1_ctx *ctx, uintptr_t aux);
/* 0, 6, 11, KOR_AHS_E_WRONG_TAG. */
uint32_t KOR_API kor_ahs_IntToExt_UTCTimeA(kor_asn1_ctx *ctx, char *out, uint32_t *out_len, uintptr_t aux);
uint32_t KOR_API kor_ahs_IntToExt_UTCTimeW(kor_asn1_ctx *ctx, kor_wchar *out, uint32_t *out_len, uintptr_t aux);

/* ---- Distinguished name and RDN, text form; aux = (uintptr_t)schema. W: 9 for keyword types ---- */

/* 0, 9, 10, a parser event code, or the type/value handler's result. */
uint32_t KOR_API kor_ahs_ExtToInt_DistinguishedNameA(const char *text, int32_t text_len, kor_asn1_ctx *ctx, uintptr_t aux);
uint32_t KOR_API kor_ahs_ExtToInt_DistinguishedNameW(const kor_wchar *text, int32_t text_len, kor_asn1_ctx *ctx, uintptr_t aux);
/* RDNs joined by ',', AVAs by '+'; struct_out (may be NULL) is only cleared; 0, 6, 9, 11, an event code. */
uint32_t KOR_API kor_ahs_IntToExt_DistinguishedNameA(kor_asn1_ctx *ctx, char *out, uint32_t *out_len, kor_ahs_dn *struct_out, uintptr_t aux);
uint32_t KOR_API kor_ahs_IntToExt_DistinguishedNameW(kor_asn1_ctx *ctx, kor_wchar *out, uint32_t *out_len, kor_ahs_dnW *struct_out, uintptr_t aux);
/* One RDN as a SET; 0, 9, 10, KOR_AHS_E_SCHEMA (unraised, for ',' or ';'), an event code. */
uint32_t KOR_API kor_ahs_ExtToInt_RDNA(const char *text, int32_t text_len, kor_asn1_ctx *ctx, uintptr_t aux);
uint32_t KOR_API kor_ahs_ExtToInt_RDNW(const kor_wchar *text, int32_t text_len, kor_asn1_ctx *ctx, uintptr_t aux);
/* SETs at the current level; struct_out is ignored (pass NULL); 0, 6, 9, KOR_AHS_E_DECODE, an event code. */
uint32_t KOR_API kor_ahs_IntToExt_RDNA(kor_asn1_ctx *ctx, char *out, uint32_t *out_len, void *struct_out, uintptr_t aux);
uint32_t KOR_API kor_ahs_IntToExt_RDNW(kor_asn1_ctx *ctx, kor_wchar *out, uint32_t *out_len, void *struct_out, uintptr_t aux);

/* ---- Distinguished name structure form ---- */

/* Parses into *dn; with dn->buffer NULL the text itself is rewritten in place (hence not const); 0, 10, a parser event code. */
uint32_t KOR_API kor_ahs_ExtToStruct_DistinguishedNameA(char *text, int32_t text_len, kor_ahs_dn *dn);
uint32_t KOR_API kor_ahs_ExtToStruct_DistinguishedNameW(kor_wchar *text, int32_t text_len, kor_ahs_dnW *dn);
/* Formats *dn, quoting and escaping values as needed; 0, 6. */
uint32_t KOR_API kor_ahs_StructToExt_DistinguishedNameA(const kor_ahs_dn *dn, char *out, uint32_t *out_len);
uint32_t KOR_API kor_ahs_StructToExt_DistinguishedNameW(const kor_ahs_dnW *dn, kor_wchar *out, uint32_t *out_len);
/* Encodes *dn as a Name; the first failing AVA's result. */
uint32_t KOR_API kor_ahs_StructTo_Int_DistinguishedNameA(const kor_ahs_dn *dn, kor_asn1_ctx *ctx, kor_sc_schema *schema);
uint32_t KOR_API kor_ahs_StructTo_Int_DistinguishedNameW(const kor_ahs_dnW *dn, kor_asn1_ctx *ctx, kor_sc_schema *schema);
/* Releases the heap nodes of a kor_ahs_dn or kor_ahs_dnW after a successful parse; not the record or its buffer. */
void KOR_API kor_ahs_Free_DistinguishedName(void *dn);

/* ---- Attribute types and values (schema-driven). W: always 9 ---- */

/* Keyword -> OID element; aux = (uintptr_t)schema; 0, KOR_AHS_E_UNKNOWN_ATTR, KOR_AHS_E_SCHEMA. */
uint32_t KOR_API kor_ahs_ExtToInt_attrtypeA(const char *text, int32_t text_len, kor_asn1_ctx *ctx, uintptr_t aux);
uint32_t KOR_API kor_ahs_ExtToInt_attrtypeW(const kor_wchar *text, int32_t text_len, kor_asn1_ctx *ctx, uintptr_t aux);
/* OID element -> first keyword; 0, 11, KOR_AHS_E_WRONG_TAG, KOR_AHS_E_UNKNOWN_ATTR, KOR_AHS_E_DECODE (also when it does not fit). */
uint32_t KOR_API kor_ahs_IntToExt_attrtypeA(kor_asn1_ctx *ctx, char *out, uint32_t *out_len, uintptr_t aux);
uint32_t KOR_API kor_ahs_IntToExt_attrtypeW(kor_asn1_ctx *ctx, kor_wchar *out, uint32_t *out_len, uintptr_t aux);
/* Value text -> element by the syntax of the type keyword; 0, 9, KOR_AHS_E_UNKNOWN_ATTR, KOR_AHS_E_SCHEMA, or the syntax handler's result. */
uint32_t KOR_API kor_ahs_ExtToInt_attrvalueA(const char *type, int32_t type_len, const char *value, int32_t value_len, kor_asn1_ctx *ctx, kor_sc_schema *schema);
uint32_t KOR_API kor_ahs_ExtToInt_attrvalueW(const kor_wchar *type, int32_t type_len, const kor_wchar *value, int32_t value_len, kor_asn1_ctx *ctx, kor_sc_schema *schema);
/* Element -> value text (or bytes) by the syntax of the type keyword; 0, 6, 9, 10, 11, KOR_AHS_E_SCHEMA, KOR_AHS_E_WRONG_TAG, or the syntax handler's result. */
uint32_t KOR_API kor_ahs_IntToExt_attrvalueA(const char *type, int32_t type_len, kor_asn1_ctx *ctx, char *out, uint32_t *out_len, kor_sc_schema *schema);
uint32_t KOR_API kor_ahs_IntToExt_attrvalueW(const kor_wchar *type, int32_t type_len, kor_asn1_ctx *ctx, kor_wchar *out, uint32_t *out_len, kor_sc_schema *schema);

/* ---- Facsimile telephone number: number[$param...] <-> SEQUENCE { PrintableString, BIT STRING } ---- */

/* Pointers into text or to the constant parameter names; 0, KOR_AHS_E_FAX_*. */
uint32_t KOR_API kor_ahs_ExtToStruct_FaxTelephoneNumberA(const char *text, int32_t text_len, kor_ahs_fax_telephone_number *fax);
uint32_t KOR_API kor_ahs_ExtToStruct_FaxTelephoneNumberW(const kor_wchar *text, int32_t text_len, kor_ahs_fax_telephone_numberW *fax);
/* 0, or the telephone number's PrintableString result (W: 9 or KOR_AHS_E_PRINTABLE_CHAR). */
uint32_t KOR_API kor_ahs_StructToInt_FaxTelephoneNumberA(const kor_ahs_fax_telephone_number *fax, kor_asn1_ctx *ctx);
uint32_t KOR_API kor_ahs_StructToInt_FaxTelephoneNumberW(const kor_ahs_fax_telephone_numberW *fax, kor_asn1_ctx *ctx);
/* Number, then "$" and each present parameter's own text; 0, 6. */
uint32_t KOR_API kor_ahs_StructToExt_FaxTelephoneNumberA(const kor_ahs_fax_telephone_number *fax, char *out, uint32_t *out_len);
uint32_t KOR_API kor_ahs_StructToExt_FaxTelephoneNumberW(const kor_ahs_fax_telephone_numberW *fax, kor_wchar *out, uint32_t *out_len);
/* ExtToStruct, then StructToInt. */
uint32_t KOR_API kor_ahs_ExtToInt_FaxTelephoneNumberA(const char *text, int32_t text_len, kor_asn1_ctx *ctx, uintptr_t aux);
uint32_t KOR_API kor_ahs_ExtToInt_FaxTelephoneNumberW(const kor_wchar *text, int32_t text_len, kor_asn1_ctx *ctx, uintptr_t aux);
/* struct_out required, pointers into out; 0, 6, 8, 11, KOR_AHS_E_FAX_BITS, KOR_AHS_E_WRONG_TAG, string results. */
uint32_t KOR_API kor_ahs_IntToExt_FaxTelephoneNumberA(kor_asn1_ctx *ctx, char *out, uint32_t *out_len, kor_ahs_fax_telephone_number *struct_out, uintptr_t aux);
uint32_t KOR_API kor_ahs_IntToExt_FaxTelephoneNumberW(kor_asn1_ctx *ctx, kor_wchar *out, uint32_t *out_len, kor_ahs_fax_telephone_numberW *struct_out, uintptr_t aux);

/* ---- Postal address: line$line$... (1 to 32 lines) <-> SEQUENCE OF DirectoryString ---- */

/* Entries point into text; 0, KOR_AHS_E_POSTAL_EMPTY, KOR_AHS_E_POSTAL_LINE_LONG, KOR_AHS_E_POSTAL_LINES. */
uint32_t KOR_API kor_ahs_ExtToStruct_PostalAddressA(const char *text, int32_t text_len, kor_ahs_postal_address *pa);
uint32_t KOR_API kor_ahs_ExtToStruct_PostalAddressW(const kor_wchar *text, int32_t text_len, kor_ahs_postal_addressW *pa);
/* Present entries in order; 0 or a line's DirectoryString result (W: 9, or 0 for no line). */
uint32_t KOR_API kor_ahs_StructToInt_PostalAddressA(const kor_ahs_postal_address *pa, kor_asn1_ctx *ctx);
uint32_t KOR_API kor_ahs_StructToInt_PostalAddressW(const kor_ahs_postal_addressW *pa, kor_asn1_ctx *ctx);
/* Present lines joined by "$"; 0, 6. */
uint32_t KOR_API kor_ahs_StructToExt_PostalAddressA(const kor_ahs_postal_address *pa, char *out, uint32_t *out_len);
uint32_t KOR_API kor_ahs_StructToExt_PostalAddressW(const kor_ahs_postal_addressW *pa, kor_wchar *out, uint32_t *out_len);
/* ExtToStruct, then StructToInt. */
uint32_t KOR_API kor_ahs_ExtToInt_PostalAddressA(const char *text, int32_t text_len, kor_asn1_ctx *ctx, uintptr_t aux);
uint32_t KOR_API kor_ahs_ExtToInt_PostalAddressW(const kor_wchar *text, int32_t text_len, kor_asn1_ctx *ctx, uintptr_t aux);
/* struct_out required, entries point into out; 0, 6, 11, KOR_AHS_E_POSTAL_READ_LONG, KOR_AHS_E_WRONG_TAG (W: 9). */
uint32_t KOR_API kor_ahs_IntToExt_PostalAddressA(kor_asn1_ctx *ctx, char *out, uint32_t *out_len, kor_ahs_postal_address *struct_out, uintptr_t aux);
uint32_t KOR_API kor_ahs_IntToExt_PostalAddressW(kor_asn1_ctx *ctx, kor_wchar *out, uint32_t *out_len, kor_ahs_postal_addressW *struct_out, uintptr_t aux);

/* ---- Telex number: number$country$answerback (or "number answerback country") <-> SEQUENCE of 3 PrintableStrings ---- */

/* Parts point into text; 0, KOR_AHS_E_TELEX. */
uint32_t KOR_API kor_ahs_ExtToStruct_TelexNumberA(const char *text, int32_t text_len, kor_ahs_telex_number *tx);
uint32_t KOR_API kor_ahs_ExtToStruct_TelexNumberW(const kor_wchar *text, int32_t text_len, kor_ahs_telex_numberW *tx);
/* 0, or a part's PrintableString result (W: 9 or KOR_AHS_E_PRINTABLE_CHAR). */
uint32_t KOR_API kor_ahs_StructToInt_TelexNumberA(const kor_ahs_telex_number *tx, kor_asn1_ctx *ctx);
uint32_t KOR_API kor_ahs_StructToInt_TelexNumberW(const kor_ahs_telex_numberW *tx, kor_asn1_ctx *ctx);
/* number$country$answerback; 0, 6. */
uint32_t KOR_API kor_ahs_StructToExt_TelexNumberA(const kor_ahs_telex_number *tx, char *out, uint32_t *out_len);
uint32_t KOR_API kor_ahs_StructToExt_TelexNumberW(const kor_ahs_telex_numberW *tx, kor_wchar *out, uint32_t *out_len);
/* ExtToStruct, then StructToInt. */
uint32_t KOR_API kor_ahs_ExtToInt_TelexNumberA(const char *text, int32_t text_len, kor_asn1_ctx *ctx, uintptr_t aux);
uint32_t KOR_API kor_ahs_ExtToInt_TelexNumberW(const kor_wchar *text, int32_t text_len, kor_asn1_ctx *ctx, uintptr_t aux);
/* struct_out may be NULL, parts point into out; 0, 6, 11, string results (W: 9). */
uint32_t KOR_API kor_ahs_IntToExt_TelexNumberA(kor_asn1_ctx *ctx, char *out, uint32_t *out_len, kor_ahs_telex_number *struct_out, uintptr_t aux);
uint32_t KOR_API kor_ahs_IntToExt_TelexNumberW(kor_asn1_ctx *ctx, kor_wchar *out, uint32_t *out_len, kor_ahs_telex_numberW *struct_out, uintptr_t aux);

#ifdef __cplusplus
}
#endif

#endif /* LYRDUA_KOR_AHS_H */
