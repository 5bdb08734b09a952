// Every allocation of a buffer list goes through the hooks with the list's
// context and comes back with its own size, also when an allocation fails.
#include <gtest/gtest.h>

#include "tests/buflist/buflist_support.hpp"

namespace lyrdua::test {
namespace {

// An encoding of three blocks and a bit: the list and four descriptors.
void encode_three_blocks(kor_asn1_ctx *ctx) { encode_elements(ctx, 170); }

// Unrefused, the hooks are asked for the list first, then a descriptor and
// its block each time, with the list's context. Then each allocation in turn
// is refused.
TEST(Memory, EncodingSurvivesARefusalAtEveryAllocation) {
  int context = 0;
  for (long refuse = -1; refuse < 9; ++refuse) {
    SCOPED_TRACE(refuse);
    CountingHooks hooks;
    hooks.refuse_at = refuse;
    uint32_t error = 0;
    kor_buflist *list = encode_into_list(encode_three_blocks, &error, &context);
    if (refuse == -1) {
      ASSERT_EQ(error, 0u);
      ASSERT_EQ(hooks.sizes_asked.size(), 9u);
      for (size_t i = 1; i < 9; i += 2) {
        EXPECT_EQ(hooks.sizes_asked[i], sizeof(kor_pelk_buf));
        EXPECT_EQ(hooks.sizes_asked[i + 1], KOR_BUFLIST_BLOCK_SIZE);
      }
      for (auto &entry : hooks.live()) EXPECT_EQ(entry.second.context, &context);
      EXPECT_EQ(hooks.live().size(), 9u);
      kor_buflist_destroy(list);
    } else if (refuse == 0) {
      EXPECT_EQ(list, nullptr);  // the list itself was refused
    } else {
      ASSERT_NE(list, nullptr);
      EXPECT_EQ(error, KOR_ASN1_E_STREAM);
      // The descriptors made before the refusal stay; a refused block's
      // descriptor was released again.
      size_t kept = static_cast<size_t>((refuse - 1) / 2);
      EXPECT_EQ(hooks.live().size(), 1 + 2 * kept);
      kor_buflist_destroy(list);
    }
    EXPECT_TRUE(hooks.live().empty());
    EXPECT_EQ(hooks.bad_releases, 0);
  }
}

TEST(Memory, ForwardWritingSurvivesARefusedDescriptorOrBlock) {
  for (long refuse : {1L, 2L}) {  // the descriptor, then its block
    SCOPED_TRACE(refuse);
    CountingHooks hooks;
    hooks.refuse_at = refuse;
    kor_buflist *list = kor_buflist_create(nullptr);
    auto *stream = reinterpret_cast<kor_asn1_dstrm *>(list);
    stream->ops->open(stream, KOR_ASN1_DSTRM_WRITE);
    uint8_t *buf = nullptr;
    uint32_t len = 0;
    EXPECT_EQ(stream->ops->get_fwd_buffer(stream, &buf, &len), KOR_ASN1_DSTRM_FAIL);
    EXPECT_EQ(hooks.live().size(), 1u);
    // The next request succeeds and the list works on.
    EXPECT_EQ(stream->ops->get_fwd_buffer(stream, &buf, &len), KOR_ASN1_DSTRM_OK);
    EXPECT_EQ(len, KOR_BUFLIST_BLOCK_SIZE);
    kor_buflist_destroy(list);
    EXPECT_TRUE(hooks.live().empty());
    EXPECT_EQ(hooks.bad_releases, 0);
  }
}

TEST(Memory, RefusedWrapLeavesTheChainWithTheCaller) {
  CountingHooks hooks;
  std::vector<uint8_t> data = {1, 2, 3};
  kor_pelk_buf *chain = make_chain(data, {{0, 1}, {0, 2}}, CountingHooks::allocate, nullptr);
  kor_pelk_buf *stale = reinterpret_cast<kor_pelk_buf *>(0x1);
  hooks.refuse_at = hooks.calls;
  EXPECT_EQ(kor_buflist_fromPelk(chain, nullptr), nullptr);
  EXPECT_EQ(chain->previous, stale);  // untouched
  EXPECT_EQ(hooks.live().size(), 4u);
  release_chain(chain, CountingHooks::release, nullptr);
  EXPECT_TRUE(hooks.live().empty());
  EXPECT_EQ(hooks.bad_releases, 0);
}

}  // namespace
}  // namespace lyrdua::test
