// How an encoding is laid out over the descriptors of a chain, and how a
// received chain is wrapped, read and released.
#include <gtest/gtest.h>

#include "tests/buflist/buflist_support.hpp"

namespace lyrdua::test {
namespace {

std::vector<uint8_t> pattern(size_t n) {
  std::vector<uint8_t> octets(n);
  for (size_t i = 0; i < n; ++i) octets[i] = static_cast<uint8_t>(i * 13 + i / 251);
  return octets;
}

// Lays exactly the given octets (contents without a tag) into a new list.
kor_buflist *lay_into_list(const std::vector<uint8_t> &octets) {
  uint32_t error = 0;
  kor_buflist *list = encode_into_list(
      [&](kor_asn1_ctx *ctx) {
        if (!octets.empty())
          kor_asn1_put_octets(ctx, octets.data(), static_cast<uint32_t>(octets.size()));
      },
      &error);
  EXPECT_EQ(error, 0u);
  return list;
}

TEST(ChainLayout, EncodingFillsBlocksFromTheEndAndPutsNewOnesInFront) {
  struct Row {
    size_t octets;
    size_t descriptors;
    size_t in_first;  // octets at the end of the first descriptor's block
  };
  const Row rows[] = {
      {0, 0, 0},             // nothing laid: no descriptor at all, no chain handed over
      {1, 1, 1},             // one octet at the very end of the block
      {8191, 1, 8191},       // one octet short of a full block
      {8192, 1, 8192},       // exactly one block: data start = block
      {8193, 2, 1},          // one over: the first descriptor holds 1 octet
      {16384, 2, 8192},      // two full blocks
      {3 * 8192 + 5, 4, 5},  // several full blocks behind a partial one
  };
  for (const Row &row : rows) {
    SCOPED_TRACE(row.octets);
    CountingHooks hooks;
    std::vector<uint8_t> octets = pattern(row.octets);
    kor_buflist *list = lay_into_list(octets);
    ASSERT_NE(list, nullptr);
    kor_pelk_buf *chain = kor_buflist_toPelk(list);
    EXPECT_EQ(chain_length(chain), row.descriptors);
    EXPECT_EQ(joined(chain), octets);
    const kor_pelk_buf *previous = nullptr;
    for (const kor_pelk_buf *d = chain; d != nullptr; d = d->next) {
      EXPECT_EQ(d->previous, previous);
      EXPECT_EQ(d->block_size, KOR_BUFLIST_BLOCK_SIZE);
      uint32_t expected = d == chain ? static_cast<uint32_t>(row.in_first) : 8192u;
      EXPECT_EQ(d->data_length, expected);
      EXPECT_EQ(d->data_start, d->block + KOR_BUFLIST_BLOCK_SIZE - expected);
      previous = d;
    }
    // Only the descriptors and their blocks are left for the caller.
    EXPECT_EQ(hooks.live().size(), 2 * row.descriptors);
    release_chain(chain, CountingHooks::release, nullptr);
    EXPECT_TRUE(hooks.live().empty());
    EXPECT_EQ(hooks.bad_releases, 0);
  }
}

// Reads one OCTET STRING element from the list and gives its contents.
std::vector<uint8_t> read_octet_string(kor_buflist *list, uint32_t *error) {
  kor_asn1_ctx *ctx = kor_asn1_new_ctx();
  kor_asn1_set_dstrm(ctx, reinterpret_cast<kor_asn1_dstrm *>(list), KOR_ASN1_MODE_DECODE);
  std::vector<uint8_t> contents;
  if (kor_asn1_get_tag(ctx) == KOR_ASN1_TAG_OCTET_STRING) {
    const uint8_t *out = nullptr;
    uint32_t len = 0;
    kor_asn1_get_octets(ctx, &out, &len);
    contents.assign(out, out + len);
  }
  *error = kor_asn1_errno(ctx);
  EXPECT_EQ(kor_asn1_get_dstrm(ctx), reinterpret_cast<kor_asn1_dstrm *>(list));
  kor_asn1_free_ctx(ctx);
  return contents;
}

TEST(ChainLayout, WrittenListIsReadFromItsFirstDescriptorEveryTime) {
  CountingHooks hooks;
  std::vector<uint8_t> contents = pattern(20000);
  uint32_t error = 0;
  kor_buflist *list = encode_into_list(
      [&](kor_asn1_ctx *ctx) {
        kor_asn1_put_octets(ctx, contents.data(), static_cast<uint32_t>(contents.size()));
        kor_asn1_put_tag(ctx, KOR_ASN1_TAG_OCTET_STRING);
      },
      &error);
  ASSERT_EQ(error, 0u);
  // Writing left current at the first descriptor; a second read starts over
  // although the first one ran to the end.
  for (int pass = 0; pass < 2; ++pass) {
    SCOPED_TRACE(pass);
    EXPECT_EQ(read_octet_string(list, &error), contents);
    EXPECT_EQ(error, 0u);
  }
  kor_buflist_destroy(list);
  EXPECT_TRUE(hooks.live().empty());
  EXPECT_EQ(hooks.bad_releases, 0);
}

TEST(ChainLayout, ReceivedChainIsReadInOrderAndReleasedWithTheList) {
  CountingHooks hooks;
  std::vector<uint8_t> contents = pattern(9000);
  uint32_t error = 0;
  std::vector<uint8_t> encoding = encode_fixed(
      [&](kor_asn1_ctx *ctx) {
        kor_asn1_put_octets(ctx, contents.data(), static_cast<uint32_t>(contents.size()));
        kor_asn1_put_tag(ctx, KOR_ASN1_TAG_OCTET_STRING);
      },
      10000, &error);
  ASSERT_EQ(error, 0u);
  size_t n = encoding.size();
  // Pieces anywhere in their blocks; an empty descriptor in the middle is
  // passed over, since a chunk handed to the codec is never empty.
  kor_pelk_buf *chain =
      make_chain(encoding, {{100, 3}, {0, 5000}, {4000, 0}, {8191, 1}, {10, n - 5004}},
                 CountingHooks::allocate, &hooks);
  kor_buflist *list = kor_buflist_fromPelk(chain, &hooks);
  ASSERT_NE(list, nullptr);
  const kor_pelk_buf *previous = nullptr;
  for (const kor_pelk_buf *d = chain; d != nullptr; d = d->next) {
    EXPECT_EQ(d->previous, previous);
    previous = d;
  }
  EXPECT_EQ(read_octet_string(list, &error), contents);
  EXPECT_EQ(error, 0u);
  kor_buflist_destroy(list);
  EXPECT_TRUE(hooks.live().empty());
  EXPECT_EQ(hooks.bad_releases, 0);
}

TEST(ChainLayout, NullChainGivesAListThatEndsAtOnce) {
  // The caller should hand a non-empty chain; a null one reads as no data.
  CountingHooks hooks;
  kor_buflist *list = kor_buflist_fromPelk(nullptr, nullptr);
  ASSERT_NE(list, nullptr);
  uint32_t error = 0;
  EXPECT_TRUE(read_octet_string(list, &error).empty());
  EXPECT_EQ(error, KOR_ASN1_E_END_OF_DATA);
  EXPECT_EQ(kor_buflist_toPelk(list), nullptr);
  EXPECT_TRUE(hooks.live().empty());
  // A null list is ignored.
  kor_buflist_destroy(nullptr);
  EXPECT_EQ(kor_buflist_toPelk(nullptr), nullptr);
}

}  // namespace
}  // namespace lyrdua::test
