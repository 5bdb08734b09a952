// The ISO 2022 engine: the decoder state of one call, the output sink with its
// measuring mode, the main loop with its copy loop over the fast view, the
// treatment of one octet by its cell, and the handlers.
#include "cnv/iso2022_engine.hpp"

#include <lyrdua/kor_cnv.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "cnv/t61_tables.hpp"

namespace lyrdua::cnv {
namespace {

// Measuring mode counts through a buffer of this size, whatever the output's length.
constexpr uint32_t kMeasuringBufferSize = 1024;
// Input octets that the copy loop treats before handing its output over.
constexpr uint32_t kRunLength = 4096;

enum class Outcome : uint32_t {
  kConverted = 0,
  kInvalidCell = 1,
  kNoMemory = 301,
  kTruncated = 302,
  kNoRoom = 303,
  kNoTableInvoked = 306,
  kSetUnavailable = 310,
  kRefused = 311,
  kUnlistedFinal = 312,
};

// The caller sees 302 and 303 as they are and every other failure as 1.
uint32_t caller_result(Outcome outcome) {
  switch (outcome) {
    case Outcome::kConverted:
      return KOR_CNV_OK;
    case Outcome::kNoMemory:
      return KOR_CNV_E_NOMEM;
    case Outcome::kTruncated:
      return KOR_CNV_E_INCOMPLETE;
    case Outcome::kNoRoom:
      return KOR_CNV_E_NO_ROOM;
    default:
      return KOR_CNV_E_INVALID;
  }
}

// ---------------------------------------------------------------------------
// Output sink
// ---------------------------------------------------------------------------

struct Sink {
  uint8_t *buffer;
  uint32_t capacity;
  uint32_t used;
  uint32_t emptied;  // measuring mode: octets counted and dropped from the buffer
  bool measuring;
};

uint32_t room(const Sink &sink) { return sink.capacity - sink.used; }
uint32_t produced(const Sink &sink) { return sink.emptied + sink.used; }

// Octets the copy loop may produce at once: a destination's room; when
// measuring, as many as a 32-bit length can still count.
uint32_t copy_room(const Sink &sink) {
  return sink.measuring ? UINT32_MAX - produced(sink) : room(sink);
}

// Counts octets that the copy loop measured without storing them.
void count_measured(Sink &sink, uint32_t n) {
  sink.emptied += n;
  sink.capacity = std::min(sink.capacity, UINT32_MAX - sink.emptied);
}

// Runs when the buffer is full: a destination has no more room, while the
// measuring buffer is counted and emptied, as far as a 32-bit length can count.
Outcome overflow(Sink &sink) {
  if (!sink.measuring) return Outcome::kNoRoom;
  sink.emptied += sink.used;
  sink.used = 0;
  sink.capacity = std::min(kMeasuringBufferSize, UINT32_MAX - sink.emptied);
  return sink.capacity == 0 ? Outcome::kNoRoom : Outcome::kConverted;
}

Outcome emit_octet(Sink &sink, uint8_t octet) {
  if (sink.used == sink.capacity) {
    const Outcome outcome = overflow(sink);
    if (outcome != Outcome::kConverted) return outcome;
  }
  sink.buffer[sink.used++] = octet;
  return Outcome::kConverted;
}

// ---------------------------------------------------------------------------
// Decoder state
// ---------------------------------------------------------------------------

struct Decoder {
  const Direction *direction;
  const uint8_t *source;
  uint32_t length;
  uint32_t index;  // the octet being treated
  const SetTable *invoked[kRangeCount];
  uint16_t designated[4];  // G0-G3
  const FastView *view;    // fast entries of the invoked sets
  Sink sink;
  FastView own_view;  // the view once a shift or designation has changed an invoked set
};

void start_decoder(Decoder &d, const Direction &direction, const uint8_t *src, uint32_t src_len) {
  d.direction = &direction;
  d.source = src;
  d.length = src_len;
  d.index = 0;
  std::copy(direction.initial_invoked, direction.initial_invoked + kRangeCount, d.invoked);
  std::copy(direction.initial_designated, direction.initial_designated + 4, d.designated);
  d.view = direction.initial_view;
}

// The direction's set lookup: the table known under `iso_ir`, or null.
const SetTable *set_lookup(const Direction &direction, uint16_t iso_ir) {
  for (size_t i = 0; i < direction.known_set_count; ++i)
    if (direction.known_sets[i].iso_ir == iso_ir) return direction.known_sets[i].table;
  return nullptr;
}

constexpr uint8_t kFirstOctetOfRange[kRangeCount] = {0x00, 0x20, 0x80, 0xA0};
constexpr uint8_t kLastOctetOfRange[kRangeCount] = {0x1F, 0x7F, 0x9F, 0xFF};

// Invokes `table` into `range` and brings the fast view up to date.
void invoke(Decoder &d, Range range, const SetTable *table) {
  if (d.invoked[range] == table) return;
  d.invoked[range] = table;
  if (d.view != &d.own_view) {
    d.own_view = *d.view;
    d.view = &d.own_view;
  }
  for (int octet = kFirstOctetOfRange[range]; octet <= kLastOctetOfRange[range]; ++octet)
    d.own_view.entries[octet] = fast_entry_of(table, static_cast<uint8_t>(octet));
  find_pass_ranges(d.own_view);
}

// The table of the set designated as G<n>, or null when there is none.
const SetTable *designated_table(const Decoder &d, int n) {
  return d.designated[n] == kNoDesignation ? nullptr : set_lookup(*d.direction, d.designated[n]);
}

Outcome invoke_designated(Decoder &d, Range range, int n) {
  const SetTable *table = designated_table(d, n);
  if (table == nullptr) return Outcome::kSetUnavailable;
  invoke(d, range, table);
  return Outcome::kConverted;
}

// Steps to the next octet of a sequence. At the end of the input the index
// stays on the last octet, so that a reported position is always an octet of
// the input.
Outcome next_octet(Decoder &d, uint8_t *octet) {
  if (d.length - d.index <= 1) return Outcome::kTruncated;
  *octet = d.source[++d.index];
  return Outcome::kConverted;
}

// ---------------------------------------------------------------------------
// Handlers
// ---------------------------------------------------------------------------

bool find_final(const FinalList &list, uint8_t final_octet, uint16_t *iso_ir) {
  for (size_t i = 0; i < list.count; ++i) {
    if (list.entries[i].final_octet == final_octet) {
      *iso_ir = list.entries[i].iso_ir;
      return true;
    }
  }
  return false;
}

// Reads a final octet and looks it up; 312 when the list does not have it.
Outcome read_final(Decoder &d, const FinalList &list, uint16_t *iso_ir) {
  uint8_t final_octet;
  const Outcome outcome = next_octet(d, &final_octet);
  if (outcome != Outcome::kConverted) return outcome;
  return find_final(list, final_octet, iso_ir) ? Outcome::kConverted : Outcome::kUnlistedFinal;
}

// A graphic set designation is only recorded; shifts look the set up later.
Outcome designate_graphic(Decoder &d, const FinalList &list, int n) {
  uint16_t iso_ir;
  const Outcome outcome = read_final(d, list, &iso_ir);
  if (outcome == Outcome::kConverted) d.designated[n] = iso_ir;
  return outcome;
}

// A control set designation takes effect at once.
Outcome designate_control(Decoder &d, const FinalList &list, Range range) {
  uint16_t iso_ir;
  const Outcome outcome = read_final(d, list, &iso_ir);
  if (outcome != Outcome::kConverted) return outcome;
  const SetTable *table = set_lookup(*d.direction, iso_ir);
  if (table == nullptr) return Outcome::kSetUnavailable;
  invoke(d, range, table);
  return Outcome::kConverted;
}

Outcome escape_sequence(Decoder &d) {
  uint8_t intermediate;
  const Outcome outcome = next_octet(d, &intermediate);
  if (outcome != Outcome::kConverted) return outcome;
  switch (intermediate) {
    case 0x21:
      return designate_control(d, c0_finals, kC0);
    case 0x22:
      return designate_control(d, c1_finals, kC1);
    case 0x28:
    case 0x29:
    case 0x2A:
    case 0x2B:
      return designate_graphic(d, finals_94, intermediate - 0x28);
    case 0x2D:
    case 0x2E:
    case 0x2F:
      return designate_graphic(d, finals_96, intermediate - 0x2C);
    case 0x24: {  // multiple-octet sets are not supported
      uint8_t final_octet;
      const Outcome read = next_octet(d, &final_octet);
      return read != Outcome::kConverted ? read : Outcome::kUnlistedFinal;
    }
    case 0x6E:  // LS2
      return invoke_designated(d, kGL, 2);
    case 0x6F:  // LS3
      return invoke_designated(d, kGL, 3);
    case 0x7E:  // LS1R
      return invoke_designated(d, kGR, 1);
    case 0x7D:  // LS2R
      return invoke_designated(d, kGR, 2);
    case 0x7C:  // LS3R
      return invoke_designated(d, kGR, 3);
    default:  // consumed without effect
      return Outcome::kConverted;
  }
}

// Copies the parameters of a control sequence up to and including its final octet.
Outcome control_sequence(Decoder &d) {
  for (;;) {
    uint8_t octet;
    Outcome outcome = next_octet(d, &octet);
    if (outcome != Outcome::kConverted) return outcome;
    outcome = emit_octet(d.sink, octet);
    if (outcome != Outcome::kConverted) return outcome;
    if (octet >= 0x40 && octet <= 0x7E) return Outcome::kConverted;
  }
}

struct SlotTable {
  uint8_t of[256];
};

constexpr SlotTable make_slot_table() {
  SlotTable table{};
  for (int octet = 0; octet < 256; ++octet)
    table.of[octet] = static_cast<uint8_t>(combination_slot(static_cast<uint8_t>(octet)));
  return table;
}

constexpr SlotTable combination_slots = make_slot_table();

Cell composition(int diacritic, uint8_t base) {
  return diacritic_combinations[diacritic].by_slot[combination_slots.of[base]];
}

// Composes the diacritic being treated with the octet that follows it.
Outcome compose_diacritic(Decoder &d) {
  const int diacritic = diacritic_index(d.source[d.index]);
  if (diacritic < 0) return Outcome::kInvalidCell;
  uint8_t base;
  const Outcome outcome = next_octet(d, &base);
  if (outcome != Outcome::kConverted) return outcome;
  const Cell cell = composition(diacritic, base);
  switch (action_of(cell)) {
    case kEmit:
      return emit_octet(d.sink, cell.value);
    case kNoEquivalent:
      return Outcome::kConverted;
    default:
      return Outcome::kRefused;
  }
}

Outcome form_feed(Sink &sink) {
  const Outcome outcome = emit_octet(sink, 0x0D);
  return outcome != Outcome::kConverted ? outcome : emit_octet(sink, 0x0C);
}

// Single shifts only check that the shifted set is available.
Outcome single_shift(const Decoder &d, int n) {
  return designated_table(d, n) != nullptr ? Outcome::kConverted : Outcome::kSetUnavailable;
}

Outcome run_handler(Decoder &d, const SetTable &table, uint8_t number) {
  if (number >= table.handler_count) return Outcome::kInvalidCell;
  switch (table.handlers[number]) {
    case Handler::kShiftIn:
      return invoke_designated(d, kGL, 0);
    case Handler::kShiftOut:
      return invoke_designated(d, kGL, 1);
    case Handler::kSingleShift2:
      return single_shift(d, 2);
    case Handler::kSingleShift3:
      return single_shift(d, 3);
    case Handler::kEscape:
      return escape_sequence(d);
    case Handler::kControlSequence:
      return control_sequence(d);
    case Handler::kFormFeed:
      return form_feed(d.sink);
    case Handler::kSpace:
      return emit_octet(d.sink, 0x20);
    case Handler::kDiacritic:
      return compose_diacritic(d);
  }
  return Outcome::kInvalidCell;
}

// ---------------------------------------------------------------------------
// Main loop
// ---------------------------------------------------------------------------

// Runs a cell of `table` for the octet being treated, in row `row`.
Outcome run_cell(Decoder &d, const SetTable &table, Cell cell, int row) {
  for (;;) {
    switch (action_of(cell)) {
      case kEmit:
        return emit_octet(d.sink, cell.value);
      case kRefuse:
        return Outcome::kRefused;
      case kEmitContinue: {
        const Outcome outcome = emit_octet(d.sink, cell.value);
        if (outcome != Outcome::kConverted) return outcome;
        cell = cell_at(table, operand_of(cell), row);
        continue;
      }
      case kCall:
        return run_handler(d, table, operand_of(cell));
      case kEmitCall: {
        const Outcome outcome = emit_octet(d.sink, cell.value);
        if (outcome != Outcome::kConverted) return outcome;
        return run_handler(d, table, operand_of(cell));
      }
      case kNoEquivalent:
      case kIgnore:
        return Outcome::kConverted;
      case kInvalidCell:
        return Outcome::kInvalidCell;
    }
    return Outcome::kInvalidCell;
  }
}

Outcome treat_octet(Decoder &d) {
  const uint8_t octet = d.source[d.index];
  const SetTable *table = d.invoked[range_of(octet)];
  if (table == nullptr) return Outcome::kNoTableInvoked;
  const int row = row_of(octet);
  return run_cell(d, *table, cell_at(*table, column_of(octet), row), row);
}

// One octet (or a diacritic and its letter) treated through the fast view:
// the octets consumed, 0 when the octet needs its cell run, and produced.
struct FastStep {
  size_t consumed;
  size_t produced;
};

// Treats `octet`, followed by `next` (0 when there is none to take), and
// writes two octets at out whatever it produces.
inline FastStep treat_fast(const FastView &view, uint8_t octet, uint8_t next, uint8_t *out) {
  const FastEntry entry = view.entries[octet];
  if (entry.count <= 2) {
    out[0] = entry.octets[0];
    out[1] = entry.octets[1];
    return {1, entry.count};
  }
  if (entry.count != kComposePath) return {0, 0};
  const Cell cell = composition(entry.diacritic, next);
  out[0] = cell.value;
  if (action_of(cell) == kEmit) return {2, 1};
  if (action_of(cell) == kNoEquivalent) return {2, 0};
  return {0, 0};
}

#if defined(__SSE2__)
// The pass-through ranges of a view, ready for testing 16 octets at a time.
struct PassTest {
  __m128i low[kPassRangeCount];
  __m128i span[kPassRangeCount];
};

PassTest pass_test_of(const FastView &view) {
  PassTest test;
  for (int i = 0; i < kPassRangeCount; ++i) {
    test.low[i] = _mm_set1_epi8(static_cast<char>(view.pass_ranges[i].low));
    test.span[i] = _mm_set1_epi8(static_cast<char>(view.pass_ranges[i].span));
  }
  return test;
}

// Bit k set: octet p[k] of the 16 at p does not pass through.
uint64_t stopping_octets16(const PassTest &test, const uint8_t *p) {
  const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
  __m128i passing = _mm_setzero_si128();
  for (int i = 0; i < kPassRangeCount; ++i) {
    const __m128i offset = _mm_sub_epi8(chunk, test.low[i]);
    passing = _mm_or_si128(passing, _mm_cmpeq_epi8(_mm_min_epu8(offset, test.span[i]), offset));
  }
  return ~static_cast<uint64_t>(_mm_movemask_epi8(passing)) & 0xFFFFu;
}

// Bit k set: octet p[k] of the 64 at p does not pass through.
uint64_t stopping_octets(const PassTest &test, const uint8_t *p) {
  return stopping_octets16(test, p) | stopping_octets16(test, p + 16) << 16 |
         stopping_octets16(test, p + 32) << 32 | stopping_octets16(test, p + 48) << 48;
}

// Copies n octets from p, writing up to 32 octets past them.
void copy_gap(uint8_t *out, const uint8_t *p, size_t n) {
  size_t copied = 0;
  do {
    for (int half = 0; half < 2; ++half, copied += 16)
      _mm_storeu_si128(reinterpret_cast<__m128i *>(out + copied),
                       _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + copied)));
  } while (copied < n);
}

