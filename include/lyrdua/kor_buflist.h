/* lyrdua/kor_buflist.h - buffer lists: BER data streams over transport buffer chains. */
#ifndef LYRDUA_KOR_BUFLIST_H
#define LYRDUA_KOR_BUFLIST_H

#include "kor_types.h"
#include "kor_asn1.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Transport buffer descriptor; a chain in order holds the data in order.
 * 36 octets on 32-bit targets; larger where pointers are 64-bit. Descriptors
 * are allocated and released through the memory hooks with
 * sizeof(kor_pelk_buf), blocks with KOR_BUFLIST_BLOCK_SIZE. */
typedef struct kor_pelk_buf kor_pelk_buf;
struct kor_pelk_buf {
    kor_pelk_buf *next;     /* following descriptor, or NULL */
    uint8_t *block;         /* the data block */
    uint32_t block_size;    /* size of the block in octets */
    uint8_t *data_start;    /* first valid octet inside the block */
    uint32_t data_length;   /* valid octets from data_start */
    uint32_t reserved[3];   /* not used by this library; left as allocated */
    kor_pelk_buf *previous; /* preceding descriptor, or NULL */
};

/* Size of every data block that a buffer list allocates. */
#define KOR_BUFLIST_BLOCK_SIZE 8192u

/*
 * A kor_buflist is a kor_asn1_dstrm (its first member), so it is handed to a
 * context as (kor_asn1_dstrm *)list and comes back from kor_asn1_get_dstrm as
 * a pointer that is cast to (kor_buflist *). All its memory comes from the
 * hooks of lyr_dua_init, called with alloc_context.
 */

/* New empty list for writing, or NULL when the allocation hook fails. */
kor_buflist *KOR_API kor_buflist_create(void *alloc_context);
/* Releases every descriptor with its block, then the list. NULL is ignored. */
void KOR_API kor_buflist_destroy(kor_buflist *list);
/* Releases the list alone and returns its chain (NULL when empty), which now belongs to the caller. */
kor_pelk_buf *KOR_API kor_buflist_toPelk(kor_buflist *list);
/* Takes ownership of a non-empty chain for reading; NULL when the allocation hook fails. */
kor_buflist *KOR_API kor_buflist_fromPelk(kor_pelk_buf *chain, void *alloc_context);

#ifdef __cplusplus
}
#endif

#endif /* LYRDUA_KOR_BUFLIST_H */
