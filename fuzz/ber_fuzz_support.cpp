#include "fuzz/ber_fuzz_support.hpp"

#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace lyrdua::fuzz {

void require(bool ok, const char *invariant, const std::string &details) {
  if (ok) return;
  std::fprintf(stderr, "BER invariant broken: %s\n%s\n", invariant, details.c_str());
  std::abort();
}

std::string to_hex(const uint8_t *octets, size_t n) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string text;
  text.reserve(2 * n);
  for (size_t i = 0; i < n; ++i) {
    text += kDigits[octets[i] >> 4];
    text += kDigits[octets[i] & 0xF];
  }
  return text;
}

std::string hex_word(uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "%08X", value);
  return text;
}

size_t ChunkPlan::next() {
  uint8_t low = control_ & 0x3F;
  switch (control_ >> 6) {
    case 0:
      return size_t{low} + 1;
    case 1:
      return 1 + choices_.below((low & 7) + 1u);
    case 2:
      return 1 + choices_.below(8 * ((low & 7) + 1u));
    default:
      return SIZE_MAX;
  }
}

// ---- InputStream ---------------------------------------------------------

namespace {
uint32_t KOR_API unused_get(kor_asn1_dstrm *, uint8_t **, uint32_t *) {
  return KOR_ASN1_DSTRM_FAIL;
}
uint32_t KOR_API unused_filled(kor_asn1_dstrm *, uint8_t *, uint32_t) {
  return KOR_ASN1_DSTRM_FAIL;
}
void *KOR_API no_alloc(kor_asn1_dstrm *, uint32_t) { return nullptr; }
constexpr size_t kLargestOutputBuffer = 4096;
}  // namespace

InputStream::InputStream(const Octets &input, uint8_t plan)
    : input_(&input), plan_control_(plan), plan_(plan) {
  static const kor_asn1_dstrm_ops kOps = {get_fwd_buffer, unused_filled, unused_get,
                                          unused_filled,  open,          no_alloc};
  base_.ops = &kOps;
}

uint32_t KOR_API InputStream::get_fwd_buffer(kor_asn1_dstrm *strm, uint8_t **buf, uint32_t *len) {
  auto *self = reinterpret_cast<InputStream *>(strm);
  if (self->offset_ >= self->input_->size()) return KOR_ASN1_DSTRM_END;
  size_t n = std::min(self->plan_.next(), self->input_->size() - self->offset_);
  self->chunks_.emplace_back(new uint8_t[n]);
  std::memcpy(self->chunks_.back().get(), self->input_->data() + self->offset_, n);
  self->offset_ += n;
  *buf = self->chunks_.back().get();
  *len = static_cast<uint32_t>(n);
  return KOR_ASN1_DSTRM_OK;
}

void KOR_API InputStream::open(kor_asn1_dstrm *strm, uint32_t direction) {
  auto *self = reinterpret_cast<InputStream *>(strm);
  require(direction == KOR_ASN1_DSTRM_READ, "a decoding context opens its stream for reading");
  self->offset_ = 0;
  self->plan_ = ChunkPlan(self->plan_control_);
}

// ---- OutputStream --------------------------------------------------------

OutputStream::OutputStream(uint8_t plan) : plan_(plan) {
  static const kor_asn1_dstrm_ops kOps = {unused_get, unused_filled, get_bwd_buffer,
                                          bwd_filled, open,          no_alloc};
  base_.ops = &kOps;
}

Octets OutputStream::joined() const {
  Octets all;
  all.reserve(received_.size());
  size_t end = received_.size();
  for (auto start = pieces_.rbegin(); start != pieces_.rend(); ++start) {
    all.insert(all.end(), received_.begin() + static_cast<std::ptrdiff_t>(*start),
               received_.begin() + static_cast<std::ptrdiff_t>(end));
    end = *start;
  }
  return all;
}

uint32_t KOR_API OutputStream::get_bwd_buffer(kor_asn1_dstrm *strm, uint8_t **buf, uint32_t *len) {
  auto *self = reinterpret_cast<OutputStream *>(strm);
  size_t n = std::min(self->plan_.next(), kLargestOutputBuffer);
  self->buffer_.reset(new uint8_t[n]);
  self->buffer_size_ = n;
  *buf = self->buffer_.get();
  *len = static_cast<uint32_t>(n);
  return KOR_ASN1_DSTRM_OK;
}

uint32_t KOR_API OutputStream::bwd_filled(kor_asn1_dstrm *strm, uint8_t *first, uint32_t count) {
  auto *self = reinterpret_cast<OutputStream *>(strm);
  const uint8_t *buffer = self->buffer_.get();
  require(buffer != nullptr && first >= buffer && first + count == buffer + self->buffer_size_,
          "bwd_filled hands back the octets at the end of the current buffer");
  self->pieces_.push_back(self->received_.size());
  self->received_.insert(self->received_.end(), first, first + count);
  return KOR_ASN1_DSTRM_OK;
}

void KOR_API OutputStream::open(kor_asn1_dstrm *, uint32_t direction) {
  require(direction == KOR_ASN1_DSTRM_WRITE, "an encoding context opens its stream for writing");
}

// ---- Trees ---------------------------------------------------------------

std::string describe(const Node &node) {
  std::string text = hex_word(node.tag) + (node.constructed ? " {" : " ");
  if (!node.constructed) return text + to_hex(node.contents);
  for (const Node &member : node.members) text += describe(member) + "; ";
  return text + "}";
}

