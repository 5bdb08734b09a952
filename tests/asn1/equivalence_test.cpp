// Properties of the codec: streams in chunks of any size read and write what
// fixed buffers do, and random trees of elements survive a round trip in
// definite and indefinite form.
#include <gtest/gtest.h>
#include <lyrdua/kor_asn1.h>

#include <random>
#include <string>
#include <vector>

#include "tests/asn1/ber_streams.hpp"
#include "tests/support/hex.hpp"

namespace lyrdua::test {
namespace {

// Walks everything the reader can see and writes down each result, the
// capture of each primitive element and the final error.
void walk_level(kor_asn1_ctx *ctx, std::string *transcript, int depth) {
  for (;;) {
    kor_asn1_mark(ctx);
    uint32_t tag = kor_asn1_get_tag(ctx);
    if (tag == 0) return;
    int32_t length = kor_asn1_get_length(ctx);
    uint32_t constructed = kor_asn1_is_constructed(ctx);
    *transcript += "tag " + std::to_string(tag) + " len " + std::to_string(length) +
                   (constructed ? " c" : " p");
    if (constructed && depth % 2 == 1) {
      // Every other level reads constructed elements whole (joined strings or skipped).
      if (tag == KOR_ASN1_TAG_OCTET_STRING) {
        const uint8_t *out = nullptr;
        uint32_t n = 0;
        kor_asn1_get_octets(ctx, &out, &n);
        *transcript += " joined " + to_hex(out, n) + "\n";
      } else {
        kor_asn1_skip(ctx);
        const uint8_t *out = nullptr;
        uint32_t n = 0;
        kor_asn1_get_marked(ctx, &out, &n);
        *transcript += " skipped " + to_hex(out, n) + "\n";
      }
    } else if (constructed) {
      *transcript += " {\n";
      kor_asn1_enter_construct(ctx);
      walk_level(ctx, transcript, depth + 1);
      *transcript += "}\n";
    } else {
      if (tag == KOR_ASN1_TAG_INTEGER) {
        *transcript += " int " + std::to_string(kor_asn1_get_int(ctx));
      } else {
        const uint8_t *out = nullptr;
        uint32_t n = 0;
        kor_asn1_get_octets(ctx, &out, &n);
        *transcript += " octets " + to_hex(out, n);
      }
      const uint8_t *out = nullptr;
      uint32_t n = 0;
      kor_asn1_get_marked(ctx, &out, &n);
      *transcript += " captured " + to_hex(out, n) + "\n";
    }
    if (kor_asn1_errno(ctx) != 0) return;
  }
}

std::string walk(kor_asn1_ctx *ctx) {
  std::string transcript;
  walk_level(ctx, &transcript, 0);
  kor_asn1_get_tag(ctx);
  char error[16];
  std::snprintf(error, sizeof error, "%08X", kor_asn1_errno(ctx));
  return transcript + "error " + error;
}

std::string walk_fixed(const std::vector<uint8_t> &input) {
  std::vector<uint8_t> copy = input;  // an exact allocation: overreads are caught
  kor_asn1_ctx *ctx = kor_asn1_new_ctx();
  kor_asn1_set_buf(ctx, KOR_ASN1_MODE_DECODE, copy.data(), static_cast<uint32_t>(copy.size()));
  std::string transcript = walk(ctx);
  kor_asn1_free_ctx(ctx);
  return transcript;
}

std::string walk_chunked(const std::vector<uint8_t> &input, size_t chunk) {
  ChunkStream stream(input, chunk);
  kor_asn1_ctx *ctx = kor_asn1_new_ctx();
  kor_asn1_set_dstrm(ctx, &stream.base, KOR_ASN1_MODE_DECODE);
  std::string transcript = walk(ctx);
  kor_asn1_free_ctx(ctx);
  return transcript;
}

// Inputs with every feature of the reader, valid and broken.
const char *const kWalkInputs[] = {
    "30 30 02 02 30 39 04 14 00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F 10 11 12 13 01 01 FF"
    " 30 11 06 03 55 04 03 13 0A 41 6E 6E 65 20 53 6D 69 74 68",
    "30 80 02 01 05 30 80 04 01 41 00 00 00 00",
    "30 12 24 80 04 02 41 42 04 01 43 00 00 31 80 30 80 00 00 00 00",
    "30 0E 30 0C 24 0A 24 04 04 02 41 42 04 02 43 44",
    "30 0A 1F 81 00 01 41 9F 1F 02 42 43",
    "30 09 30 80 02 01 05 00 00 05 00",
    "30 03 04 05 41 42 43 44 45",
    "30 05 02 05 01 02 03 04 05",
    "30 06 04 84 00 00 00 01 41",
    "30 80 24 80 04 01 41 02 01 05 00 00 00 00",
    "30 80 00 01",
    "30 05 02 01",
    "04 84 80 00 00 00",
    "",
};

TEST(Chunking, EveryChunkSizeReadsLikeAFixedBuffer) {
  for (const char *hex : kWalkInputs) {
    std::vector<uint8_t> input = from_hex(hex);
    std::string expected = walk_fixed(input);
    for (size_t chunk = 1; chunk <= input.size() + 1; ++chunk)
      ASSERT_EQ(walk_chunked(input, chunk), expected) << hex << "\nchunk " << chunk;
  }
}

// A random tree of elements, and its encodings.
struct Node {
  uint32_t tag;
  bool constructed;
  std::vector<uint8_t> contents;
  std::vector<Node> members;
};

uint32_t random_tag(std::mt19937 &rng) {
  static const uint32_t kNumbers[] = {1,  2,  4,   5,   16,    17,    19,
                                      30, 31, 127, 128, 16383, 16384, 0xFFFFFF};
  uint32_t cls = static_cast<uint32_t>(rng() % 4) << 30;
  return cls | kNumbers[rng() % (sizeof kNumbers / sizeof *kNumbers)];
}

size_t random_length(std::mt19937 &rng) {
  static const size_t kLengths[] = {0, 1, 2, 127, 128, 255, 256, 65535, 65536};
  if (rng() % 8 != 0) return rng() % 20;
  size_t pick = kLengths[rng() % (sizeof kLengths / sizeof *kLengths)];
  return pick >= 65535 && rng() % 4 != 0 ? 3 : pick;  // keep big contents rare
}

Node random_node(std::mt19937 &rng, int depth) {
  Node node{random_tag(rng), depth < 6 && rng() % 3 == 0, {}, {}};
  if (node.constructed) {
    size_t members = rng() % 4;
    for (size_t i = 0; i < members; ++i) node.members.push_back(random_node(rng, depth + 1));
  } else {
    node.contents.resize(random_length(rng));
    for (uint8_t &octet : node.contents) octet = static_cast<uint8_t>(rng());
  }
  return node;
}

void write_node(kor_asn1_ctx *ctx, const Node &node) {
  if (node.constructed) {
    kor_asn1_enter_construct(ctx);
    for (auto it = node.members.rbegin(); it != node.members.rend(); ++it) write_node(ctx, *it);
    kor_asn1_exit_construct(ctx);
  } else {
    kor_asn1_put_octets(ctx, node.contents.data(), static_cast<uint32_t>(node.contents.size()));
  }
  kor_asn1_put_tag(ctx, node.tag);
}

// The identifier octets of a tag, written independently of the codec.
void identifier(std::vector<uint8_t> *out, uint32_t tag, bool constructed) {
  uint8_t first = static_cast<uint8_t>((tag >> 24 & 0xC0) | (constructed ? 0x20 : 0));
  uint32_t number = tag & 0x3FFFFFFF;
  if (number < 31) {
    out->push_back(first | static_cast<uint8_t>(number));
    return;
  }
  out->push_back(first | 0x1F);
  std::vector<uint8_t> groups;
  for (; number != 0; number >>= 7)
    groups.insert(groups.begin(), static_cast<uint8_t>(number & 0x7F));
  for (size_t i = 0; i + 1 < groups.size(); ++i) groups[i] |= 0x80;
  out->insert(out->end(), groups.begin(), groups.end());
}

// Constructed elements with indefinite lengths, primitives in the long form.
void encode_indefinite(std::vector<uint8_t> *out, const Node &node) {
  identifier(out, node.tag, node.constructed);
  if (node.constructed) {
    out->push_back(0x80);
    for (const Node &m : node.members) encode_indefinite(out, m);
    out->insert(out->end(), {0x00, 0x00});
    return;
  }
  uint32_t n = static_cast<uint32_t>(node.contents.size());
  out->insert(out->end(), {0x84, static_cast<uint8_t>(n >> 24), static_cast<uint8_t>(n >> 16),
                           static_cast<uint8_t>(n >> 8), static_cast<uint8_t>(n)});
  out->insert(out->end(), node.contents.begin(), node.contents.end());
}

Node read_node(kor_asn1_ctx *ctx, uint32_t tag) {
  Node node{tag, kor_asn1_is_constructed(ctx) != 0, {}, {}};
  if (node.constructed) {
    kor_asn1_enter_construct(ctx);
    for (uint32_t t = kor_asn1_get_tag(ctx); t != 0; t = kor_asn1_get_tag(ctx))
      node.members.push_back(read_node(ctx, t));
  } else {
    const uint8_t *out = nullptr;
    uint32_t n = 0;
    kor_asn1_get_octets(ctx, &out, &n);
    node.contents.assign(out, out + n);
  }
  return node;
}

bool same_tree(const Node &a, const Node &b) {
  if (a.tag != b.tag || a.constructed != b.constructed || a.contents != b.contents ||
      a.members.size() != b.members.size())
    return false;
  for (size_t i = 0; i < a.members.size(); ++i)
    if (!same_tree(a.members[i], b.members[i])) return false;
  return true;
}

std::vector<uint8_t> encode_fixed(const Node &tree) {
  std::vector<uint8_t> buffer(1 << 20);
  kor_asn1_ctx *ctx = kor_asn1_new_ctx();
  kor_asn1_set_buf(ctx, KOR_ASN1_MODE_ENCODE, buffer.data(), static_cast<uint32_t>(buffer.size()));
  write_node(ctx, tree);
  uint8_t *out = nullptr;
  uint32_t len = 0;
  kor_asn1_get_buf(ctx, &out, &len);
  EXPECT_EQ(kor_asn1_errno(ctx), 0u);
  std::vector<uint8_t> encoding(out, out + len);
  kor_asn1_free_ctx(ctx);
  return encoding;
}

Node decode(kor_asn1_ctx *ctx) {
  uint32_t tag = kor_asn1_get_tag(ctx);
  Node tree = read_node(ctx, tag);
  EXPECT_EQ(kor_asn1_get_tag(ctx), 0u);
  EXPECT_EQ(kor_asn1_errno(ctx), KOR_ASN1_E_END_OF_DATA) << "only the one element";
  return tree;
}

TEST(RoundTrip, RandomTreesInDefiniteAndIndefiniteForm) {
  std::mt19937 rng(20261205);
  for (int round = 0; round < 300; ++round) {
    Node tree = random_node(rng, 0);
    std::vector<uint8_t> definite = encode_fixed(tree);

    kor_asn1_ctx *ctx = kor_asn1_new_ctx();
    kor_asn1_set_buf(ctx, KOR_ASN1_MODE_DECODE, definite.data(),
                     static_cast<uint32_t>(definite.size()));
    ASSERT_TRUE(same_tree(decode(ctx), tree)) << "round " << round;

    std::vector<uint8_t> indefinite;
    encode_indefinite(&indefinite, tree);
    kor_asn1_set_buf(ctx, KOR_ASN1_MODE_DECODE, indefinite.data(),
                     static_cast<uint32_t>(indefinite.size()));
    ASSERT_TRUE(same_tree(decode(ctx), tree)) << "round " << round << " indefinite";

    ChunkStream stream(indefinite, 1 + rng() % 9);
    kor_asn1_set_dstrm(ctx, &stream.base, KOR_ASN1_MODE_DECODE);
    ASSERT_TRUE(same_tree(decode(ctx), tree)) << "round " << round << " chunked";
    kor_asn1_free_ctx(ctx);
  }
}

TEST(RoundTrip, StreamsWithTinyBuffersWriteWhatAFixedBufferHolds) {
  std::mt19937 rng(7);
  for (int round = 0; round < 100; ++round) {
    Node tree = random_node(rng, 0);
    std::vector<uint8_t> expected = encode_fixed(tree);
    for (size_t size = 1; size <= 7; ++size) {
      CollectStream stream(size);
      kor_asn1_ctx *ctx = kor_asn1_new_ctx();
      kor_asn1_set_dstrm(ctx, &stream.base, KOR_ASN1_MODE_ENCODE);
      write_node(ctx, tree);
      ASSERT_EQ(kor_asn1_errno(ctx), 0u);
      kor_asn1_get_dstrm(ctx);
      ASSERT_EQ(stream.joined(), expected) << "round " << round << " buffers of " << size;
      kor_asn1_free_ctx(ctx);
    }
  }
}

}  // namespace
}  // namespace lyrdua::test
