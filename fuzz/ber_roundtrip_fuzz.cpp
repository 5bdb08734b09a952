// Runs the input as a program of writer calls, against a model of the
// writer's levels, into a fixed buffer of exactly the expected size and into
// a stream of tiny buffers. Aborts unless every call is refused exactly when
// the model refuses it (with the same code), both encodings are the octets
// that an independent encoder gives for the model's elements, and the
// finished element reads back, from a fixed buffer and from a chunked stream,
// as the same tree.
//
// Input: octet 0 plans the streams' buffers and chunks (ChunkPlan), then one
// call per octet, with the operands it takes following it:
//   bits 0-2  0 put_int, 1 put_octets, 2 put_tag, 3 enter_construct,
//             4 exit_construct, 5 put_novalue, 6 put_encoding, 7 put_octets
//             of length 0
//   bits 3-4  the tag class of put_tag and put_encoding
//   bit 7     make the call even when the model refuses it (the program ends
//             there: the error is sticky)
#include <lyrdua/kor_asn1.h>

#include <algorithm>
#include <string>
#include <vector>

#include "fuzz/ber_fuzz_support.hpp"

namespace lyrdua::fuzz {
namespace {

constexpr size_t kMaxCalls = 512;
constexpr size_t kMaxOctets = 1u << 18;  // what one program may lay in all
constexpr uint32_t kMaxFrames = KOR_ASN1_MAX_FRAMES;

enum class Op { PutInt, PutOctets, PutTag, Enter, Exit, PutNovalue, PutEncoding, PutNothing };

struct Call {
  Op op = Op::PutInt;
  bool forced = false;
  int32_t value = 0;  // put_int
  uint32_t tag = 0;   // put_tag
  Octets data;        // put_octets, put_encoding
  Node element;       // put_encoding: what data encodes
};

// Reads the program's operands; running out of input gives zeros.
class ProgramReader {
 public:
  ProgramReader(const uint8_t *data, size_t size) : data_(data), size_(size) {}
  bool done() const { return at_ >= size_; }
  uint8_t octet() { return at_ < size_ ? data_[at_++] : 0; }
  uint32_t word(int octets) {
    uint32_t value = 0;
    for (int i = 0; i < octets; ++i) value = value << 8 | octet();
    return value;
  }

 private:
  const uint8_t *data_;
  size_t size_;
  size_t at_ = 0;
};

// Lengths on every boundary of the length forms, and small ones.
uint32_t contents_length(ProgramReader *in) {
  static const uint32_t kBoundaries[] = {127,   128,   129,   255,   256,   257,
                                         65535, 65536, 65537, 16383, 16384, 1000};
  uint8_t pick = in->octet();
  if (pick < 0xF0) return pick % 48;
  return kBoundaries[pick % (sizeof kBoundaries / sizeof *kBoundaries)];
}

// Tag numbers on every boundary of the identifier forms, and low ones.
uint32_t tag_number(ProgramReader *in) {
  static const uint32_t kBoundaries[] = {30,    31,      127,     128,      16383,
                                         16384, 2097151, 2097152, 0xFFFFFF, 200};
  uint8_t pick = in->octet();
  if (pick < 0xE0) return pick % 31;
  if (pick == 0xFF) return in->word(3);  // any number below 2^24
  return kBoundaries[pick % (sizeof kBoundaries / sizeof *kBoundaries)];
}

uint32_t tag_of(uint8_t op_octet, uint32_t number) {
  return static_cast<uint32_t>((op_octet >> 3) & 3) << 30 | number;
}

Octets pattern(uint32_t length, uint8_t seed) {
  Octets octets(length);
  for (uint32_t i = 0; i < length; ++i) octets[i] = static_cast<uint8_t>(seed + i * 7);
  return octets;
}

int32_t int_value(ProgramReader *in) {
  // Values around the boundaries of 1 to 4 octets, of either sign.
  static const int32_t kBoundaries[] = {0,       -1,      127,       128,       -128,
                                        -129,    32767,   32768,     -32768,    -32769,
                                        8388607, 8388608, INT32_MAX, INT32_MIN, 12345};
  uint8_t pick = in->octet();
  if (pick < 0x80) return static_cast<int32_t>(in->word(4));
  return kBoundaries[pick % (sizeof kBoundaries / sizeof *kBoundaries)];
}

std::vector<Call> parse_program(ProgramReader *in) {
  std::vector<Call> calls;
  size_t octets = 0;
  while (!in->done() && calls.size() < kMaxCalls) {
    uint8_t op_octet = in->octet();
    Call call;
    call.op = static_cast<Op>(op_octet & 7);
    call.forced = (op_octet & 0x80) != 0;
    switch (call.op) {
      case Op::PutInt:
        call.value = int_value(in);
        break;
      case Op::PutOctets: {
        uint32_t length = contents_length(in);
        if (octets + length > kMaxOctets) continue;
        octets += length;
        call.data = pattern(length, in->octet());
        break;
      }
      case Op::PutTag:
        call.tag = tag_of(op_octet, tag_number(in));
        break;
      case Op::PutEncoding: {
        // A primitive or a constructed element of up to three primitives.
        Node &e = call.element;
        e.tag = tag_of(op_octet, tag_number(in));
        uint8_t shape = in->octet();
        e.constructed = (shape & 0x80) != 0;
        for (int i = 0; e.constructed && i < (shape & 3); ++i) {
          Node member;
          member.tag = 1 + in->octet() % 30;
          member.contents = pattern(in->octet() % 6, shape);
          e.members.push_back(member);
        }
        if (!e.constructed) e.contents = pattern(shape % 40, shape);
        reference_encode(e, &call.data);
        octets += call.data.size();
        break;
      }
      default:
        break;
    }
    calls.push_back(call);
  }
  return calls;
}

// The writer's levels as trees: what each level has laid, and the error each
// call must record.
class WriterModel {
 public:
  WriterModel() : levels_(1) {}