namespace {

void encode_identifier(uint32_t tag, bool constructed, Octets *out) {
  auto first = static_cast<uint8_t>((tag >> 30) << 6 | (constructed ? 0x20 : 0));
  uint32_t number = tag & KOR_ASN1_NUMBER_MASK;
  if (number <= 30) {
    out->push_back(static_cast<uint8_t>(first | number));
    return;
  }
  out->push_back(static_cast<uint8_t>(first | 0x1F));
  int shift = 28;
  while (shift > 0 && (number >> shift) == 0) shift -= 7;
  for (; shift > 0; shift -= 7)
    out->push_back(static_cast<uint8_t>(0x80 | ((number >> shift) & 0x7F)));
  out->push_back(static_cast<uint8_t>(number & 0x7F));
}

void encode_length(size_t length, Octets *out) {
  if (length < 0x80) {
    out->push_back(static_cast<uint8_t>(length));
    return;
  }
  int octets = 0;
  for (size_t rest = length; rest != 0; rest >>= 8) ++octets;
  out->push_back(static_cast<uint8_t>(0x80 | octets));
  for (int i = octets - 1; i >= 0; --i) out->push_back(static_cast<uint8_t>(length >> (8 * i)));
}

}  // namespace

void reference_encode(const Node &node, Octets *out) {
  encode_identifier(node.tag, node.constructed, out);
  if (!node.constructed) {
    encode_length(node.contents.size(), out);
    out->insert(out->end(), node.contents.begin(), node.contents.end());
    return;
  }
  Octets inner;
  for (const Node &member : node.members) reference_encode(member, &inner);
  encode_length(inner.size(), out);
  out->insert(out->end(), inner.begin(), inner.end());
}

bool writer_can_encode(const Node &node) {
  if ((node.tag & KOR_ASN1_NUMBER_MASK) >= (1u << 24) || node.tag == 0) return false;
  for (const Node &member : node.members)
    if (!writer_can_encode(member)) return false;
  return true;
}

bool reader_can_enter(const Node &node, int depth) {
  if (!node.constructed) return true;
  if (depth >= static_cast<int>(KOR_ASN1_MAX_FRAMES) - 1) return false;
  for (const Node &member : node.members)
    if (!reader_can_enter(member, depth + 1)) return false;
  return true;
}

namespace {

// The element whose header get_tag has just read.
bool read_element(kor_asn1_ctx *ctx, uint32_t tag, Node *node) {
  node->tag = tag;
  node->constructed = kor_asn1_is_constructed(ctx) != 0;
  if (!node->constructed) {
    const uint8_t *contents = nullptr;
    uint32_t n = 0;
    kor_asn1_get_octets(ctx, &contents, &n);
    if (kor_asn1_errno(ctx) != 0) return false;
    node->contents.assign(contents, contents + n);
    return true;
  }
  kor_asn1_enter_construct(ctx);
  for (uint32_t member = kor_asn1_get_tag(ctx); member != 0; member = kor_asn1_get_tag(ctx)) {
    node->members.emplace_back();
    if (!read_element(ctx, member, &node->members.back())) return false;
  }
  return kor_asn1_errno(ctx) == 0;
}

}  // namespace

bool read_tree(kor_asn1_ctx *ctx, Node *node) {
  uint32_t tag = kor_asn1_get_tag(ctx);
  if (tag == 0) return false;
  return read_element(ctx, tag, node);
}

bool read_whole_input(kor_asn1_ctx *ctx, Node *node) {
  if (!read_tree(ctx, node)) return false;
  uint32_t after = kor_asn1_get_tag(ctx);
  require(after == 0 && kor_asn1_errno(ctx) == KOR_ASN1_E_END_OF_DATA,
          "the outermost level holds one element: a further get_tag ends the input");
  return true;
}

void write_tree(kor_asn1_ctx *ctx, const Node &node) {
  if (node.constructed) {
    kor_asn1_enter_construct(ctx);
    for (auto member = node.members.rbegin(); member != node.members.rend(); ++member)
      write_tree(ctx, *member);
    kor_asn1_exit_construct(ctx);
  } else {
    kor_asn1_put_octets(ctx, node.contents.data(), static_cast<uint32_t>(node.contents.size()));
  }
  kor_asn1_put_tag(ctx, node.tag);
}

// ---- StdoutCapture ---------------------------------------------------------

void StdoutCapture::install() {
  std::fflush(stdout);
  int fd = memfd_create("ber_fuzz_stdout", 0);
  require(fd >= 0, "a memory file for standard output");
  dup2(fd, STDOUT_FILENO);
  close(fd);
}

std::string StdoutCapture::take() {
  std::fflush(stdout);
  struct stat info {};
  fstat(STDOUT_FILENO, &info);
  std::string text(static_cast<size_t>(info.st_size), '\0');
  if (!text.empty()) {
    ssize_t got = pread(STDOUT_FILENO, &text[0], text.size(), 0);
    text.resize(got > 0 ? static_cast<size_t>(got) : 0);
  }
  std::fseek(stdout, 0, SEEK_SET);
  require(ftruncate(STDOUT_FILENO, 0) == 0, "standard output can be emptied");
  return text;
}

}  // namespace lyrdua::fuzz
