// The C API of the buffer lists: creation, release, and the hand-over of
// chains to and from the transport stack.
#include <lyrdua/kor_buflist.h>

#include "buflist/buffer_list.hpp"
#include "evtlib/memory_hooks.hpp"
#include "platform/export.hpp"

namespace lyrdua::buflist {
namespace {

kor_buflist *new_list(kor_pelk_buf *chain, kor_pelk_buf *current, void *alloc_context) {
  auto *list = static_cast<kor_buflist *>(evt::allocate_memory(sizeof(kor_buflist), alloc_context));
  if (list == nullptr) return nullptr;
  list->base.ops = &buffer_list_ops;
  list->direction = KOR_ASN1_DSTRM_WRITE;
  list->restart = false;
  list->alloc_context = alloc_context;
  list->first = chain;
  list->current = current;
  return list;
}

void release_list(kor_buflist *list) {
  evt::release_memory(list, sizeof(kor_buflist), list->alloc_context);
}

// A received chain may lack its back links; reading backwards needs them.
kor_pelk_buf *link_backwards(kor_pelk_buf *chain) {
  kor_pelk_buf *previous = nullptr;
  for (kor_pelk_buf *descriptor = chain; descriptor != nullptr; descriptor = descriptor->next) {
    descriptor->previous = previous;
    previous = descriptor;
  }
  return previous;
}

}  // namespace
}  // namespace lyrdua::buflist

using namespace lyrdua::buflist;

extern "C" {

LYRDUA_EXPORT kor_buflist *KOR_API kor_buflist_create(void *alloc_context) {
  return new_list(nullptr, nullptr, alloc_context);
}

LYRDUA_EXPORT void KOR_API kor_buflist_destroy(kor_buflist *list) {
  if (list == nullptr) return;
  release_chain(list->first, list->alloc_context);
  release_list(list);
}

LYRDUA_EXPORT kor_pelk_buf *KOR_API kor_buflist_toPelk(kor_buflist *list) {
  if (list == nullptr) return nullptr;
  kor_pelk_buf *chain = list->first;
  release_list(list);
  return chain;
}

LYRDUA_EXPORT kor_buflist *KOR_API kor_buflist_fromPelk(kor_pelk_buf *chain, void *alloc_context) {
  // The back links are set only once the list exists, so that a refused
  // allocation leaves the caller's chain exactly as it was.
  kor_buflist *list = new_list(chain, nullptr, alloc_context);
  if (list == nullptr) return nullptr;
  list->current = link_backwards(chain);
  return list;
}

}  // extern "C"
