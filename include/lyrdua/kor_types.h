/* lyrdua/kor_types.h - definitions shared by every lyrdua header. */
#ifndef LYRDUA_KOR_TYPES_H
#define LYRDUA_KOR_TYPES_H

#include <stdint.h>

/* Calling convention of every exported function and every callback type:
 * stdcall on 32-bit Windows, the platform's default everywhere else.
 * It stands between the return type and the name:
 *     uint32_t KOR_API kor_asn1_errno(kor_asn1_ctx *ctx);
 *     typedef void (KOR_API *fn)(void); */
#if defined(_WIN32) && !defined(_WIN64)
#define KOR_API __stdcall
#else
#define KOR_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* One UTF-16 code unit: the character type of the functions ending in W. */
typedef uint16_t kor_wchar;

/* Result of every successful operation that returns a code. */
#define KOR_OK 0u

/* Text length meaning "the text ends at its first NUL". */
#define KOR_NUL_TERMINATED (-1)

/* Opaque handles. Declared here once so that every header can use them. */
typedef struct kor_asn1_ctx kor_asn1_ctx;   /* BER context (kor_asn1.h) */
typedef struct kor_sc_schema kor_sc_schema; /* the schema (kor_sc.h) */
typedef struct kor_sc_attr kor_sc_attr;     /* an attribute type of the schema */
typedef struct kor_sc_oc kor_sc_oc;         /* an object class of the schema */
typedef struct kor_sc_syntax kor_sc_syntax; /* an attribute syntax of the schema */
typedef struct kor_cfg kor_cfg;             /* configuration handle (kor_cfg.h) */
typedef struct kor_buflist kor_buflist;     /* buffer list (kor_buflist.h) */

#ifdef __cplusplus
}
#endif

#endif /* LYRDUA_KOR_TYPES_H */