constexpr size_t kBlock = 64;

// Treats a block of 64 octets at a time while 64 + 32 can be read: the runs of
// pass-through octets between the others are copied whole, the others treated
// one by one, their positions taken from one test of the block, which keeps
// the work of an octet independent of the octets before it. It writes up to
// 32 octets past its output. Returns false at an octet that needs its cell run.
bool copy_blocks(const FastView &view, const uint8_t **in, const uint8_t *end,
                 const uint8_t *readable_end, uint8_t **output) {
  if (view.pass_range_count == 0) return true;
  const PassTest test = pass_test_of(view);
  const uint8_t *p = *in;
  uint8_t *out = *output;
  bool fast = true;
  while (fast && static_cast<size_t>(end - p) >= kBlock &&
         static_cast<size_t>(readable_end - p) >= kBlock + 32) {
    size_t done = 0;
    for (uint64_t stops = stopping_octets(test, p); stops != 0; stops &= stops - 1) {
      const size_t k = static_cast<size_t>(__builtin_ctzll(stops));
      if (k < done) continue;  // the letter of a composition
      copy_gap(out, p + done, k - done);
      out += k - done;
      const uint8_t next = k + 1 < static_cast<size_t>(end - p) ? p[k + 1] : 0;
      const FastStep step = treat_fast(view, p[k], next, out);
      done = k + step.consumed;
      out += step.produced;
      if (step.consumed == 0) {
        fast = false;
        break;
      }
    }
    if (fast && done < kBlock) {
      copy_gap(out, p + done, kBlock - done);
      out += kBlock - done;
      done = kBlock;
    }
    p += done;
  }
  *in = p;
  *output = out;
  return fast;
}
#endif

