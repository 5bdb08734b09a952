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

#ifdef __cplusplus
}
#endif

#endif /* LYRDUA_KOR_AHS_H */
