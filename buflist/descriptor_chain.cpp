// Descriptors and their blocks come from the memory hooks and go back to them
// with the sizes they were requested with.
#include "buflist/buffer_list.hpp"
#include "evtlib/memory_hooks.hpp"

#include <cstddef>

namespace lyrdua::buflist {

// The descriptor is shared with the transport stack: its layout is fixed.
static_assert(sizeof(void *) != 4 ||
                  (sizeof(kor_pelk_buf) == 36 && offsetof(kor_pelk_buf, previous) == 32),
              "32-bit descriptor layout");
static_assert(sizeof(void *) != 8 ||
                  (sizeof(kor_pelk_buf) == 56 && offsetof(kor_pelk_buf, previous) == 48),
              "64-bit descriptor layout");

kor_pelk_buf *new_descriptor(void *alloc_context) {
  auto *descriptor =
      static_cast<kor_pelk_buf *>(evt::allocate_memory(sizeof(kor_pelk_buf), alloc_context));
  if (descriptor == nullptr) return nullptr;
  auto *block = static_cast<uint8_t *>(evt::allocate_memory(KOR_BUFLIST_BLOCK_SIZE, alloc_context));
  if (block == nullptr) {
    evt::release_memory(descriptor, sizeof(kor_pelk_buf), alloc_context);
    return nullptr;
  }
  // The reserved words belong to the transport stack and are left as allocated.
  descriptor->next = nullptr;
  descriptor->previous = nullptr;
  descriptor->block = block;
  descriptor->block_size = KOR_BUFLIST_BLOCK_SIZE;
  descriptor->data_start = block;
  descriptor->data_length = 0;
  return descriptor;
}

void release_chain(kor_pelk_buf *chain, void *alloc_context) {
  while (chain != nullptr) {
    kor_pelk_buf *next = chain->next;
    if (chain->block != nullptr) {
      evt::release_memory(chain->block, KOR_BUFLIST_BLOCK_SIZE, alloc_context);
    }
    evt::release_memory(chain, sizeof(kor_pelk_buf), alloc_context);
    chain = next;
  }
}

void link_before(kor_buflist *list, kor_pelk_buf *descriptor, kor_pelk_buf *before) {
  descriptor->next = before;
  descriptor->previous = before->previous;
  if (before->previous != nullptr) {
    before->previous->next = descriptor;
  } else {
    list->first = descriptor;
  }
  before->previous = descriptor;
}

void link_after(kor_buflist *list, kor_pelk_buf *descriptor, kor_pelk_buf *after) {
  if (after == nullptr) {
    descriptor->previous = nullptr;
    descriptor->next = list->first;
    if (list->first != nullptr) list->first->previous = descriptor;
    list->first = descriptor;
    return;
  }
  descriptor->previous = after;
  descriptor->next = after->next;
  if (after->next != nullptr) after->next->previous = descriptor;
  after->next = descriptor;
}

kor_pelk_buf *last_descriptor(kor_pelk_buf *chain) {
  if (chain == nullptr) return nullptr;
  while (chain->next != nullptr) chain = chain->next;
  return chain;
}

}  // namespace lyrdua::buflist
