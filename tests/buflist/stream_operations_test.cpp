// The list's operations called directly, as a forward writer or a backward
// reader other than the codec would call them.
#include <gtest/gtest.h>

#include <cstring>

#include "tests/buflist/buflist_support.hpp"

namespace lyrdua::test {
namespace {

struct Ops {
  kor_asn1_dstrm *stream;
  const kor_asn1_dstrm_ops &ops;
  explicit Ops(kor_buflist *list)
      : stream(reinterpret_cast<kor_asn1_dstrm *>(list)), ops(*stream->ops) {}

  // Writes text forwards, taking buffers as they come.
  void write_forwards(const std::string &text) {
    size_t done = 0;
    while (done < text.size()) {
      uint8_t *buf = nullptr;
      uint32_t len = 0;
      ASSERT_EQ(ops.get_fwd_buffer(stream, &buf, &len), KOR_ASN1_DSTRM_OK);
      size_t n = std::min<size_t>(len, text.size() - done);
      std::memcpy(buf, text.data() + done, n);
      ASSERT_EQ(ops.fwd_filled(stream, buf, static_cast<uint32_t>(n)), KOR_ASN1_DSTRM_OK);
      done += n;
    }
  }

  // Every chunk up to the answer 2, forwards or backwards.
  std::vector<std::string> read_all(bool forwards) {
    std::vector<std::string> chunks;
    uint8_t *buf = nullptr;
    uint32_t len = 0;
    auto get = forwards ? ops.get_fwd_buffer : ops.get_bwd_buffer;
    uint32_t answer;
    while ((answer = get(stream, &buf, &len)) == KOR_ASN1_DSTRM_OK)
      chunks.emplace_back(reinterpret_cast<char *>(buf), len);
    EXPECT_EQ(answer, KOR_ASN1_DSTRM_END);
    return chunks;
  }
};

// Where a new descriptor joins a chain read to its end is our choice: at its
// end, so that the data keeps its order.
TEST(StreamOperations, ForwardWritingFillsEachBlockAndAppendsAfterReading) {
  CountingHooks hooks;
  kor_buflist *list = kor_buflist_create(nullptr);
  Ops s(list);
  s.ops.open(s.stream, KOR_ASN1_DSTRM_WRITE);
  std::string a(8000, 'a'), b(1000, 'b');
  s.write_forwards(a);
  s.write_forwards(b);  // 192 octets complete the first block, the rest go to a second
  s.ops.open(s.stream, KOR_ASN1_DSTRM_READ);
  std::vector<std::string> chunks = s.read_all(true);
  ASSERT_EQ(chunks.size(), 2u);
  EXPECT_EQ(chunks[0], a + std::string(192, 'b'));
  EXPECT_EQ(chunks[1], std::string(808, 'b'));
  s.ops.open(s.stream, KOR_ASN1_DSTRM_WRITE);
  s.write_forwards("bc");
  s.ops.open(s.stream, KOR_ASN1_DSTRM_READ);
  chunks = s.read_all(true);
  ASSERT_EQ(chunks.size(), 3u);
  EXPECT_EQ(chunks[2], "bc");
  kor_buflist_destroy(list);
  EXPECT_TRUE(hooks.live().empty());
}

TEST(StreamOperations, BackwardReadingGoesFromTheLastDescriptor) {
  struct Row {
    bool received;  // a wrapped chain rather than one written here
  };
  const Row rows[] = {
      {false},  // a written list: its back links were kept while writing
      {true},   // a received chain: the back links are set when it is wrapped
  };
  for (const Row &row : rows) {
    SCOPED_TRACE(row.received);
    CountingHooks hooks;
    std::vector<uint8_t> data = {'x', 'y', 'y', 'z', 'z', 'z'};
    kor_buflist *list = nullptr;
    if (row.received) {
      list = kor_buflist_fromPelk(
          make_chain(data, {{0, 1}, {7, 2}, {8000, 3}}, CountingHooks::allocate, nullptr), nullptr);
    } else {
      list = kor_buflist_create(nullptr);
      Ops w(list);
      w.ops.open(w.stream, KOR_ASN1_DSTRM_WRITE);
      w.write_forwards(std::string(8192, 'x'));
      w.write_forwards(std::string(8192, 'y'));
      w.write_forwards("z");
    }
    Ops s(list);
    s.ops.open(s.stream, KOR_ASN1_DSTRM_READ);
    std::vector<std::string> backwards = s.read_all(false);
    s.ops.open(s.stream, KOR_ASN1_DSTRM_READ);
    std::vector<std::string> forwards = s.read_all(true);
    ASSERT_EQ(backwards.size(), 3u);
    EXPECT_EQ(std::vector<std::string>(forwards.rbegin(), forwards.rend()), backwards);
    EXPECT_EQ(backwards[0][0], 'z');
    kor_buflist_destroy(list);
    EXPECT_TRUE(hooks.live().empty());
    EXPECT_EQ(hooks.bad_releases, 0);
  }
}

TEST(StreamOperations, AllocUsesTheHookWithTheListsContext) {
  CountingHooks hooks;
  int context = 0;
  kor_buflist *list = kor_buflist_create(&context);
  Ops s(list);
  void *p = s.ops.alloc(s.stream, 77);
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(hooks.live().at(p).size, 77u);
  EXPECT_EQ(hooks.live().at(p).context, &context);
  CountingHooks::release(p, 77, &context);
  kor_buflist_destroy(list);
  EXPECT_TRUE(hooks.live().empty());
  EXPECT_EQ(hooks.bad_releases, 0);
}

}  // namespace
}  // namespace lyrdua::test
