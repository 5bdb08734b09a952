// Large encodings and decodings through buffer lists agree octet for octet
// and element for element with the same work on one flat buffer.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "tests/buflist/buflist_support.hpp"

namespace lyrdua::test {
namespace {

// Everything the reader sees, level by level, with each primitive's contents.
void walk(kor_asn1_ctx *ctx, std::string *transcript) {
  for (uint32_t tag; (tag = kor_asn1_get_tag(ctx)) != 0;) {
    *transcript += "<" + std::to_string(tag) + ":" + std::to_string(kor_asn1_get_length(ctx));
    if (kor_asn1_is_constructed(ctx)) {
      kor_asn1_enter_construct(ctx);
      walk(ctx, transcript);
    } else {
      const uint8_t *out = nullptr;
      uint32_t len = 0;
      kor_asn1_get_octets(ctx, &out, &len);
      transcript->append(reinterpret_cast<const char *>(out), len);
    }
    *transcript += ">";
  }
}

std::string transcript_of(kor_asn1_ctx *ctx) {
  std::string transcript;
  walk(ctx, &transcript);
  return transcript + " error " + std::to_string(kor_asn1_errno(ctx));
}

TEST(Equivalence, LargeEncodingsIntoAListMatchAFixedBuffer) {
  // Element counts from one block to several MiB of encoding.
  const size_t counts[] = {1, 50, 60, 1000, 20000, 40000};
  for (size_t count : counts) {
    SCOPED_TRACE(count);
    auto encode = [count](kor_asn1_ctx *ctx) { encode_elements(ctx, count); };
    uint32_t fixed_error = 0;
    std::vector<uint8_t> fixed = encode_fixed(encode, 200 * count + 64, &fixed_error);
    ASSERT_EQ(fixed_error, 0u);
    uint32_t list_error = 0;
    kor_buflist *list = encode_into_list(encode, &list_error);
    ASSERT_EQ(list_error, 0u);
    kor_pelk_buf *chain = kor_buflist_toPelk(list);
    EXPECT_EQ(chain_length(chain), (fixed.size() + 8191) / 8192);
    EXPECT_TRUE(joined(chain) == fixed);
    kor_buflist_destroy(kor_buflist_fromPelk(chain, nullptr));
  }
}

void *KOR_API heap_allocate(uint32_t size, void *) { return std::malloc(size); }

TEST(Equivalence, DecodingChainsOfRandomDescriptorsMatchesTheJoinedOctets) {
  struct Row {
    size_t elements;
    size_t largest_piece;
  };
  const Row rows[] = {
      {15, 1},        // single octets: every header is split across descriptors
      {300, 50},      // small pieces: most elements span several descriptors
      {8000, 600},    // about an element per descriptor
      {30000, 8192},  // several MiB in pieces up to a whole block
  };
  std::mt19937 random(20261205);
  for (const Row &row : rows) {
    SCOPED_TRACE(row.elements);
    uint32_t error = 0;
    std::vector<uint8_t> encoding =
        encode_fixed([&](kor_asn1_ctx *ctx) { encode_elements(ctx, row.elements); },
                     200 * row.elements + 64, &error);
    ASSERT_EQ(error, 0u);

    kor_asn1_ctx *ctx = kor_asn1_new_ctx();
    kor_asn1_set_buf(ctx, KOR_ASN1_MODE_DECODE, encoding.data(),
                     static_cast<uint32_t>(encoding.size()));
    const std::string expected = transcript_of(ctx);

    std::vector<Piece> pieces;
    for (size_t taken = 0; taken < encoding.size();) {
      size_t length = std::uniform_int_distribution<size_t>(1, row.largest_piece)(random);
      length = std::min(length, encoding.size() - taken);
      size_t offset = std::uniform_int_distribution<size_t>(0, 8192 - length)(random);
      pieces.push_back({offset, length});
      taken += length;
    }
    // The chain comes from the heap, as the default hooks release it there.
    kor_buflist *list =
        kor_buflist_fromPelk(make_chain(encoding, pieces, heap_allocate, nullptr), nullptr);
    ASSERT_NE(list, nullptr);
    kor_asn1_set_dstrm(ctx, reinterpret_cast<kor_asn1_dstrm *>(list), KOR_ASN1_MODE_DECODE);
    std::string got = transcript_of(ctx);
    kor_asn1_get_dstrm(ctx);
    kor_buflist_destroy(list);
    kor_asn1_free_ctx(ctx);
    EXPECT_GT(expected.size(), encoding.size() / 2);  // the walk saw the elements
    EXPECT_TRUE(got == expected);
  }
}

}  // namespace
}  // namespace lyrdua::test
