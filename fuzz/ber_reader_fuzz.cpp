// Walks arbitrary input with the BER reader and the printer, from a fixed
// buffer and from streams that deliver it in chunks, and aborts when the walks
// disagree, when the printer's lines break their format, or when an element
// that reads cleanly does not survive capture, re-encoding and re-reading.
//
// Input: octet 0 plans the stream's chunks (ChunkPlan), octet 1 seeds the
// choices of the scripted walk, the rest is the BER input.
#include <lyrdua/kor_asn1.h>

#include <algorithm>
#include <string>

#include "fuzz/ber_fuzz_support.hpp"

namespace lyrdua::fuzz {
namespace {

constexpr int kMaxSteps = 4000;
constexpr uint8_t kOneChunk = 0xFF;  // ChunkPlan: the whole input at once
constexpr size_t kHexColumn = 14;
constexpr size_t kMaxLine = 1023;  // the printer's 1024-character buffer, terminator included

// What a walk saw, one line per call with the error recorded after it.
// A fixed buffer refuses contents that run past its end without consuming
// them, where a stream first consumes what it still has: once an error is
// recorded, the input consumed since a mark may differ. `comparable` leaves
// those captures out; streams of any chunking agree on `all` as well.
struct Transcript {
  std::string all;
  std::string comparable;

