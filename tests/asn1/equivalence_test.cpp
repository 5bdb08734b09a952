// Properties of the codec: streams in chunks of any size read and write what
// fixed buffers do, and random trees of elements are written exactly as an
// independent encoder writes them and survive a round trip in definite and
// indefinite form.
#include <gtest/gtest.h>
#include <lyrdua/kor_asn1.h>

#include <random>
#include <string>
#include <vector>

#include "tests/asn1/ber_streams.hpp"
#include "tests/support/hex.hpp"

namespace lyrdua::test {
namespace {

std::string octets_of(kor_asn1_ctx *ctx,
                      void (*get)(kor_asn1_ctx *, const uint8_t **, uint32_t *)) {
  const uint8_t *out = nullptr;
  uint32_t n = 0;
  get(ctx, &out, &n);
  return to_hex(out, n);
}

// Walks everything the reader can see and writes down each result, the
// capture of each primitive element and the final error. Every other level
// reads constructed elements whole (joined strings or skipped).
void walk_level(kor_asn1_ctx *ctx, std::string *transcript, int depth) {
  for (;;) {
    kor_asn1_mark(ctx);
    uint32_t tag = kor_asn1_get_tag(ctx);
    if (tag == 0) return;
    bool constructed = kor_asn1_is_constructed(ctx) != 0;
    *transcript += "tag " + std::to_string(tag) + " len " +
                   std::to_string(kor_asn1_get_length(ctx)) + (constructed ? " c" : " p");
    if (constructed && depth % 2 == 1 && tag == KOR_ASN1_TAG_OCTET_STRING) {
      *transcript += " joined " + octets_of(ctx, kor_asn1_get_octets) + "\n";
    } else if (constructed && depth % 2 == 1) {
      kor_asn1_skip(ctx);
      *transcript += " skipped " + octets_of(ctx, kor_asn1_get_marked) + "\n";
    } else if (constructed) {
      *transcript += " {\n";
      kor_asn1_enter_construct(ctx);
      walk_level(ctx, transcript, depth + 1);
      *transcript += "}\n";
    } else {
      *transcript += tag == KOR_ASN1_TAG_INTEGER ? " int " + std::to_string(kor_asn1_get_int(ctx))
                                                 : " octets " + octets_of(ctx, kor_asn1_get_octets);
      *transcript += " captured " + octets_of(ctx, kor_asn1_get_marked) + "\n";
    }
    if (kor_asn1_errno(ctx) != 0) return;
  }
}

std::string walk(kor_asn1_ctx *ctx) {
  std::string transcript;
  walk_level(ctx, &transcript, 0);
  kor_asn1_get_tag(ctx);
  return transcript + "error " + std::to_string(kor_asn1_errno(ctx));
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
    std::vector<uint8_t> input = from_hex(hex);  // an exact allocation: overreads are caught
    Ctx fixed;
    kor_asn1_set_buf(fixed, KOR_ASN1_MODE_DECODE, input.data(),
                     static_cast<uint32_t>(input.size()));
    std::string expected = walk(fixed);
    for (size_t chunk = 1; chunk <= input.size() + 1; ++chunk) {
      ChunkStream stream(input, chunk);
      Ctx ctx;
      kor_asn1_set_dstrm(ctx, &stream.base, KOR_ASN1_MODE_DECODE);
      ASSERT_EQ(walk(ctx), expected) << hex << "\nchunk " << chunk;
    }
  }
}

// A random tree of elements, and its encodings.
struct Node {
  uint32_t tag;
  bool constructed;
  std::vector<uint8_t> contents;
  std::vector<Node> members;
  bool operator==(const Node &o) const {
    return tag == o.tag && constructed == o.constructed && contents == o.contents &&
           members == o.members;
  }
};

// Tag numbers and lengths on every boundary of their encodings.
Node random_node(std::mt19937 &rng, int depth) {
  static const uint32_t kNumbers[] = {1,  2,  4,   5,   16,    17,    19,
                                      30, 31, 127, 128, 16383, 16384, 0xFFFFFF};
  static const size_t kLengths[] = {0, 1, 2, 127, 128, 255, 256, 65535, 65536};
  uint32_t tag = static_cast<uint32_t>(rng() % 4) << 30 | kNumbers[rng() % std::size(kNumbers)];
  Node node{tag, depth < 6 && rng() % 3 == 0, {}, {}};
  if (node.constructed) {
    for (size_t i = rng() % 4; i > 0; --i) node.members.push_back(random_node(rng, depth + 1));
    return node;
  }
  size_t length = rng() % 20;
  if (rng() % 8 == 0) {
    length = kLengths[rng() % std::size(kLengths)];
    if (length >= 65535 && rng() % 4 != 0) length = 3;  // keep big contents rare
  }
  for (size_t i = 0; i < length; ++i) node.contents.push_back(static_cast<uint8_t>(rng()));
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

// The encoding of a tree, written independently of the codec: definite
// lengths in their shortest form, or constructed elements with indefinite
// lengths and primitives with four length octets.
std::vector<uint8_t> encode(const Node &node, bool indefinite) {
  std::vector<uint8_t> out{
      static_cast<uint8_t>((node.tag >> 24 & 0xC0) | (node.constructed ? 0x20 : 0))};
  uint32_t number = node.tag & 0x3FFFFFFF;
  if (number < 31) {
    out[0] |= static_cast<uint8_t>(number);
  } else {
    out[0] |= 0x1F;
    std::vector<uint8_t> groups;  // seven bits each, all but the last with bit 8 set
    for (uint32_t rest = number; rest != 0; rest >>= 7)
      groups.insert(groups.begin(),
                    static_cast<uint8_t>((rest & 0x7F) | (groups.empty() ? 0 : 0x80)));
    out.insert(out.end(), groups.begin(), groups.end());
  }
  std::vector<uint8_t> body = node.contents;
  for (const Node &m : node.members) {
    std::vector<uint8_t> member = encode(m, indefinite);
    body.insert(body.end(), member.begin(), member.end());
  }
  size_t n = body.size();
  if (indefinite && node.constructed) {
    out.push_back(0x80);
    body.insert(body.end(), {0x00, 0x00});
  } else if (indefinite || n >= 128) {
    std::vector<uint8_t> length;
    for (size_t rest = n; rest != 0 || (indefinite && length.size() < 4); rest >>= 8)
      length.insert(length.begin(), static_cast<uint8_t>(rest));
    out.push_back(static_cast<uint8_t>(0x80 | length.size()));
    out.insert(out.end(), length.begin(), length.end());
  } else {
    out.push_back(static_cast<uint8_t>(n));
  }
  out.insert(out.end(), body.begin(), body.end());
  return out;
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

Node decode(kor_asn1_ctx *ctx) {
  Node tree = read_node(ctx, kor_asn1_get_tag(ctx));
  EXPECT_EQ(kor_asn1_get_tag(ctx), 0u);
  EXPECT_EQ(kor_asn1_errno(ctx), KOR_ASN1_E_END_OF_DATA) << "only the one element";
  return tree;
}

std::vector<uint8_t> encode_fixed(const Node &tree) {
  std::vector<uint8_t> buffer(1 << 20);
  Ctx ctx;
  kor_asn1_set_buf(ctx, KOR_ASN1_MODE_ENCODE, buffer.data(), static_cast<uint32_t>(buffer.size()));
  write_node(ctx, tree);
  uint8_t *out = nullptr;
  uint32_t len = 0;
  kor_asn1_get_buf(ctx, &out, &len);
  EXPECT_EQ(kor_asn1_errno(ctx), 0u);
  return std::vector<uint8_t>(out, out + len);
}

TEST(RoundTrip, RandomTreesInDefiniteAndIndefiniteForm) {
  std::mt19937 rng(20261205);
  for (int round = 0; round < 300; ++round) {
    Node tree = random_node(rng, 0);
    std::vector<uint8_t> definite = encode_fixed(tree);
    ASSERT_EQ(to_hex(definite), to_hex(encode(tree, false))) << "round " << round;
    std::vector<uint8_t> indefinite = encode(tree, true);
    Ctx ctx;
    for (std::vector<uint8_t> *input : {&definite, &indefinite}) {
      kor_asn1_set_buf(ctx, KOR_ASN1_MODE_DECODE, input->data(),
                       static_cast<uint32_t>(input->size()));
      ASSERT_TRUE(decode(ctx) == tree)
          << "round " << round << (input == &definite ? "" : " indefinite");
    }
    ChunkStream stream(indefinite, 1 + rng() % 9);
    kor_asn1_set_dstrm(ctx, &stream.base, KOR_ASN1_MODE_DECODE);
    ASSERT_TRUE(decode(ctx) == tree) << "round " << round << " chunked";
  }
}

TEST(RoundTrip, StreamsWithTinyBuffersWriteWhatAFixedBufferHolds) {
  std::mt19937 rng(7);
  for (int round = 0; round < 100; ++round) {
    Node tree = random_node(rng, 0);
    std::vector<uint8_t> expected = encode_fixed(tree);
    for (size_t size = 1; size <= 7; ++size) {
      CollectStream stream(size);
      Ctx ctx;
      kor_asn1_set_dstrm(ctx, &stream.base, KOR_ASN1_MODE_ENCODE);
      write_node(ctx, tree);
      ASSERT_EQ(kor_asn1_errno(ctx), 0u);
      kor_asn1_get_dstrm(ctx);
      ASSERT_EQ(stream.joined(), expected) << "round " << round << " buffers of " << size;
    }
  }
}

}  // namespace
}  // namespace lyrdua::test
