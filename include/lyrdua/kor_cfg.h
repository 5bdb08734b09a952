/* lyrdua/kor_cfg.h - configuration values in the registry, with a default text. */
#ifndef LYRDUA_KOR_CFG_H
#define LYRDUA_KOR_CFG_H

#include "kor_types.h"

#ifdef __cplusplus
extern "C" {
#endif

/* The product key, the same under the current-user and the machine root.
 * A handle opened with a subkey works on KOR_CFG_KEY_PATH "\" subkey. */
#define KOR_CFG_KEY_PATH "Software\\Quorvane\\Tessel Directory\\CurrentVersion"

/* ---- Sources ---- */
#define KOR_CFG_SRC_USER    1u    /* current user */
#define KOR_CFG_SRC_MACHINE 2u    /* machine */
#define KOR_CFG_SRC_DEFAULT 8u    /* the registered default text */
#define KOR_CFG_SRC_ONLY    0x10u /* added to a source: read that source alone */
#define KOR_CFG_SRC_NONE    32u   /* source found: no source holds the value */

/* ---- Result and event codes ---- */
#define KOR_CFG_E_FAILED      0xE6F0006Eu /* the operation failed (events were raised) */
#define KOR_CFG_E_NOT_FOUND   0xE6F0006Fu /* the key or value does not exist */
#define KOR_CFG_E_BUFFER      0xE6F00070u /* the caller's buffer is too small; *len = size needed */
#define KOR_CFG_E_CORRUPT     0xE6F00071u /* cause: the registry is corrupt */
#define KOR_CFG_E_ACCESS      0xE6F00072u /* cause: access denied */
#define KOR_CFG_E_SYSTEM      0xE6F00073u /* cause: another system error; %1 = its number */
#define KOR_CFG_E_OPEN_READ   0xE6F00076u /* a key cannot be opened for reading; %1 = key */
#define KOR_CFG_E_OPEN_WRITE  0xE6F00077u /* a key cannot be opened or created for writing; %1 = key */
#define KOR_CFG_E_CLOSE       0xE6F00078u /* a key cannot be closed; %1 = key */
#define KOR_CFG_E_READ_VALUE  0xE6F00079u /* a value cannot be read; %1 = key and value name */
#define KOR_CFG_E_WRITE_VALUE 0xE6F0007Au /* a value cannot be written or deleted; %1 = key and value name */

/* New handle for the product key, or for its subkey when subkey is not NULL; NULL when out of memory. */
kor_cfg *KOR_API kor_cfg_open(const char *subkey);
/* Closes the handle's keys and frees it; the code of closing the machine key (0 or KOR_CFG_E_FAILED). */
uint32_t KOR_API kor_cfg_close(kor_cfg *cfg);
/* Reads name from source on (user, machine, default text; | KOR_CFG_SRC_ONLY: that source alone); *found, *len = length. */
uint32_t KOR_API kor_cfg_get_value(kor_cfg *cfg, const char *name, uint32_t source, uint32_t *found, char *buf, uint32_t *len);
/* Writes len characters of text under source 1 or 2 (len 0 deletes the value); 0, KOR_CFG_E_FAILED, KOR_CFG_E_NOT_FOUND. */
uint32_t KOR_API kor_cfg_set_value(kor_cfg *cfg, const char *name, uint32_t source, const char *text, uint32_t len);
/* 1 when the key under source 1 or 2 can be written (it is created if absent), else 0. */
uint32_t KOR_API kor_cfg_is_writeable(kor_cfg *cfg, uint32_t source);
/* Registers the caller-owned default text (not copied; NULL unregisters). Always 0. */
uint32_t KOR_API kor_cfg_set_default(const char *text);

#ifdef __cplusplus
}
#endif

#endif /* LYRDUA_KOR_CFG_H */