// Converts from *in to `end` through the fast view, stopping at the first
// octet that needs its cell run; advances *in and returns the end of the
// output. Up to 32 octets past the output may be written, and no more than
// 2 * (end - *in) + 32 in all.
uint8_t *copy_fast(const FastView &view, const uint8_t **in, const uint8_t *end,
                   const uint8_t *readable_end, uint8_t *out) {
#if defined(__SSE2__)
  if (!copy_blocks(view, in, end, readable_end, &out)) return out;
#else
  (void)readable_end;
#endif
  const uint8_t *p = *in;  // local, so that the octets written cannot alias it
  while (p != end) {
    const FastStep step = treat_fast(view, *p, end - p >= 2 ? p[1] : 0, out);
    if (step.consumed == 0) break;
    p += step.consumed;
    out += step.produced;
  }
  *in = p;
  return out;
}

// Treats a run of octets through the fast view, as many as the sink takes at
// two output octets per input octet. The output is staged, so that the
// caller's buffer gets nothing past it; measuring only counts it.
void copy_run(Decoder &d) {
  Sink &sink = d.sink;
  const uint32_t count = std::min({d.length - d.index, copy_room(sink) / 2, kRunLength});
  const uint8_t *in = d.source + d.index;
  uint8_t staged[2 * kRunLength + 32];
  const uint8_t *readable_end = d.source + d.length;
  const uint32_t n =
      static_cast<uint32_t>(copy_fast(*d.view, &in, in + count, readable_end, staged) - staged);
  if (sink.measuring) {
    count_measured(sink, n);
  } else {
    std::memcpy(sink.buffer + sink.used, staged, n);
    sink.used += n;
  }
  d.index = static_cast<uint32_t>(in - d.source);
}