  void line(const std::string &text) {
    all += text + '\n';
    comparable += text + '\n';
  }
  void capture(const std::string &text, bool after_error) {
    all += text + '\n';
    comparable += after_error ? std::string("(capture after an error)\n") : text + '\n';
  }
};

// The printed lines without their hex columns.
std::string text_columns(const std::string &printed) {
  std::string text;
  for (size_t start = 0; start < printed.size();) {
    size_t end = printed.find('\n', start);
    if (end == std::string::npos) end = printed.size();
    if (end - start > kHexColumn)
      text.append(printed, start + kHexColumn, end - start - kHexColumn);
    text += '\n';
    start = end + 1;
  }
  return text;
}

bool is_hex_digit(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'); }

// Every line: at most 1023 characters, then a newline; a hex column of up
// to six octets, two full stops when more were consumed, blanks to column 14.
// String values are printed as they are, so an input holding a newline octet
// may split a line: then only the length bound is checked.
void require_printer_format(const std::string &printed, bool whole_lines) {
  for (size_t start = 0; start < printed.size();) {
    size_t end = printed.find('\n', start);
    require(end != std::string::npos, "every printed line ends with a newline", printed);
    std::string line = printed.substr(start, end - start);
    start = end + 1;
    require(line.size() <= kMaxLine, "a printed line fits the printer's line buffer", line);
    if (!whole_lines) continue;
    require(line.size() >= kHexColumn, "a printed line has its hex column", line);
    size_t digits = 0;
    while (digits < 12 && is_hex_digit(line[digits])) ++digits;
    require(digits % 2 == 0, "the hex column shows whole octets", line);
    size_t column = digits;
    if (digits == 12 && line.compare(12, 2, "..") == 0) column = 14;
    for (; column < kHexColumn; ++column)
      require(line[column] == ' ', "blanks fill the hex column", line);
  }
}

bool holds_newline(const Octets &input) {
  return std::find(input.begin(), input.end(), uint8_t{'\n'}) != input.end();
}

// A walk whose every step the seed chooses: marks and captures anywhere,
// printing, expecting tags, entering, skipping and reading contents of
// either form, including the calls that the state rules refuse.
class ScriptedWalk {
 public:
  ScriptedWalk(kor_asn1_ctx *ctx, uint8_t seed, bool whole_lines)
      : ctx_(ctx), choices_(seed), whole_lines_(whole_lines) {}

  Transcript run() {
    walk_level(0);
    // The walk's printing goes to standard output.
    std::string printed = StdoutCapture::take();
    require_printer_format(printed, whole_lines_);
    uint32_t error = kor_asn1_errno(ctx_);
    transcript_.line("error " + hex_word(error));
    transcript_.all += printed;
    transcript_.comparable += error == 0 ? printed : text_columns(printed);
    return transcript_;
  }

 private:
  void note(const std::string &what) {
    transcript_.line(what + " -> " + hex_word(kor_asn1_errno(ctx_)));
  }

  // depth counts the constructs entered around this level.
  void walk_level(int depth) {
    while (steps_++ < kMaxSteps) {
      uint32_t tag = 0;
      switch (choices_.below(12)) {
        case 0:
          kor_asn1_mark(ctx_);
          note("mark");
          continue;
        case 1:
          capture();
          continue;
        case 2:
          // Not inside the outermost construct: at its end the printer's get_tag
          // returns 0 and it prints the length of the outermost level, which is
          // the fixed buffer's length but -1 (no known end) for a stream.
          if (depth != 1) {
            kor_asn1_print(ctx_);
            note("print");
          }
          continue;
        case 3: {
          static const uint32_t kExpected[] = {0, 1, 2, 4, 16, 17, 0x80000000u, 0x40000001u};
          uint32_t expected = kExpected[choices_.below(8)];
          tag = kor_asn1_expect_tag(ctx_, expected);
          note("expect " + hex_word(expected) + " got " + hex_word(tag));
          break;
        }
        default:
          tag = kor_asn1_get_tag(ctx_);
          note("tag " + hex_word(tag));
          break;
      }
      if (tag == 0) return;
      element(depth);
    }
  }

  void describe_current() {
    note("length " + std::to_string(kor_asn1_get_length(ctx_)) + " constructed " +
         std::to_string(kor_asn1_is_constructed(ctx_)));
  }

  // The element whose header was just read.
  void element(int depth) {
    describe_current();
    bool constructed = kor_asn1_is_constructed(ctx_) != 0;
    uint32_t action = choices_.below(8);
    if (constructed) {
      switch (action) {
        case 0:
        case 1:
        case 2:
        case 3:
          kor_asn1_enter_construct(ctx_);
          note("enter");
          describe_current();
          walk_level(depth + 1);  // until the end of the construct (or an error)
          return;
        case 4:
          skip();
          break;
        case 5:
          // A constructed string joined, or an error. Reading its end made its
          // container the current element, which may be the outermost level,
          // whose length a fixed buffer and a stream give differently.
          contents();
          return;
        case 6:
          note("int " + std::to_string(kor_asn1_get_int(ctx_)));
          break;
        default:  // not entered: its members follow as though they stood here
          note("nothing");
          break;
      }
    } else {
      switch (action) {
        case 0:
        case 1:
        case 2:
          contents();
          break;
        case 3:
        case 4:
          note("int " + std::to_string(kor_asn1_get_int(ctx_)));
          break;
        case 5:
          skip();
          break;
        case 6:
          kor_asn1_enter_construct(ctx_);
          note("enter");
          break;
        default:  // contents left unread: the next get_tag takes them for a header
          note("nothing");
          break;
      }
    }
    describe_current();
  }

  void skip() {
    kor_asn1_skip(ctx_);
    note("skip");
  }

  void contents() {
    const uint8_t *octets = nullptr;
    uint32_t n = 0;
    kor_asn1_get_octets(ctx_, &octets, &n);
    note("octets " + to_hex(octets, n));
  }

  void capture() {
    bool after_error = kor_asn1_errno(ctx_) != 0;
    const uint8_t *octets = nullptr;
    uint32_t n = 0;
    kor_asn1_get_marked(ctx_, &octets, &n);
    require(octets != nullptr, "get_marked never gives null");
    transcript_.capture("marked " + to_hex(octets, n) + " -> " + hex_word(kor_asn1_errno(ctx_)),
                        after_error);
  }

  kor_asn1_ctx *ctx_;
  Choices choices_;
  bool whole_lines_;
  Transcript transcript_;
  int steps_ = 0;
};

Transcript walk_fixed(const Octets &input, uint8_t seed) {
  Octets copy = input;  // an allocation of the input's exact size
  Context ctx;
  kor_asn1_set_buf(ctx, KOR_ASN1_MODE_DECODE, copy.data(), static_cast<uint32_t>(copy.size()));
  return ScriptedWalk(ctx, seed, !holds_newline(input)).run();
}

Transcript walk_stream(const Octets &input, uint8_t plan, uint8_t seed) {
  InputStream stream(input, plan);
  Context ctx;
  kor_asn1_set_dstrm(ctx, stream.stream(), KOR_ASN1_MODE_DECODE);
  return ScriptedWalk(ctx, seed, !holds_newline(input)).run();
}

// Whether the reader takes the input's first identifier for end-of-contents
// (tag 0, in either form, with the reader's masking of long numbers). At the
// outermost level a fixed buffer, whose length is known, refuses it; a
// stream, whose outermost level has no known end, takes it as that end.
bool starts_with_end_of_contents(const Octets &input) {
  if (input.empty() || (input[0] & 0xC0) != 0) return false;
  if ((input[0] & 0x1F) != 0x1F) return (input[0] & 0x1F) == 0;
  uint32_t number = 0;
  for (size_t i = 1; i < input.size(); ++i) {
    number = (number << 7 | (input[i] & 0x7Fu)) & KOR_ASN1_NUMBER_MASK;
    if ((input[i] & 0x80) == 0) return number == 0;
  }
  return false;  // cut off: both sources run out of input
}

void check_walks_agree(const Octets &input, uint8_t plan, uint8_t seed) {
  Transcript chunked = walk_stream(input, plan, seed);
  Transcript whole = walk_stream(input, kOneChunk, seed);
  require(chunked.all == whole.all, "a stream reads the same whatever its chunks",
          "chunked:\n" + chunked.all + "\none chunk:\n" + whole.all);
  if (starts_with_end_of_contents(input)) return;
  Transcript fixed = walk_fixed(input, seed);
  require(fixed.comparable == chunked.comparable, "a stream reads what a fixed buffer reads",
          "fixed:\n" + fixed.comparable + "\nchunked:\n" + chunked.comparable);
}

struct Printout {
  std::string text;
  uint32_t error;
  bool rest_is_end;  // a get_tag after the print ends the input
};

Printout print(kor_asn1_ctx *ctx, bool whole_lines) {
  kor_asn1_print(ctx);
  Printout p;
  p.text = StdoutCapture::take();
  p.error = kor_asn1_errno(ctx);
  p.rest_is_end = kor_asn1_get_tag(ctx) == 0 && kor_asn1_errno(ctx) == KOR_ASN1_E_END_OF_DATA;
  require_printer_format(p.text, whole_lines);
  return p;
}

void check_printer_agrees(const Octets &input, uint8_t plan) {
  Octets copy = input;
  Context fixed_ctx;
  kor_asn1_set_buf(fixed_ctx, KOR_ASN1_MODE_DECODE, copy.data(),
                   static_cast<uint32_t>(copy.size()));
  bool whole_lines = !holds_newline(input);
  Printout fixed = print(fixed_ctx, whole_lines);
  InputStream chunks(input, plan);
  Context chunked_ctx;
  kor_asn1_set_dstrm(chunked_ctx, chunks.stream(), KOR_ASN1_MODE_DECODE);
  Printout chunked = print(chunked_ctx, whole_lines);
  InputStream whole_stream(input, kOneChunk);
  Context whole_ctx;
  kor_asn1_set_dstrm(whole_ctx, whole_stream.stream(), KOR_ASN1_MODE_DECODE);
  Printout whole = print(whole_ctx, whole_lines);

  require(chunked.text == whole.text && chunked.error == whole.error,
          "a stream prints the same whatever its chunks", chunked.text + "\n" + whole.text);
  if (starts_with_end_of_contents(input)) return;
  require(fixed.error == chunked.error, "the printer ends with the same error from either source",
          hex_word(fixed.error) + " " + hex_word(chunked.error));
  if (fixed.error == 0) {
    require(fixed.text == chunked.text, "a stream prints what a fixed buffer prints",
            fixed.text + "\n" + chunked.text);
    require(fixed.rest_is_end && chunked.rest_is_end, "the printer consumes the whole element");
  } else {
    require(text_columns(fixed.text) == text_columns(chunked.text),
            "after an error the printed texts still agree", fixed.text + "\n" + chunked.text);
  }
}

// The octets of the input's first element, as mark, get_tag, skip,
// get_marked capture it; false when that records an error.
bool capture_element(kor_asn1_ctx *ctx, Octets *element) {
  kor_asn1_mark(ctx);
  kor_asn1_get_tag(ctx);
  kor_asn1_skip(ctx);
  const uint8_t *octets = nullptr;
  uint32_t n = 0;
  kor_asn1_get_marked(ctx, &octets, &n);
  if (kor_asn1_errno(ctx) != 0) return false;
  element->assign(octets, octets + n);
  return true;
}

bool read_fixed(const Octets &input, Node *tree) {
  Octets copy = input;
  Context ctx;
  kor_asn1_set_buf(ctx, KOR_ASN1_MODE_DECODE, copy.data(), static_cast<uint32_t>(copy.size()));
  return read_whole_input(ctx, tree);
}

bool read_stream(const Octets &input, uint8_t plan, Node *tree) {
  InputStream stream(input, plan);
  Context ctx;
  kor_asn1_set_dstrm(ctx, stream.stream(), KOR_ASN1_MODE_DECODE);
  return read_whole_input(ctx, tree);
}

// A clean read of the input: the captured element reads the same on its
// own, the writer inserts it unchanged, and the tree written again by the
// writer (fixed buffer and stream) is the reference encoding, which reads
// back as the same tree.
void check_round_trip(const Octets &input, uint8_t plan) {
  Node tree;
  bool clean = read_fixed(input, &tree);
  Node streamed;
  require(read_stream(input, plan, &streamed) == clean && (!clean || streamed == tree),
          "a stream gives the tree that a fixed buffer gives");
  if (!clean) return;

  Octets copy = input;
  Context capture_ctx;
  kor_asn1_set_buf(capture_ctx, KOR_ASN1_MODE_DECODE, copy.data(),
                   static_cast<uint32_t>(copy.size()));
  Octets element;
  require(capture_element(capture_ctx, &element), "a cleanly read element can be captured");
  require(
      element.size() <= input.size() && std::equal(element.begin(), element.end(), input.begin()),
      "the capture is the input's first element", to_hex(element));
  InputStream stream(input, plan);
  Context stream_capture_ctx;
  kor_asn1_set_dstrm(stream_capture_ctx, stream.stream(), KOR_ASN1_MODE_DECODE);
  Octets streamed_element;
  require(capture_element(stream_capture_ctx, &streamed_element) && streamed_element == element,
          "a stream captures what a fixed buffer captures", to_hex(streamed_element));

  Node alone;
  require(read_fixed(element, &alone) && alone == tree, "the captured element reads the same alone",
          describe(tree) + "\n" + describe(alone));

  Octets inserted_buffer(element.size());
  Context insert_ctx;
  kor_asn1_set_buf(insert_ctx, KOR_ASN1_MODE_ENCODE, inserted_buffer.data(),
                   static_cast<uint32_t>(inserted_buffer.size()));
  kor_asn1_put_encoding(insert_ctx, element.data(), static_cast<uint32_t>(element.size()));
  uint8_t *out = nullptr;
  uint32_t n = 0;
  kor_asn1_get_buf(insert_ctx, &out, &n);
  require(kor_asn1_errno(insert_ctx) == 0 && out == inserted_buffer.data() &&
              Octets(out, out + n) == element,
          "put_encoding inserts the captured element unchanged");

  if (!writer_can_encode(tree)) return;
  Octets reference;
  reference_encode(tree, &reference);
  Octets buffer(reference.size());
  Context write_ctx;
  kor_asn1_set_buf(write_ctx, KOR_ASN1_MODE_ENCODE, buffer.data(),
                   static_cast<uint32_t>(buffer.size()));
  write_tree(write_ctx, tree);
  kor_asn1_get_buf(write_ctx, &out, &n);
  require(
      kor_asn1_errno(write_ctx) == 0 && out == buffer.data() && Octets(out, out + n) == reference,
      "the writer gives the reference encoding of the tree read",
      to_hex(reference) + "\n" + hex_word(kor_asn1_errno(write_ctx)));
  OutputStream pieces(plan);
  Context stream_write_ctx;
  kor_asn1_set_dstrm(stream_write_ctx, pieces.stream(), KOR_ASN1_MODE_ENCODE);
  write_tree(stream_write_ctx, tree);
  require(kor_asn1_errno(stream_write_ctx) == 0, "writing into a stream succeeds");
  kor_asn1_get_dstrm(stream_write_ctx);
  require(pieces.joined() == reference, "a stream receives what a fixed buffer holds",
          to_hex(pieces.joined()));

  Node again;
  require(reader_can_enter(tree) && read_fixed(reference, &again) && again == tree,
          "the re-encoded tree reads back the same", describe(tree) + "\n" + describe(again));
}

}  // namespace
}  // namespace lyrdua::fuzz

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
  lyrdua::fuzz::StdoutCapture::install();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  using namespace lyrdua::fuzz;
  if (size < 2) return 0;
  const uint8_t plan = data[0];
  const uint8_t seed = data[1];
  const Octets input(data + 2, data + size);
  check_walks_agree(input, plan, seed);
  check_printer_agrees(input, plan);
  check_round_trip(input, plan);
  return 0;
}
