// Helpers for the buffer-list tests: memory hooks that count and can refuse,
// chains built and inspected the way a transport stack would, and encodings
// made through the C API.
#pragma once

#include <gtest/gtest.h>
#include <lyrdua/kor_asn1.h>
#include <lyrdua/kor_buflist.h>
#include <lyrdua/kor_evt.h>

#include <cstdlib>
#include <map>
#include <vector>

namespace lyrdua::test {

// Installed with lyr_dua_init for the guard's lifetime; the library defaults
// come back afterwards. Every release must name a live pointer with the size
// and context it was allocated with; refuse_at makes that allocation call
// (counting from 0) answer null.
class CountingHooks {
 public:
  struct Allocation {
    uint32_t size;
    void *context;
  };

  CountingHooks() {
    active_ = this;
    lyr_dua_init(allocate, release);
  }
  ~CountingHooks() {
    lyr_dua_init(nullptr, nullptr);
    active_ = nullptr;
    for (auto &entry : live_) std::free(entry.first);
  }
  CountingHooks(const CountingHooks &) = delete;
  CountingHooks &operator=(const CountingHooks &) = delete;

  long refuse_at = -1;
  long calls = 0;  // allocation calls, refused ones included
  long bad_releases = 0;
  std::vector<uint32_t> sizes_asked;
  const std::map<void *, Allocation> &live() const { return live_; }

  static void *KOR_API allocate(uint32_t size, void *context) {
    CountingHooks *self = active_;
    self->sizes_asked.push_back(size);
    if (self->calls++ == self->refuse_at) return nullptr;
    void *p = std::malloc(size);
    self->live_[p] = {size, context};
    return p;
  }
  static void KOR_API release(void *p, uint32_t size, void *context) {
    CountingHooks *self = active_;
    auto found = self->live_.find(p);
    if (found == self->live_.end() || found->second.size != size ||
        found->second.context != context) {
      ++self->bad_releases;
      return;
    }
    self->live_.erase(found);
    std::free(p);
  }

 private:
  static inline CountingHooks *active_ = nullptr;
  std::map<void *, Allocation> live_;
};

// A chain as the transport stack would hand it over: one descriptor per
// piece, each piece at the given offset inside its own block, no back links.
// Everything comes from the current hooks' allocation function.
struct Piece {
  size_t offset;
  size_t length;
};
inline kor_pelk_buf *make_chain(const std::vector<uint8_t> &data, const std::vector<Piece> &pieces,
                                kor_alloc_fn allocate, void *context) {
  kor_pelk_buf *first = nullptr;
  kor_pelk_buf **link = &first;
  size_t taken = 0;
  for (const Piece &piece : pieces) {
    auto *descriptor = static_cast<kor_pelk_buf *>(allocate(sizeof(kor_pelk_buf), context));
    auto *block = static_cast<uint8_t *>(allocate(KOR_BUFLIST_BLOCK_SIZE, context));
    descriptor->next = nullptr;
    descriptor->previous = reinterpret_cast<kor_pelk_buf *>(0x1);  // stale; must be replaced
    descriptor->block = block;
    descriptor->block_size = KOR_BUFLIST_BLOCK_SIZE;
    descriptor->data_start = block + piece.offset;
    descriptor->data_length = static_cast<uint32_t>(piece.length);
    std::copy_n(data.data() + taken, piece.length, descriptor->data_start);
    taken += piece.length;
    *link = descriptor;
    link = &descriptor->next;
  }
  return first;
}

inline std::vector<uint8_t> joined(const kor_pelk_buf *chain) {
  std::vector<uint8_t> all;
  for (; chain != nullptr; chain = chain->next)
    all.insert(all.end(), chain->data_start, chain->data_start + chain->data_length);
  return all;
}

inline size_t chain_length(const kor_pelk_buf *chain) {
  size_t n = 0;
  for (; chain != nullptr; chain = chain->next) ++n;
  return n;
}

// What the transport stack does with a chain it has finished with.
inline void release_chain(kor_pelk_buf *chain, kor_release_fn release, void *context) {
  while (chain != nullptr) {
    kor_pelk_buf *next = chain->next;
    release(chain->block, KOR_BUFLIST_BLOCK_SIZE, context);
    release(chain, sizeof(kor_pelk_buf), context);
    chain = next;
  }
}

// Element i of the test encodings: an OCTET STRING of a varying length.
inline std::vector<uint8_t> element_contents(size_t i) {
  std::vector<uint8_t> contents((i * 7919) % 301);
  for (size_t k = 0; k < contents.size(); ++k) contents[k] = static_cast<uint8_t>(i * 31 + k);
  return contents;
}

// A SEQUENCE of count elements, each nested in a SET every seventh time so
// that the encoding has levels too.
inline void encode_elements(kor_asn1_ctx *ctx, size_t count) {
  kor_asn1_enter_construct(ctx);
  for (size_t i = count; i-- > 0;) {
    std::vector<uint8_t> contents = element_contents(i);
    bool nested = i % 7 == 0;
    if (nested) kor_asn1_enter_construct(ctx);
    kor_asn1_put_octets(ctx, contents.data(), static_cast<uint32_t>(contents.size()));
    kor_asn1_put_tag(ctx, KOR_ASN1_TAG_OCTET_STRING);
    if (nested) {
      kor_asn1_put_int(ctx, static_cast<int32_t>(i));
      kor_asn1_put_tag(ctx, KOR_ASN1_TAG_INTEGER);
      kor_asn1_exit_construct(ctx);
      kor_asn1_put_tag(ctx, KOR_ASN1_TAG_SET);
    }
  }
  kor_asn1_exit_construct(ctx);
  kor_asn1_put_tag(ctx, KOR_ASN1_TAG_SEQUENCE);
}

// Encodes into a new list; the list comes back from the context.
template <typename Encode>
kor_buflist *encode_into_list(Encode encode, uint32_t *error, void *context = nullptr) {
  kor_asn1_ctx *ctx = kor_asn1_new_ctx();
  kor_buflist *list = kor_buflist_create(context);
  if (list == nullptr) {
    kor_asn1_free_ctx(ctx);
    return nullptr;
  }
  kor_asn1_set_dstrm(ctx, reinterpret_cast<kor_asn1_dstrm *>(list), KOR_ASN1_MODE_ENCODE);
  encode(ctx);
  *error = kor_asn1_errno(ctx);
  auto *back = reinterpret_cast<kor_buflist *>(kor_asn1_get_dstrm(ctx));
  kor_asn1_free_ctx(ctx);
  EXPECT_EQ(back, list);
  return back;
}

// Encodes into a fixed buffer of capacity octets; the encoding's octets.
template <typename Encode>
std::vector<uint8_t> encode_fixed(Encode encode, size_t capacity, uint32_t *error) {
  std::vector<uint8_t> buffer(capacity);
  kor_asn1_ctx *ctx = kor_asn1_new_ctx();
  kor_asn1_set_buf(ctx, KOR_ASN1_MODE_ENCODE, buffer.data(), static_cast<uint32_t>(capacity));
  encode(ctx);
  *error = kor_asn1_errno(ctx);
  uint8_t *out = nullptr;
  uint32_t len = 0;
  kor_asn1_get_buf(ctx, &out, &len);
  std::vector<uint8_t> octets(out, out + len);
  kor_asn1_free_ctx(ctx);
  return octets;
}

}  // namespace lyrdua::test