  // The code the call must record, 0 when it is allowed.
  uint32_t refusal(const Call &call) const {
    const Level &level = levels_.back();
    bool outermost = levels_.size() == 1;
    switch (call.op) {
      case Op::PutOctets:
      case Op::PutNothing:
        return level.state == 2 && outermost ? KOR_ASN1_E_LEVEL : 0;
      case Op::PutInt:
      case Op::PutNovalue:
      case Op::PutEncoding:
        if (level.state == 1) return KOR_ASN1_E_SEQUENCE;
        return level.state == 2 && outermost ? KOR_ASN1_E_LEVEL : 0;
      case Op::PutTag:
        return level.state == 0 ? KOR_ASN1_E_WRONG_MODE : 0;
      case Op::Enter:
        if (levels_.size() == kMaxFrames) return KOR_ASN1_E_NESTING;
        if (level.state == 1) return KOR_ASN1_E_SEQUENCE;
        return level.state == 2 && outermost ? KOR_ASN1_E_LEVEL : 0;
      case Op::Exit:
        if (level.state == 1) return KOR_ASN1_E_SEQUENCE;
        return outermost ? KOR_ASN1_E_LEVEL : 0;
    }
    return 0;
  }

  // Applies a call that refusal() allows.
  void apply(const Call &call) {
    Level &level = levels_.back();
    switch (call.op) {
      case Op::PutOctets:
      case Op::PutNothing:
        if (level.state == 2) fold();
        level.contents.insert(level.contents.begin(), call.data.begin(), call.data.end());
        level.state = 1;
        return;
      case Op::PutInt:
      case Op::PutNovalue:
        if (level.state == 2) fold();
        level.contents = call.op == Op::PutInt ? minimal_int(call.value) : Octets();
        level.state = 1;
        return;
      case Op::PutEncoding:
        if (level.state == 2) fold();
        level.elements = {call.element};
        level.state = 2;
        return;
      case Op::PutTag: {
        Node tagged;
        tagged.tag = call.tag;
        tagged.constructed = level.state == 2;
        if (tagged.constructed) {
          tagged.members = std::move(level.elements);
        } else {
          tagged.contents = std::move(level.contents);
        }
        level.elements = {std::move(tagged)};
        level.contents.clear();
        level.state = 2;
        return;
      }
      case Op::Enter:
        if (level.state == 2) fold();
        level.state = 2;
        level.elements.clear();
        levels_.emplace_back();
        return;
      case Op::Exit: {
        Level closed = std::move(levels_.back());
        levels_.pop_back();
        Level &parent = levels_.back();
        if (closed.state == 2)
          parent.elements.insert(parent.elements.begin(), closed.elements.begin(),
                                 closed.elements.end());
        return;
      }
    }
  }

