/* lyrdua/kor_cnv.h - T.61 <-> Latin-1 conversion. */
#ifndef LYRDUA_KOR_CNV_H
#define LYRDUA_KOR_CNV_H

#include "kor_types.h"

#ifdef __cplusplus
extern "C" {
#endif

/*
 * Both functions convert src_len octets in one call; no terminator is looked
 * for or written. dst NULL measures: *len receives the length the output
 * would have. Otherwise *len is the capacity of dst on entry and the octets
 * written on return. len and err_pos may be NULL (a NULL len means capacity 0).
 * *err_pos receives the input index where the conversion stopped, for
 * results KOR_CNV_E_INVALID, KOR_CNV_E_INCOMPLETE and KOR_CNV_E_NO_ROOM.
 * Usual use: measure, allocate *len octets, convert with that capacity.
 */

#define KOR_CNV_OK           0u   /* converted */
#define KOR_CNV_E_INVALID    1u   /* unmappable or invalid octet, unsupported designation or shift */
#define KOR_CNV_E_NOMEM      301u /* no memory for measuring */
#define KOR_CNV_E_INCOMPLETE 302u /* input ends inside an escape or control sequence, or a diacritic without its letter */
#define KOR_CNV_E_NO_ROOM    303u /* dst too small; *len = octets written */

/* Latin-1 (ISO 8859-1) to T.61; accented letters become diacritic + base letter. */
uint32_t KOR_API kor_cnv_latin1_to_t61_translate(const uint8_t *src, uint32_t src_len, uint8_t *dst, uint32_t *len, uint32_t *err_pos);
/* T.61 to Latin-1; diacritic + base letter are composed again. */
uint32_t KOR_API kor_cnv_t61_to_latin1_translate(const uint8_t *src, uint32_t src_len, uint8_t *dst, uint32_t *len, uint32_t *err_pos);

#ifdef __cplusplus
}
#endif

#endif /* LYRDUA_KOR_CNV_H */
