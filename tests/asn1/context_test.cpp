// The BER context through the C API: life cycle, sticky error, the direction
// of each call, fixed buffers and streams, capture of raw input, scratch memory.
#include <gtest/gtest.h>
#include <lyrdua/kor_asn1.h>

#include <cstring>
#include <functional>
#include <vector>

#include "tests/asn1/ber_streams.hpp"
#include "tests/support/hex.hpp"

namespace lyrdua::test {
namespace {

// A new context, and one given an unknown mode, ignore every call.
TEST(Context, AContextWithoutABufferIgnoresEverything) {
  uint8_t buffer[4] = {0x05, 0x00};
  struct Row {
    const char *about;
    std::function<void(kor_asn1_ctx *, CollectStream *)> setup;
  };
  const Row rows[] = {
      {"new context", [](kor_asn1_ctx *, CollectStream *) {}},
      {"unknown mode for a buffer",
       [&](kor_asn1_ctx *ctx, CollectStream *) { kor_asn1_set_buf(ctx, 3, buffer, 4); }},
      {"unknown mode for a stream",
       [](kor_asn1_ctx *ctx, CollectStream *s) { kor_asn1_set_dstrm(ctx, &s->base, 0); }},
  };
  for (const Row &row : rows) {
    SCOPED_TRACE(row.about);
    Ctx ctx;
    ASSERT_NE(ctx.ctx, nullptr);
    CollectStream stream(8);
    row.setup(ctx, &stream);
    EXPECT_EQ(stream.opened, -1) << "the stream is not opened";
    EXPECT_EQ(kor_asn1_errno(ctx), KOR_ASN1_E_SEQUENCE);
    kor_asn1_put_int(ctx, 5);
    kor_asn1_put_tag(ctx, 2);
    EXPECT_EQ(kor_asn1_get_tag(ctx), 0u);
    uint8_t *out = buffer;
    uint32_t len = 7;
    kor_asn1_get_buf(ctx, &out, &len);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(len, 0u);
    EXPECT_EQ(kor_asn1_errno(ctx), KOR_ASN1_E_SEQUENCE);
  }
  kor_asn1_free_ctx(nullptr);
}

TEST(Context, FirstErrorWinsUntilANewBuffer) {
  Ctx ctx;
  uint8_t buffer[4];
  kor_asn1_set_buf(ctx, KOR_ASN1_MODE_ENCODE, buffer, sizeof buffer);
  uint8_t *out = buffer;
  uint32_t len = 9;
  kor_asn1_get_buf(ctx, &out, &len);
  EXPECT_EQ(out, nullptr) << "nothing laid yet";
  EXPECT_EQ(len, 0u);
  EXPECT_EQ(kor_asn1_errno(ctx), 0u);
  kor_asn1_set_errno(ctx, KOR_ASN1_E_STREAM);
  kor_asn1_set_errno(ctx, KOR_ASN1_E_LENGTH);
  EXPECT_EQ(kor_asn1_errno(ctx), KOR_ASN1_E_STREAM);
  kor_asn1_set_buf(ctx, KOR_ASN1_MODE_ENCODE, buffer, sizeof buffer);
  EXPECT_EQ(kor_asn1_errno(ctx), 0u);
}

// Writers on a decoding context and readers on an encoding one are refused.
TEST(Context, CallsOfTheOtherDirectionAreRefused) {
  uint8_t input[] = {0x05, 0x00};
  struct Row {
    const char *about;
    uint32_t mode;
    void (*call)(kor_asn1_ctx *);
  };
  const Row rows[] = {
      {"put_octets", KOR_ASN1_MODE_DECODE, [](kor_asn1_ctx *c) { kor_asn1_put_octets(c, "A", 1); }},
      {"put_int", KOR_ASN1_MODE_DECODE, [](kor_asn1_ctx *c) { kor_asn1_put_int(c, 1); }},
      {"put_novalue", KOR_ASN1_MODE_DECODE, [](kor_asn1_ctx *c) { kor_asn1_put_novalue(c); }},
      {"put_encoding", KOR_ASN1_MODE_DECODE,
       [](kor_asn1_ctx *c) { kor_asn1_put_encoding(c, "\x05\x00", 2); }},
      {"put_tag", KOR_ASN1_MODE_DECODE, [](kor_asn1_ctx *c) { kor_asn1_put_tag(c, 2); }},
      {"exit_construct", KOR_ASN1_MODE_DECODE, [](kor_asn1_ctx *c) { kor_asn1_exit_construct(c); }},
      {"get_buf", KOR_ASN1_MODE_DECODE,
       [](kor_asn1_ctx *c) {
         uint8_t *out = nullptr;
         uint32_t len = 0;
         kor_asn1_get_buf(c, &out, &len);
       }},
      {"get_tag", KOR_ASN1_MODE_ENCODE,
       [](kor_asn1_ctx *c) { EXPECT_EQ(kor_asn1_get_tag(c), 0u); }},
  };
  for (const Row &row : rows) {
    Ctx ctx;
    kor_asn1_set_buf(ctx, row.mode, input, sizeof input);
    row.call(ctx);
    EXPECT_EQ(kor_asn1_errno(ctx), KOR_ASN1_E_WRONG_MODE) << row.about;
  }
}

TEST(Context, ScratchMemoryLivesWithTheContext) {
  Ctx ctx;
  std::vector<uint8_t *> blocks;
  for (uint32_t size : {0u, 1u, 7u, 4096u}) {
    auto *block = static_cast<uint8_t *>(kor_asn1_scratch_alloc(ctx, size));
    ASSERT_NE(block, nullptr);
    std::memset(block, 0xAB, size);
    blocks.push_back(block);
  }
  uint8_t buffer[2] = {0x05, 0x00};
  kor_asn1_set_buf(ctx, KOR_ASN1_MODE_DECODE, buffer, sizeof buffer);
  blocks[3][4095] = 1;  // still valid after set_buf
}

// In one buffer, primitive contents and captures point into the input.
TEST(Mark, CaptureInOneBufferPointsIntoTheInput) {
  uint8_t input[] = {0x30, 0x05, 0x02, 0x01, 0x05, 0x05, 0x00};
  Ctx ctx;
  kor_asn1_set_buf(ctx, KOR_ASN1_MODE_DECODE, input, sizeof input);
  kor_asn1_get_tag(ctx);
  const uint8_t *out = nullptr;
  uint32_t len = 5;
  kor_asn1_get_marked(ctx, &out, &len);
  ASSERT_NE(out, nullptr);
  EXPECT_EQ(len, 0u) << "without a mark the capture is empty";
  kor_asn1_enter_construct(ctx);
  kor_asn1_mark(ctx);
  kor_asn1_get_tag(ctx);
  kor_asn1_get_octets(ctx, &out, &len);
  EXPECT_EQ(out, input + 4);
  EXPECT_EQ(len, 1u);
  kor_asn1_get_marked(ctx, &out, &len);
  EXPECT_EQ(out, input + 2);
  EXPECT_EQ(len, 3u);
  kor_asn1_get_tag(ctx);
  kor_asn1_skip(ctx);
  kor_asn1_get_marked(ctx, &out, &len);
  EXPECT_EQ(to_hex(out, len), "05 00") << "get_marked marks again";
}

TEST(Mark, CaptureAcrossChunksIsOneCopyInInputOrder) {
  std::vector<uint8_t> input = from_hex("30 0B 04 09 01 02 03 04 05 06 07 08 09");
  for (size_t chunk = 1; chunk <= input.size(); ++chunk) {
    ChunkStream stream(input, chunk);
    Ctx ctx;
    kor_asn1_set_dstrm(ctx, &stream.base, KOR_ASN1_MODE_DECODE);
    EXPECT_EQ(stream.opened, static_cast<int>(KOR_ASN1_DSTRM_READ));
    kor_asn1_mark(ctx);
    EXPECT_EQ(kor_asn1_get_tag(ctx), 16u);
    kor_asn1_skip(ctx);
    const uint8_t *out = nullptr;
    uint32_t len = 0;
    kor_asn1_get_marked(ctx, &out, &len);
    EXPECT_EQ(to_hex(out, len), to_hex(input)) << "chunk " << chunk;
    EXPECT_EQ(kor_asn1_errno(ctx), 0u);
  }
}

TEST(Streams, GetDstrmHandsOverTheLastBufferAndDetaches) {
  CollectStream stream(4);
  Ctx ctx;
  kor_asn1_set_dstrm(ctx, &stream.base, KOR_ASN1_MODE_ENCODE);
  EXPECT_EQ(stream.opened, static_cast<int>(KOR_ASN1_DSTRM_WRITE));
  kor_asn1_put_octets(ctx, "ABCDEF", 6);
  kor_asn1_put_tag(ctx, KOR_ASN1_TAG_OCTET_STRING);
  EXPECT_EQ(stream.pieces.size(), 1u) << "one full buffer handed over so far";
  EXPECT_EQ(kor_asn1_get_dstrm(ctx), &stream.base);
  EXPECT_EQ(kor_asn1_errno(ctx), KOR_ASN1_E_SEQUENCE);
  EXPECT_EQ(to_hex(stream.joined()), "04 06 41 42 43 44 45 46");
  // Detached: a fixed buffer now behaves as in a new context.
  uint8_t buffer[2];
  kor_asn1_set_buf(ctx, KOR_ASN1_MODE_ENCODE, buffer, sizeof buffer);
  kor_asn1_put_octets(ctx, "xyz", 3);
  EXPECT_EQ(kor_asn1_errno(ctx), KOR_ASN1_E_END_OF_DATA);
  EXPECT_EQ(stream.pieces.size(), 2u) << "the detached stream is not called again";
}

// Non-zero stream answers become the context's error.
TEST(Streams, AnswersBecomeErrors) {
  struct Row {
    uint32_t answer;
    uint32_t expected_error;
  };
  const Row rows[] = {
      {KOR_ASN1_DSTRM_END, KOR_ASN1_E_END_OF_DATA},  // no more data or buffers
      {KOR_ASN1_DSTRM_FAIL, KOR_ASN1_E_STREAM},      // failure
      {7, KOR_ASN1_E_STATE},                         // an unknown answer
  };
  for (const Row &row : rows) {
    SCOPED_TRACE(row.answer);
    Ctx ctx;
    ChunkStream reading(from_hex("04 05 41"), 2);
    reading.end_answer = row.answer;
    kor_asn1_set_dstrm(ctx, &reading.base, KOR_ASN1_MODE_DECODE);
    EXPECT_EQ(kor_asn1_get_tag(ctx), 4u);
    const uint8_t *out = nullptr;
    uint32_t len = 0;
    kor_asn1_get_octets(ctx, &out, &len);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(kor_asn1_errno(ctx), row.expected_error) << "reading";

    CollectStream writing(2, 1);
    writing.end_answer = row.answer;
    kor_asn1_set_dstrm(ctx, &writing.base, KOR_ASN1_MODE_ENCODE);
    kor_asn1_put_octets(ctx, "ABC", 3);
    EXPECT_EQ(kor_asn1_errno(ctx), row.expected_error) << "get_bwd_buffer";

    CollectStream refusing(2);
    refusing.filled_answer = row.answer;
    kor_asn1_set_dstrm(ctx, &refusing.base, KOR_ASN1_MODE_ENCODE);
    kor_asn1_put_octets(ctx, "ABC", 3);
    EXPECT_EQ(kor_asn1_errno(ctx), row.expected_error) << "bwd_filled";
    EXPECT_EQ(refusing.buffers.size(), 1u) << "no new buffer after a refused hand-over";
  }
}

// A stream that answers 0 without delivering octets is treated as broken
// rather than asked again forever.
TEST(Streams, EmptyChunkIsAnInconsistentStream) {
  struct EmptyStream {
    static uint32_t KOR_API get(kor_asn1_dstrm *, uint8_t **buf, uint32_t *len) {
      static uint8_t nothing[1];
      *buf = nothing;
      *len = 0;
      return KOR_ASN1_DSTRM_OK;
    }
    static uint32_t KOR_API filled(kor_asn1_dstrm *, uint8_t *, uint32_t) { return 0; }
    static void KOR_API open(kor_asn1_dstrm *, uint32_t) {}
  };
  static const kor_asn1_dstrm_ops ops = {EmptyStream::get,    EmptyStream::filled, EmptyStream::get,
                                         EmptyStream::filled, EmptyStream::open,   nullptr};
  kor_asn1_dstrm stream{&ops};
  Ctx ctx;
  kor_asn1_set_dstrm(ctx, &stream, KOR_ASN1_MODE_DECODE);
  EXPECT_EQ(kor_asn1_get_tag(ctx), 0u);
  EXPECT_EQ(kor_asn1_errno(ctx), KOR_ASN1_E_STATE);
  kor_asn1_set_dstrm(ctx, &stream, KOR_ASN1_MODE_ENCODE);
  kor_asn1_put_novalue(ctx);
  kor_asn1_put_tag(ctx, KOR_ASN1_TAG_NULL);
  EXPECT_EQ(kor_asn1_errno(ctx), KOR_ASN1_E_STATE);
}

// Contents that straddle chunks come back as one copy, even when the
// announced length is far larger than what the stream then delivers.
TEST(Streams, StraddlingContentsAreCopiedAndHostileLengthsCostNothing) {
  std::vector<uint8_t> input = from_hex("04 83 02 00 00");
  for (int i = 0; i < 0x20000; ++i) input.push_back(static_cast<uint8_t>(i * 7));
  ChunkStream stream(input, 4096);
  Ctx ctx;
  kor_asn1_set_dstrm(ctx, &stream.base, KOR_ASN1_MODE_DECODE);
  ASSERT_EQ(kor_asn1_get_tag(ctx), 4u);
  const uint8_t *out = nullptr;
  uint32_t len = 0;
  kor_asn1_get_octets(ctx, &out, &len);
  ASSERT_EQ(len, 0x20000u);
  EXPECT_EQ(std::memcmp(out, input.data() + 5, len), 0);

  ChunkStream hostile(from_hex("04 84 7F FF FF FF 41 42"), 3);
  kor_asn1_set_dstrm(ctx, &hostile.base, KOR_ASN1_MODE_DECODE);
  ASSERT_EQ(kor_asn1_get_tag(ctx), 4u);
  kor_asn1_get_octets(ctx, &out, &len);
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(kor_asn1_errno(ctx), KOR_ASN1_E_END_OF_DATA);
}

}  // namespace
}  // namespace lyrdua::test
