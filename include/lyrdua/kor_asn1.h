/* lyrdua/kor_asn1.h - BER context, writer, reader, data streams and printer. */
#ifndef LYRDUA_KOR_ASN1_H
#define LYRDUA_KOR_ASN1_H

#include "kor_types.h"

#ifdef __cplusplus
extern "C" {
#endif

/* ---- Data streams -------------------------------------------------------
 * A data stream is any object whose first member is a kor_asn1_dstrm; every
 * operation receives the stream object itself as its first argument. */
typedef struct kor_asn1_dstrm kor_asn1_dstrm;
typedef struct kor_asn1_dstrm_ops kor_asn1_dstrm_ops;

struct kor_asn1_dstrm_ops {
    /* Reading: deliver the next non-empty input chunk in *buf, *len. */
    uint32_t (KOR_API *get_fwd_buffer)(kor_asn1_dstrm *strm, uint8_t **buf, uint32_t *len);
    /* Forward writers only: count octets at p have been filled. Answers 0. */
    uint32_t (KOR_API *fwd_filled)(kor_asn1_dstrm *strm, uint8_t *p, uint32_t count);
    /* Encoding: deliver a fresh output buffer, which is filled from its end. */
    uint32_t (KOR_API *get_bwd_buffer)(kor_asn1_dstrm *strm, uint8_t **buf, uint32_t *len);
    /* Encoding: the count octets starting at first are final. */
    uint32_t (KOR_API *bwd_filled)(kor_asn1_dstrm *strm, uint8_t *first, uint32_t count);
    /* Start of use in direction KOR_ASN1_DSTRM_WRITE or KOR_ASN1_DSTRM_READ. */
    void (KOR_API *open)(kor_asn1_dstrm *strm, uint32_t direction);
    /* Memory from the stream's allocator, or NULL. Not called by the codec. */
    void *(KOR_API *alloc)(kor_asn1_dstrm *strm, uint32_t size);
};

struct kor_asn1_dstrm {
    const kor_asn1_dstrm_ops *ops; /* first member of every stream object */
};

/* ---- Tag arguments ----------------------------------------------------
 * Bits 31-30 hold the class, bits 29-0 the tag number (below 2^24). The
 * constructed bit is never part of a tag argument: the writer sets it itself
 * and the reader reports it through kor_asn1_is_constructed. A tag of 0 from
 * the reader means "no further element" (or an error is recorded). */
#define KOR_ASN1_CLASS_UNIVERSAL   0x00000000u
#define KOR_ASN1_CLASS_APPLICATION 0x40000000u
#define KOR_ASN1_CLASS_CONTEXT     0x80000000u
#define KOR_ASN1_CLASS_PRIVATE     0xC0000000u
#define KOR_ASN1_CLASS_MASK        0xC0000000u
#define KOR_ASN1_NUMBER_MASK       0x3FFFFFFFu

#define KOR_ASN1_TAG_BOOLEAN          1u
#define KOR_ASN1_TAG_INTEGER          2u
#define KOR_ASN1_TAG_BIT_STRING       3u
#define KOR_ASN1_TAG_OCTET_STRING     4u
#define KOR_ASN1_TAG_NULL             5u
#define KOR_ASN1_TAG_OID              6u
#define KOR_ASN1_TAG_ENUMERATED       10u
#define KOR_ASN1_TAG_SEQUENCE         16u
#define KOR_ASN1_TAG_SET              17u
#define KOR_ASN1_TAG_NUMERIC_STRING   18u
#define KOR_ASN1_TAG_PRINTABLE_STRING 19u
#define KOR_ASN1_TAG_T61_STRING       20u
#define KOR_ASN1_TAG_IA5_STRING       22u
#define KOR_ASN1_TAG_UTC_TIME         23u
#define KOR_ASN1_TAG_GENERALIZED_TIME 24u

/* ---- Modes and lengths -------------------------------------------------- */
#define KOR_ASN1_MODE_ENCODE 1u          /* lay octets backwards into the buffer */
#define KOR_ASN1_MODE_DECODE 2u          /* read octets forwards */
#define KOR_ASN1_UNBOUNDED   0xFFFFFFFFu /* decoding length: input with no known end */
#define KOR_ASN1_INDEFINITE  (-1)        /* kor_asn1_get_length of an indefinite length */
#define KOR_ASN1_MAX_FRAMES  40u         /* nesting bound: outermost level + 39 */

/* ---- Error codes recorded in a context (the first one stays) ----------- */
#define KOR_ASN1_E_NESTING        0xE6F00010u /* frame stack full */
#define KOR_ASN1_E_LEVEL          0xE6F00011u /* outermost level already holds its element, or no level to close */
#define KOR_ASN1_E_WRONG_MODE     0xE6F00012u /* not valid in this direction or state (e.g. put_tag on an empty level) */
#define KOR_ASN1_E_INT_EMPTY      0xE6F00013u /* INTEGER with no contents octets */
#define KOR_ASN1_E_INT_TOO_LONG   0xE6F00014u /* INTEGER with more than 4 contents octets */
#define KOR_ASN1_E_NO_CONTENTS    0xE6F00015u /* get_octets with no element whose contents could be read */
#define KOR_ASN1_E_STATE          0xE6F00016u /* inconsistent state; also an unknown stream answer */
#define KOR_ASN1_E_SEQUENCE       0xE6F00017u /* call out of sequence; also: the context has no buffer */
#define KOR_ASN1_E_PRIMITIVE      0xE6F00018u /* enter_construct on a primitive element */
#define KOR_ASN1_E_NOT_PRIMITIVE  0xE6F00019u /* get_int on an element that is not primitive */
#define KOR_ASN1_E_UNEXPECTED_TAG 0xE6F0001Au /* another tag than expected */
#define KOR_ASN1_E_EOC            0xE6F0001Bu /* end-of-contents octets where none may stand */
#define KOR_ASN1_E_END_OF_DATA    0xE6F0001Du /* no more input or room, or an element overruns its container */
#define KOR_ASN1_E_STREAM         0xE6F0001Eu /* the data stream reported a failure */
#define KOR_ASN1_E_LENGTH         0xE6F0001Fu /* a length that does not fit in 31 bits */

/* ---- Data stream answers and directions ---- */
/* Answers of get_fwd_buffer, get_bwd_buffer and bwd_filled. */
#define KOR_ASN1_DSTRM_OK   0u /* a buffer was delivered / the octets were taken */
#define KOR_ASN1_DSTRM_FAIL 1u /* recorded in the context as KOR_ASN1_E_STREAM */
#define KOR_ASN1_DSTRM_END  2u /* recorded in the context as KOR_ASN1_E_END_OF_DATA */
/* Direction given to open. */
#define KOR_ASN1_DSTRM_WRITE 0u
#define KOR_ASN1_DSTRM_READ  1u

/* ---- Context, buffers, errors, capture ---------------------------------- */

/* New context in error KOR_ASN1_E_SEQUENCE until set_buf/set_dstrm; NULL when out of memory. */
kor_asn1_ctx *KOR_API kor_asn1_new_ctx(void);
/* Releases the context with its scratch blocks and captures; never the stream or caller buffers. NULL is ignored. */
void KOR_API kor_asn1_free_ctx(kor_asn1_ctx *ctx);
/* Works on the caller's fixed buffer (mode 1 encode, 2 decode; decode length KOR_ASN1_UNBOUNDED = no end); clears the error. */
void KOR_API kor_asn1_set_buf(kor_asn1_ctx *ctx, uint32_t mode, void *buf, uint32_t len);
/* Encoding: *out = first laid octet, *len = octets laid (NULL, 0 when none or on error). */
void KOR_API kor_asn1_get_buf(kor_asn1_ctx *ctx, uint8_t **out, uint32_t *len);
/* Works on a data stream (mode 1 encode, 2 decode); calls its open; clears the error. */
void KOR_API kor_asn1_set_dstrm(kor_asn1_ctx *ctx, kor_asn1_dstrm *strm, uint32_t mode);
/* Flushes when encoding, detaches and returns the stream (not released); context is left in KOR_ASN1_E_SEQUENCE. */
kor_asn1_dstrm *KOR_API kor_asn1_get_dstrm(kor_asn1_ctx *ctx);
/* Hands the octets laid in the current stream buffer to bwd_filled; last step of a stream encoding. */
void KOR_API kor_asn1_flush(kor_asn1_ctx *ctx);
/* The recorded error, 0 when none. */
uint32_t KOR_API kor_asn1_errno(kor_asn1_ctx *ctx);
/* Records code unless an error is already recorded. */
void KOR_API kor_asn1_set_errno(kor_asn1_ctx *ctx, uint32_t code);
/* size octets owned by the context until kor_asn1_free_ctx. */
void *KOR_API kor_asn1_scratch_alloc(kor_asn1_ctx *ctx, uint32_t size);
/* Starts capturing the input consumed from here on. */
void KOR_API kor_asn1_mark(kor_asn1_ctx *ctx);
/* Input consumed since the mark (in place, or one context-owned copy across chunks); marks again. */
void KOR_API kor_asn1_get_marked(kor_asn1_ctx *ctx, const uint8_t **out, uint32_t *len);

/* ---- Writer (encoding contexts; nothing is returned, failures are recorded) ---- */

/* Lays primitive contents octets in front of those laid before. */
void KOR_API kor_asn1_put_octets(kor_asn1_ctx *ctx, const void *data, uint32_t len);
/* Lays an INTEGER's contents in minimal two's complement. */
void KOR_API kor_asn1_put_int(kor_asn1_ctx *ctx, int32_t value);
/* Starts an element with no contents octets. */
void KOR_API kor_asn1_put_novalue(kor_asn1_ctx *ctx);
/* Inserts octets that already form one complete element. */
void KOR_API kor_asn1_put_encoding(kor_asn1_ctx *ctx, const void *data, uint32_t len);
/* Lays length and identifier in front of the level's contents (constructed when it holds elements). */
void KOR_API kor_asn1_put_tag(kor_asn1_ctx *ctx, uint32_t tag);
/* Encoding: opens a level for the members of a constructed value. Decoding: enters the element just read. */
void KOR_API kor_asn1_enter_construct(kor_asn1_ctx *ctx);
/* Encoding: closes the level opened by enter_construct. */
void KOR_API kor_asn1_exit_construct(kor_asn1_ctx *ctx);

/* ---- Reader (decoding contexts; 0 / NULL / 0 once an error is recorded) ---- */

/* Reads the next identifier and length; the tag, or 0 at the end of a construct or on error. */
uint32_t KOR_API kor_asn1_get_tag(kor_asn1_ctx *ctx);
/* kor_asn1_get_tag, recording KOR_ASN1_E_UNEXPECTED_TAG when the tag read is not tag; returns the tag read. */
uint32_t KOR_API kor_asn1_expect_tag(kor_asn1_ctx *ctx, uint32_t tag);
/* Contents octets of the current element not yet consumed; KOR_ASN1_INDEFINITE; 0 on error. */
int32_t KOR_API kor_asn1_get_length(kor_asn1_ctx *ctx);
/* Contents of a primitive of 1 to 4 octets as a signed value. */
int32_t KOR_API kor_asn1_get_int(kor_asn1_ctx *ctx);
/* Contents of the current element: in place when possible, else a context-owned copy; NULL, 0 on error. */
void KOR_API kor_asn1_get_octets(kor_asn1_ctx *ctx, const uint8_t **out, uint32_t *len);
/* 1 when the current element is constructed, else 0. */
uint32_t KOR_API kor_asn1_is_constructed(kor_asn1_ctx *ctx);
/* Consumes the rest of the current element. */
void KOR_API kor_asn1_skip(kor_asn1_ctx *ctx);

/* ---- Printer ------------------------------------------------------------ */

/* Prints the next element, nested elements indented, to standard output; decoding errors stay in ctx. */
void KOR_API kor_asn1_print(kor_asn1_ctx *ctx);

#ifdef __cplusplus
}
#endif

#endif /* LYRDUA_KOR_ASN1_H */