  // Everything laid so far, in buffer order: the deepest level's octets
  // were laid last and come first.
  Octets laid() const {
    Octets octets;
    for (auto level = levels_.rbegin(); level != levels_.rend(); ++level) {
      if (level->state == 1)
        octets.insert(octets.end(), level->contents.begin(), level->contents.end());
      for (const Node &element : level->elements) reference_encode(element, &octets);
    }
    return octets;
  }

  // The one finished element, when the outermost level holds exactly that.
  const Node *finished() const {
    if (levels_.size() != 1 || levels_[0].state != 2 || levels_[0].elements.size() != 1)
      return nullptr;
    return &levels_[0].elements[0];
  }

 private:
  struct Level {
    int state = 0;               // the writer's frame states 0, 1, 2
    Octets contents;             // state 1: the primitive contents laid
    std::vector<Node> elements;  // state 2: complete elements, in encoding order
  };

  // The level's elements join the enclosing level's members, in front.
  void fold() {
    Level &level = levels_.back();
    Level &parent = levels_[levels_.size() - 2];
    parent.elements.insert(parent.elements.begin(), level.elements.begin(), level.elements.end());
    level.elements.clear();
    level.state = 0;
  }

  static Octets minimal_int(int32_t value) {
    Octets octets;
    for (;;) {
      auto octet = static_cast<uint8_t>(value);
      octets.insert(octets.begin(), octet);
      value >>= 8;
      if ((value == 0 && !(octet & 0x80)) || (value == -1 && (octet & 0x80))) break;
    }
    return octets;
  }

