// The buffer list: a data stream whose buffers are transport descriptors, and
// the chain handling that its stream operations and the C API share.
#pragma once

#include <lyrdua/kor_buflist.h>

#include <cstdint>

// The opaque list of the C API. Its first member makes it a data stream.
struct kor_buflist {
  kor_asn1_dstrm base;
  uint32_t direction;  // KOR_ASN1_DSTRM_WRITE or KOR_ASN1_DSTRM_READ
  bool restart;        // the next read starts again from an end of the chain
  void *alloc_context;
  kor_pelk_buf *first;
  kor_pelk_buf *current;
};

namespace lyrdua::buflist {

extern const kor_asn1_dstrm_ops buffer_list_ops;

inline kor_buflist *as_list(kor_asn1_dstrm *stream) {
  return reinterpret_cast<kor_buflist *>(stream);
}

// A fresh descriptor with an empty block, data start at the block; null when
// the allocation hook refuses either (nothing is kept then).
kor_pelk_buf *new_descriptor(void *alloc_context);

// Releases every descriptor from chain along next, each with its block.
void release_chain(kor_pelk_buf *chain, void *alloc_context);

// Links descriptor into the chain of list in front of before (not null).
void link_before(kor_buflist *list, kor_pelk_buf *descriptor, kor_pelk_buf *before);

// Links descriptor into the chain of list right after after (as first when
// after is null).
void link_after(kor_buflist *list, kor_pelk_buf *descriptor, kor_pelk_buf *after);

kor_pelk_buf *last_descriptor(kor_pelk_buf *chain);

}  // namespace lyrdua::buflist
