// Runs syntax handlers through the C API: encodes a text into a fixed buffer,
// decodes hex into a caller buffer, and collects the events they raise.
#pragma once

#include <gtest/gtest.h>
#include <lyrdua/kor_ahs.h>
#include <lyrdua/kor_evt.h>

#include <string>
#include <vector>

#include "tests/support/hex.hpp"

namespace lyrdua::test {

using EncoderA = uint32_t(KOR_API *)(const char *, int32_t, kor_asn1_ctx *, uintptr_t);
using EncoderW = uint32_t(KOR_API *)(const kor_wchar *, int32_t, kor_asn1_ctx *, uintptr_t);
using DecoderA = uint32_t(KOR_API *)(kor_asn1_ctx *, char *, uint32_t *, uintptr_t);
using DecoderW = uint32_t(KOR_API *)(kor_asn1_ctx *, kor_wchar *, uint32_t *, uintptr_t);

// An event as a reader of a filtered stream receives it.
struct RaisedEvent {
  uint32_t code = 0;
  std::vector<std::string> params;  // text up to the first NUL, as messages show it
};

// A user stream that selects every event of the syntax handlers.
class EventProbe {
 public:
  EventProbe() {
    stream_ = kor_evt_stream_alloc();
    kor_evt_set_stream_options(stream_, KOR_EVT_OPT_FLAT);
    kor_evt_set_filter(stream_, 0, KOR_EVT_CAT_SYNTAX);
  }
  ~EventProbe() { kor_evt_stream_free(stream_); }
  EventProbe(const EventProbe &) = delete;
  EventProbe &operator=(const EventProbe &) = delete;

  std::vector<RaisedEvent> take() {
    std::vector<RaisedEvent> events;
    while (kor_evt_record *record = kor_evt_get_event(stream_)) {
      RaisedEvent event;
      event.code = record->code;
      for (uint32_t i = 1; i <= record->param_count; ++i) {
        uint32_t kind = 0, length = 0;
        void *data = nullptr;
        kor_evt_get_param(stream_, i, &kind, &data, &length);
        event.params.emplace_back(static_cast<const char *>(data));
      }
      events.push_back(event);
    }
    return events;
  }

  // The one event raised since the last take (code 0 when none).
  RaisedEvent single() {
    std::vector<RaisedEvent> events = take();
    EXPECT_LE(events.size(), 1u);
    return events.empty() ? RaisedEvent{} : events.back();
  }

 private:
  uint32_t stream_;
};

inline std::vector<kor_wchar> widen(const std::string &text) {
  std::vector<kor_wchar> wide;
  for (unsigned char c : text) wide.push_back(c);
  wide.push_back(0);
  return wide;
}

inline std::string narrow(const kor_wchar *text, size_t n) {
  std::string out;
  for (size_t i = 0; i < n; ++i) out += static_cast<char>(text[i]);
  return out;
}

struct Encoded {
  uint32_t result;
  std::string hex;     // what the context holds afterwards
  uint32_t ber_error;  // kor_asn1_errno afterwards
};

template <typename Char, typename Encoder>
Encoded encode_with(Encoder encoder, const Char *text, int32_t text_len) {
  uint8_t buffer[4096];
  kor_asn1_ctx *ctx = kor_asn1_new_ctx();
  kor_asn1_set_buf(ctx, KOR_ASN1_MODE_ENCODE, buffer, sizeof buffer);
  Encoded e{encoder(text, text_len, ctx, 0), "", 0};
  e.ber_error = kor_asn1_errno(ctx);
  uint8_t *out = nullptr;
  uint32_t len = 0;
  kor_asn1_get_buf(ctx, &out, &len);
  e.hex = to_hex(out, len);
  kor_asn1_free_ctx(ctx);
  return e;
}

inline Encoded encode(EncoderA encoder, const std::string &text) {
  return encode_with(encoder, text.c_str(), static_cast<int32_t>(text.size()));
}

inline Encoded encode_w(EncoderW encoder, const std::string &text) {
  std::vector<kor_wchar> wide = widen(text);
  return encode_with(encoder, wide.data(), static_cast<int32_t>(text.size()));
}

struct Decoded {
  uint32_t result;
  std::string text;  // up to the NUL the handler wrote
  uint32_t out_len;
};

template <typename Char, typename Decoder>
Decoded decode_with(Decoder decoder, const std::string &hex, uint32_t capacity) {
  std::vector<uint8_t> input = from_hex(hex);
  kor_asn1_ctx *ctx = kor_asn1_new_ctx();
  kor_asn1_set_buf(ctx, KOR_ASN1_MODE_DECODE, input.data(), static_cast<uint32_t>(input.size()));
  // One unit more than the capacity, to catch a write past it.
  std::vector<Char> out(capacity + 1, static_cast<Char>(0x7F));
  Decoded d{0, "", capacity};
  d.result = decoder(ctx, out.data(), &d.out_len, 0);
  EXPECT_EQ(out[capacity], static_cast<Char>(0x7F)) << "written past the capacity";
  size_t n = 0;
  while (n < capacity && out[n] != 0) ++n;
  for (size_t i = 0; i < n; ++i) d.text += static_cast<char>(out[i]);
  kor_asn1_free_ctx(ctx);
  return d;
}

inline Decoded decode(DecoderA decoder, const std::string &hex, uint32_t capacity = 512) {
  return decode_with<char>(decoder, hex, capacity);
}

inline Decoded decode_w(DecoderW decoder, const std::string &hex, uint32_t capacity = 512) {
  return decode_with<kor_wchar>(decoder, hex, capacity);
}

// A row of a decoding table: the handlers, the input and what the A handler gives.
struct DecodeCase {
  const char *about;
  DecoderA a;
  DecoderW w;  // null: the W handler has no conversion
  const char *hex;
  uint32_t capacity;
  uint32_t result;
  std::string text;  // compared after result 0 or 6
  uint32_t out_len;
  std::vector<std::string> params;
};

inline void PrintTo(const DecodeCase &c, std::ostream *os) { *os << c.about; }

// Decodes the row with its A handler and checks the result, the text, the
// length and the event; returns what was decoded and raised.
inline Decoded expect_decoded_a(const DecodeCase &c, EventProbe &events, RaisedEvent *raised) {
  Decoded a = decode(c.a, c.hex, c.capacity);
  EXPECT_EQ(a.result, c.result);
  if (c.result == 0 || c.result == KOR_AHS_TRUNCATED) {
    EXPECT_EQ(a.text, c.text);
  }
  EXPECT_EQ(a.out_len, c.out_len);
  *raised = events.single();
  EXPECT_EQ(raised->code, c.result >= 0xE6F00000u ? c.result : 0u);
  EXPECT_EQ(raised->params, c.params);
  return a;
}

}  // namespace lyrdua::test
