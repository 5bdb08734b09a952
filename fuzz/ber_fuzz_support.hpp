// What the BER fuzz targets share: invariant checks that abort, data streams
// that deliver or collect octets in chunks of planned sizes, element trees
// with an independent encoder, and the capture of standard output.
#pragma once

#include <lyrdua/kor_asn1.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace lyrdua::fuzz {

using Octets = std::vector<uint8_t>;

// Aborts, after saying which invariant broke, when ok is false; the details
// (e.g. the two walks that differ) are printed in full.
void require(bool ok, const char *invariant, const std::string &details = std::string());

std::string to_hex(const uint8_t *octets, size_t n);
inline std::string to_hex(const Octets &octets) { return to_hex(octets.data(), octets.size()); }
// A tag or an error code as eight hex digits.
std::string hex_word(uint32_t value);

// A small deterministic generator: the fuzz input picks its seed, so a run
// replays exactly.
class Choices {
 public:
  explicit Choices(uint32_t seed) : state_(seed * 2654435761u + 0x9E3779B9u) {}
  uint32_t next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return state_;
  }
  uint32_t below(uint32_t n) { return next() % n; }

 private:
  uint32_t state_;
};

// Sizes of the chunks a stream hands over, chosen by one control octet:
//   00xxxxxx  every chunk xxxxxx + 1 octets (1 to 64)
//   01xxxxxx  sizes from 1 to (xxx + 1), varying, seeded by the octet
//   10xxxxxx  sizes from 1 to 8 * (xxx + 1), varying, seeded by the octet
//   11xxxxxx  one chunk as large as the stream allows
class ChunkPlan {
 public:
  explicit ChunkPlan(uint8_t control) : control_(control), choices_(control) {}
  size_t next();

 private:
  uint8_t control_;
  Choices choices_;
};

// Decoding stream: delivers the input in chunks of planned sizes. Each chunk
// is an allocation of its exact size that lives as long as the stream, so
// that the sanitizers catch reads past a chunk and captures stay valid.
class InputStream {
 public:
  InputStream(const Octets &input, uint8_t plan);
  kor_asn1_dstrm *stream() { return &base_; }

 private:
  static uint32_t KOR_API get_fwd_buffer(kor_asn1_dstrm *strm, uint8_t **buf, uint32_t *len);
  static void KOR_API open(kor_asn1_dstrm *strm, uint32_t direction);

  kor_asn1_dstrm base_;  // first member: the codec hands it back to the operations
  const Octets *input_;  // a pointer, not a reference: the class stays standard-layout
  uint8_t plan_control_;
  ChunkPlan plan_;
  size_t offset_ = 0;
  std::vector<std::unique_ptr<uint8_t[]>> chunks_;
};

// Encoding stream: hands out buffers of planned sizes, each its own exact
// allocation, and collects the pieces that the codec hands back.
class OutputStream {
 public:
  explicit OutputStream(uint8_t plan);
  kor_asn1_dstrm *stream() { return &base_; }
  // The pieces in encoding order (they arrive last piece first).
  Octets joined() const;

 private:
  static uint32_t KOR_API get_bwd_buffer(kor_asn1_dstrm *strm, uint8_t **buf, uint32_t *len);
  static uint32_t KOR_API bwd_filled(kor_asn1_dstrm *strm, uint8_t *first, uint32_t count);
  static void KOR_API open(kor_asn1_dstrm *strm, uint32_t direction);

  kor_asn1_dstrm base_;
  ChunkPlan plan_;
  // Only the buffer being filled is kept: one that was handed back is
  // released, so that the sanitizers catch a later write into it.
  std::unique_ptr<uint8_t[]> buffer_;
  size_t buffer_size_ = 0;
  Octets received_;             // the pieces one after the other, as handed back
  std::vector<size_t> pieces_;  // where each piece starts in received_
};

// Owns a context for the length of a check.
class Context {
 public:
  Context() : ctx_(kor_asn1_new_ctx()) { require(ctx_ != nullptr, "a new context"); }
  ~Context() { kor_asn1_free_ctx(ctx_); }
  Context(const Context &) = delete;
  Context &operator=(const Context &) = delete;
  operator kor_asn1_ctx *() const { return ctx_; }

 private:
  kor_asn1_ctx *ctx_;
};

// One element as the reader sees it: tag, form, and contents or members.
struct Node {
  uint32_t tag = 0;
  bool constructed = false;
  Octets contents;            // primitive
  std::vector<Node> members;  // constructed, in encoding order

  bool operator==(const Node &other) const {
    return tag == other.tag && constructed == other.constructed && contents == other.contents &&
           members == other.members;
  }
  bool operator!=(const Node &other) const { return !(*this == other); }
};

std::string describe(const Node &node);

// Definite-length encoding with minimal lengths and tag forms, made without
// the codec: what the writer must produce for the same tree.
void reference_encode(const Node &node, Octets *out);

// Whether the writer and reader can carry the tree: tag numbers below 2^24
// (the writer's identifier takes the argument's top byte), no UNIVERSAL 0
// (the reader takes its identifier for end-of-contents), and every
// constructed element above the reader's last frame (depth counts the
// outermost element as 1).
bool writer_can_encode(const Node &node);
bool reader_can_enter(const Node &node, int depth = 1);

// Reads one element and everything in it, entering every constructed
// element; false when the reader reports no element or records an error.
bool read_tree(kor_asn1_ctx *ctx, Node *node);

// Reads the input's one element; true when it is read without an error and
// nothing else is then found at the outermost level.
bool read_whole_input(kor_asn1_ctx *ctx, Node *node);

// Writes the tree with the writer: members last first, as encoding runs backwards.
void write_tree(kor_asn1_ctx *ctx, const Node &node);

// Standard output goes to a memory file, so that what the printer wrote can
// be compared; taking it empties the file.
class StdoutCapture {
 public:
  static void install();
  static std::string take();
};

}  // namespace lyrdua::fuzz
