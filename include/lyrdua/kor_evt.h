/* lyrdua/kor_evt.h - events: raising, nesting, streams, filters, reading; library memory hooks. */
#ifndef LYRDUA_KOR_EVT_H
#define LYRDUA_KOR_EVT_H

#include "kor_types.h"

#ifdef __cplusplus
extern "C" {
#endif

/* ---- Types ---- */

/* One parameter of an event; owned by its record (or by the stream's copy). */
typedef struct kor_evt_param kor_evt_param;
struct kor_evt_param {
    uint32_t kind;       /* KOR_EVT_PARAM_TEXT or KOR_EVT_PARAM_BINARY */
    uint32_t index;      /* insert number: 1 is %1, 2 is %2, ... */
    void *data;          /* the bytes, always followed by one zero byte */
    uint32_t length;     /* byte count without that zero byte */
    kor_evt_param *next; /* next parameter, or NULL */
};

/* One event as readers receive it. Field order is part of the interface. */
typedef struct kor_evt_record {
    uint32_t code;          /* event code */
    uint32_t category;      /* category mask given when raised */
    uint32_t severity;      /* code >> 30 */
    uint32_t param_count;   /* parameters attached */
    uint32_t level;         /* nesting level within its group, 0 = top */
    uint32_t time;          /* seconds since 1970-01-01 00:00 UTC */
    uint32_t number;        /* sequence number from 1; also the event's handle */
    uint32_t thread;        /* id of the raising thread */
    uint32_t reserved1;     /* always 0 */
    uint32_t reserved2;     /* always 0 */
    uint32_t reserved3;     /* always 0 */
    uint32_t reserved4;     /* always 0 */
    kor_evt_param *params;  /* parameters in the order they were attached */
    uint32_t group;         /* nesting group of the raising thread, 0 = none */
    uint32_t flags;         /* KOR_EVT_REC_OPEN, KOR_EVT_REC_TERMINATOR */
} kor_evt_record;

/* Memory hooks, installed with lyr_dua_init and used by the buffer lists. The
 * allocation hook returns size bytes or NULL; the release hook frees p, which it
 * gets with the size and context it was allocated with. context is the value
 * given to kor_buflist_create or kor_buflist_fromPelk. */
typedef void *(KOR_API *kor_alloc_fn)(uint32_t size, void *context);
typedef void (KOR_API *kor_release_fn)(void *p, uint32_t size, void *context);

/* ---- Event codes and categories -------------------------------------------
 * An event code is laid out as a Windows message code: bits 31-30 severity
 * (0 lowest .. 3 highest), bit 29 customer, bits 27-16 facility, bits 15-0
 * number. Every code of this library is 0xE6F0xxxx (severity 3). */
#define KOR_EVT_SEVERITY(code) ((uint32_t)(code) >> 30)

#define KOR_EVT_CAT_NONE   0x000u /* never selected, so never recorded (configuration store) */
#define KOR_EVT_CAT_SYNTAX 0x200u /* attribute syntax handlers */

/* ---- kor_evt_put_event flags ---- */
#define KOR_EVT_OPEN    1u /* parameters follow; complete with kor_evt_end_event */
#define KOR_EVT_CLOSE   2u /* the event closes the thread's current nesting level */
#define KOR_EVT_ENCLOSE 4u /* the event becomes the parent of the event raised just before it */

/* ---- kor_evt_record.flags ---- */
#define KOR_EVT_REC_TERMINATOR 0x00000008u /* the record ends a group */
#define KOR_EVT_REC_OPEN       0x80000000u /* raised open and not yet ended */

/* ---- kor_evt_param.kind ---- */
#define KOR_EVT_PARAM_TEXT   0u
#define KOR_EVT_PARAM_BINARY 1u

/* ---- Streams ---- */
#define KOR_EVT_STREAM_LIBRARY    0u          /* the library's own (console printing) */
#define KOR_EVT_STREAM_CONSOLE    1u          /* selected events are printed to standard output */
#define KOR_EVT_STREAM_FIRST_USER 8u          /* 1..7 well-known, 8..32 from kor_evt_stream_alloc */
#define KOR_EVT_STREAM_LAST       32u
#define KOR_EVT_FILTER_THREAD     0x80000000u /* filter mask bit: the mask selects the calling thread's events only */

/* ---- Stream options ---- */
#define KOR_EVT_OPT_FLAT         1u /* every selected event in order of raising */
#define KOR_EVT_OPT_GROUPED      2u /* events by finished groups (the default) */
#define KOR_EVT_OPT_PARENT_FIRST 4u /* within a tree, the parent before its children */
#define KOR_EVT_OPT_NESTED       8u /* include the nested events of a group's top-level events */

/* Size of the buffer that kor_evt_get_text formats into, NUL included. */
#define KOR_EVT_TEXT_SIZE 1024u

/* ---- Raising ---- */

/* Records an event if some stream wants it; its handle (number), or 0 when not recorded. */
uint32_t KOR_API kor_evt_put_event(uint32_t code, uint32_t category, uint32_t flags);
/* Attaches a copy of length bytes of text as text parameter index; handle 0 is ignored. */
void KOR_API kor_evt_putstrn(uint32_t handle, uint32_t index, const char *text, uint32_t length);
/* Attaches a copy of length bytes as binary parameter index; handle 0 is ignored. */
void KOR_API kor_evt_putbin(uint32_t handle, uint32_t index, const void *data, uint32_t length);
/* Completes an event raised with KOR_EVT_OPEN; handle 0 is ignored. */
void KOR_API kor_evt_end_event(uint32_t handle);

/* ---- Nesting (per thread) ---- */

/* Opens a nesting level; the outermost one starts a new group. */
void KOR_API kor_evt_push(void);
/* Closes the innermost level; its events move up one level; the last one ends the group. */
void KOR_API kor_evt_pop(void);
/* Closes every open level of the calling thread and ends its group. */
void KOR_API kor_evt_pop_all(void);

/* ---- Streams and filters ---- */

/* Sets the stream's mask for severity level 0..3 (bit 31: this thread only); the mask it replaces, or 0. */
uint32_t KOR_API kor_evt_set_filter(uint32_t stream, int32_t level, uint32_t mask);
/* Clears every mask and thread filter of the stream; it stays reserved. */
void KOR_API kor_evt_clear_filter(uint32_t stream);
/* Sets KOR_EVT_OPT_* options (flat+grouped is stored as grouped); the previous options, or 0. */
uint32_t KOR_API kor_evt_set_stream_options(uint32_t stream, uint32_t options);
/* Reserves the lowest free user stream (8..32); 0 when none is free. */
uint32_t KOR_API kor_evt_stream_alloc(void);
/* Gives back a user stream reserved by kor_evt_stream_alloc. */
void KOR_API kor_evt_stream_free(uint32_t stream);

/* ---- Reading ---- */

/* Next event of the stream, or NULL; library-owned, read-only, valid until the next read on the stream. */
kor_evt_record *KOR_API kor_evt_get_event(uint32_t stream);
/* As kor_evt_get_event, but blocks while there is none; NULL on a bad stream or a failed wait. */
kor_evt_record *KOR_API kor_evt_wait_for_event(uint32_t stream);
/* Formatted text of the stream's current event (stream-owned buffer); *length 0 and *text unchanged on failure. */
void KOR_API kor_evt_get_text(uint32_t stream, char **text, uint32_t *length);
/* First parameter with index of the current event (stream-owned data); *length 0, *kind and *data unchanged when none. */
void KOR_API kor_evt_get_param(uint32_t stream, uint32_t index, uint32_t *kind, void **data, uint32_t *length);

/* ---- Library start-up ---- */

/* Replaces the memory hooks (defaults: malloc and free); neither argument is checked. */
void KOR_API lyr_dua_init(kor_alloc_fn alloc, kor_release_fn release);

#ifdef __cplusplus
}
#endif

#endif /* LYRDUA_KOR_EVT_H */