Outcome run(Decoder &d) {
  while (d.index < d.length) {
    copy_run(d);
    if (d.index == d.length) break;
    const Outcome outcome = treat_octet(d);
    if (outcome != Outcome::kConverted) return outcome;
    ++d.index;
  }
  return Outcome::kConverted;
}

}  // namespace

uint32_t translate(const Direction &direction, const uint8_t *src, uint32_t src_len, uint8_t *dst,
                   uint32_t *len, uint32_t *err_pos) {
  if (src_len == 0) {
    if (len != nullptr) *len = 0;
    return KOR_CNV_OK;
  }
  if (src == nullptr) {
    if (len != nullptr) *len = 0;
    if (err_pos != nullptr) *err_pos = 0;
    return KOR_CNV_E_INVALID;
  }
  Decoder d;
  Sink &sink = d.sink;
  sink.measuring = dst == nullptr;
  sink.used = 0;
  sink.emptied = 0;
  if (sink.measuring) {
    sink.buffer = static_cast<uint8_t *>(std::malloc(kMeasuringBufferSize));
    if (sink.buffer == nullptr) return caller_result(Outcome::kNoMemory);
    sink.capacity = kMeasuringBufferSize;
  } else {
    sink.buffer = dst;
    sink.capacity = len != nullptr ? *len : 0;
  }
  start_decoder(d, direction, src, src_len);
  const Outcome outcome = run(d);
  if (sink.measuring) std::free(sink.buffer);
  if (len != nullptr) *len = produced(sink);
  const uint32_t result = caller_result(outcome);
  if (result != KOR_CNV_OK && err_pos != nullptr) *err_pos = d.index;
  return result;
}

}  // namespace lyrdua::cnv