  std::vector<Level> levels_;
};

void call_writer(kor_asn1_ctx *ctx, const Call &call) {
  auto length = static_cast<uint32_t>(call.data.size());
  switch (call.op) {
    case Op::PutInt:
      kor_asn1_put_int(ctx, call.value);
      return;
    case Op::PutOctets:
      kor_asn1_put_octets(ctx, call.data.data(), length);
      return;
    case Op::PutNothing:
      kor_asn1_put_octets(ctx, nullptr, 0);
      return;
    case Op::PutTag:
      kor_asn1_put_tag(ctx, call.tag);
      return;
    case Op::Enter:
      kor_asn1_enter_construct(ctx);
      return;
    case Op::Exit:
      kor_asn1_exit_construct(ctx);
      return;
    case Op::PutNovalue:
      kor_asn1_put_novalue(ctx);
      return;
    case Op::PutEncoding:
      kor_asn1_put_encoding(ctx, call.data.data(), length);
      return;
  }
}

// What the model says about the program: the calls that run (up to and
// including the first forced refusal) and that refusal's code.
struct Expectation {
  std::vector<const Call *> run;
  uint32_t error = 0;
  Octets laid;  // everything laid (before the refusal, if any)
  const Node *finished = nullptr;
};

Expectation expect(const std::vector<Call> &calls, WriterModel *model) {
  Expectation e;
  for (const Call &call : calls) {
    uint32_t refused = model->refusal(call);
    if (refused != 0 && !call.forced) continue;
    e.run.push_back(&call);
    if (refused != 0) {
      e.error = refused;
      break;
    }
    model->apply(call);
  }
  e.laid = model->laid();
  e.finished = e.error == 0 ? model->finished() : nullptr;
  return e;
}

// Runs the calls into a fixed buffer of the given size, checking each code.
Octets run_fixed(const Expectation &e, size_t size, uint32_t *error) {
  Octets buffer(size);
  Context ctx;
  kor_asn1_set_buf(ctx, KOR_ASN1_MODE_ENCODE, buffer.data(), static_cast<uint32_t>(size));
  for (const Call *call : e.run) call_writer(ctx, *call);
  *error = kor_asn1_errno(ctx);
  uint8_t *out = nullptr;
  uint32_t n = 0;
  kor_asn1_get_buf(ctx, &out, &n);
  require((out == nullptr) == (n == 0), "get_buf gives null exactly when it gives no octets");
  if (*error != 0) {
    require(out == nullptr, "get_buf gives nothing once an error is recorded");
    return buffer;  // the octets laid before the error, at the buffer's end
  }
  require(n == 0 || out + n == buffer.data() + size, "the encoding ends at the buffer's end");
  return Octets(out, out + n);
}

void check_writer(const Expectation &e, uint8_t plan) {
  uint32_t error = 0;
  Octets fixed = run_fixed(e, e.laid.size(), &error);
  require(error == e.error, "the writer refuses exactly what the model refuses",
          hex_word(error) + " instead of " + hex_word(e.error));
  require(fixed == e.laid, "the writer lays the reference encoding of the model's elements",
          to_hex(fixed) + "\n" + to_hex(e.laid));

  if (e.error == 0 && !e.laid.empty()) {
    Octets short_buffer = run_fixed(e, e.laid.size() - 1, &error);
    require(error == KOR_ASN1_E_END_OF_DATA, "one octet too few ends the data", hex_word(error));
    require(std::equal(short_buffer.begin(), short_buffer.end(), e.laid.begin() + 1),
            "a full buffer keeps the octets laid before it ran out");
  }

  OutputStream pieces(plan);
  Context ctx;
  kor_asn1_set_dstrm(ctx, pieces.stream(), KOR_ASN1_MODE_ENCODE);
  for (const Call *call : e.run) call_writer(ctx, *call);
  require(kor_asn1_errno(ctx) == e.error, "a stream refuses what a fixed buffer refuses");
  kor_asn1_get_dstrm(ctx);
  require(kor_asn1_errno(ctx) == KOR_ASN1_E_SEQUENCE, "get_dstrm leaves the context out of use");
  if (e.error == 0)
    require(pieces.joined() == e.laid, "a stream receives what a fixed buffer holds",
            to_hex(pieces.joined()) + "\n" + to_hex(e.laid));
}

void check_read_back(const Expectation &e, uint8_t plan) {
  if (e.finished == nullptr || !writer_can_encode(*e.finished)) return;
  const Node &tree = *e.finished;
  Octets encoding = e.laid;
  Context fixed_ctx;
  kor_asn1_set_buf(fixed_ctx, KOR_ASN1_MODE_DECODE, encoding.data(),
                   static_cast<uint32_t>(encoding.size()));
  Node fixed;
  bool fixed_read = read_whole_input(fixed_ctx, &fixed);
  InputStream chunks(e.laid, plan);
  Context stream_ctx;
  kor_asn1_set_dstrm(stream_ctx, chunks.stream(), KOR_ASN1_MODE_DECODE);
  Node streamed;
  bool stream_read = read_whole_input(stream_ctx, &streamed);
  if (!reader_can_enter(tree)) {
    require(!fixed_read && kor_asn1_errno(fixed_ctx) == KOR_ASN1_E_NESTING && !stream_read &&
                kor_asn1_errno(stream_ctx) == KOR_ASN1_E_NESTING,
            "a construct deeper than the reader's frames records the nesting error");
    return;
  }
  require(fixed_read && fixed == tree, "the encoding reads back as the tree written",
          describe(tree) + "\n" + describe(fixed) + "\n" + hex_word(kor_asn1_errno(fixed_ctx)));
  require(stream_read && streamed == tree, "a chunked stream reads back the tree written",
          describe(streamed) + "\n" + hex_word(kor_asn1_errno(stream_ctx)));
}

}  // namespace
}  // namespace lyrdua::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  using namespace lyrdua::fuzz;
  if (size < 1) return 0;
  const uint8_t plan = data[0];
  ProgramReader in(data + 1, size - 1);
  std::vector<Call> calls = parse_program(&in);
  WriterModel model;
  Expectation e = expect(calls, &model);
  check_writer(e, plan);
  check_read_back(e, plan);
  return 0;
}
