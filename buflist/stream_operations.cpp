// The six operations through which a BER context writes into a buffer list
// (backwards, as the codec encodes, or forwards) and reads from it.
#include "buflist/buffer_list.hpp"
#include "evtlib/memory_hooks.hpp"

namespace lyrdua::buflist {
namespace {

// An empty descriptor offers its whole block, whichever way it is filled.
void make_whole_block_free(kor_pelk_buf *descriptor) {
  if (descriptor->data_length == 0) descriptor->data_start = descriptor->block;
}

// Room behind the valid data, where forward writing continues.
uint32_t room_behind_data(kor_pelk_buf *descriptor) {
  make_whole_block_free(descriptor);
  uint32_t used =
      static_cast<uint32_t>(descriptor->data_start - descriptor->block) + descriptor->data_length;
  return used < descriptor->block_size ? descriptor->block_size - used : 0;
}

// Room in front of the valid data, where backward writing continues. The
// codec lays from the end of what it gets, so an empty block is free whole.
uint32_t room_in_front_of_data(kor_pelk_buf *descriptor) {
  if (descriptor->data_length == 0) return descriptor->block_size;
  return static_cast<uint32_t>(descriptor->data_start - descriptor->block);
}

// Reading: the next descriptor with data from current in the given direction;
// empty descriptors are passed over, as a delivered chunk is never empty.
uint32_t deliver_and_move(kor_buflist *list, uint8_t **buf, uint32_t *len, bool forwards) {
  kor_pelk_buf *descriptor = list->current;
  while (descriptor != nullptr && descriptor->data_length == 0) {
    descriptor = forwards ? descriptor->next : descriptor->previous;
  }
  if (descriptor == nullptr) {
    list->current = nullptr;
    return KOR_ASN1_DSTRM_END;
  }
  *buf = descriptor->data_start;
  *len = descriptor->data_length;
  list->current = forwards ? descriptor->next : descriptor->previous;
  return KOR_ASN1_DSTRM_OK;
}

uint32_t KOR_API get_fwd_buffer(kor_asn1_dstrm *stream, uint8_t **buf, uint32_t *len) {
  kor_buflist *list = as_list(stream);
  if (list->direction == KOR_ASN1_DSTRM_READ) {
    if (list->restart) {
      list->current = list->first;
      list->restart = false;
    }
    return deliver_and_move(list, buf, len, true);
  }
  kor_pelk_buf *current = list->current;
  if (current != nullptr) {
    uint32_t room = room_behind_data(current);
    if (room != 0) {
      *buf = current->data_start + current->data_length;
      *len = room;
      return KOR_ASN1_DSTRM_OK;
    }
  }
  kor_pelk_buf *descriptor = new_descriptor(list->alloc_context);
  if (descriptor == nullptr) return KOR_ASN1_DSTRM_FAIL;
  // Without a current descriptor (the list was read to its end) forward
  // writing continues at the end of the chain.
  link_after(list, descriptor, current != nullptr ? current : last_descriptor(list->first));
  list->current = descriptor;
  *buf = descriptor->block;
  *len = descriptor->block_size;
  return KOR_ASN1_DSTRM_OK;
}

uint32_t KOR_API fwd_filled(kor_asn1_dstrm *stream, uint8_t *, uint32_t count) {
  kor_buflist *list = as_list(stream);
  if (list->current == nullptr) return KOR_ASN1_DSTRM_FAIL;
  list->current->data_length += count;
  return KOR_ASN1_DSTRM_OK;
}

uint32_t KOR_API get_bwd_buffer(kor_asn1_dstrm *stream, uint8_t **buf, uint32_t *len) {
  kor_buflist *list = as_list(stream);
  if (list->direction == KOR_ASN1_DSTRM_READ) {
    if (list->restart) {
      list->current = last_descriptor(list->first);
      list->restart = false;
    }
    return deliver_and_move(list, buf, len, false);
  }
  kor_pelk_buf *current = list->current;
  if (current != nullptr) {
    uint32_t room = room_in_front_of_data(current);
    if (room != 0) {
      *buf = current->block;
      *len = room;
      return KOR_ASN1_DSTRM_OK;
    }
  }
  kor_pelk_buf *descriptor = new_descriptor(list->alloc_context);
  if (descriptor == nullptr) return KOR_ASN1_DSTRM_FAIL;
  // Backward writing puts each new block in front of the data laid so far.
  kor_pelk_buf *before = current != nullptr ? current : list->first;
  if (before != nullptr) {
    link_before(list, descriptor, before);
  } else {
    link_after(list, descriptor, nullptr);
  }
  list->current = descriptor;
  *buf = descriptor->block;
  *len = descriptor->block_size;
  return KOR_ASN1_DSTRM_OK;
}

uint32_t KOR_API bwd_filled(kor_asn1_dstrm *stream, uint8_t *first, uint32_t count) {
  kor_buflist *list = as_list(stream);
  if (list->current == nullptr) return KOR_ASN1_DSTRM_FAIL;
  list->current->data_start = first;
  list->current->data_length += count;
  return KOR_ASN1_DSTRM_OK;
}

void KOR_API open(kor_asn1_dstrm *stream, uint32_t direction) {
  kor_buflist *list = as_list(stream);
  uint32_t next = direction == KOR_ASN1_DSTRM_WRITE ? KOR_ASN1_DSTRM_WRITE : KOR_ASN1_DSTRM_READ;
  if (list->direction == KOR_ASN1_DSTRM_WRITE && next == KOR_ASN1_DSTRM_READ) {
    list->current = list->first;
  }
  list->direction = next;
  list->restart = true;
}

void *KOR_API alloc(kor_asn1_dstrm *stream, uint32_t size) {
  return evt::allocate_memory(size, as_list(stream)->alloc_context);
}

}  // namespace

const kor_asn1_dstrm_ops buffer_list_ops = {get_fwd_buffer, fwd_filled, get_bwd_buffer,
                                            bwd_filled,     open,       alloc};

}  // namespace lyrdua::buflist
