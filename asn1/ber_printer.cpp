// BER value printer: one line per element, the raw octets consumed for it in a
// 14-character hex column, then the tag's name, the length and the value.
#include <cstdio>
#include <cstring>

#include "asn1/ber_context.hpp"
#include "platform/export.hpp"

namespace lyrdua::asn1 {
namespace {

constexpr size_t kLineCapacity = 1024;  // terminator included
constexpr size_t kHexColumn = 14;
constexpr size_t kHexOctets = 6;
constexpr size_t kMaxIndent = 110;

// Names of the UNIVERSAL tags, by number; null where the printer has none.
constexpr const char *kUniversalNames[] = {
    /*  0 */ nullptr,
    /*  1 */ "BOOLEAN",
    /*  2 */ "INTEGER",
    /*  3 */ "BITS",
    /*  4 */ "OCTETS",
    /*  5 */ "NULL",
    /*  6 */ "OID",
    /*  7 */ "OBJECT DESC",
    /*  8 */ "EXTERNAL",
    /*  9 */ "REAL",
    /* 10 */ "ENUMERATED",
    /* 11 */ nullptr,
    /* 12 */ nullptr,
    /* 13 */ nullptr,
    /* 14 */ nullptr,
    /* 15 */ nullptr,
    /* 16 */ "SEQ",
    /* 17 */ "SET",
    /* 18 */ "NUMERIC",
    /* 19 */ "PRINTABLE",
    /* 20 */ "T61",
    /* 21 */ "VTX",
    /* 22 */ "IA5",
    /* 23 */ "UTC TIME",
    /* 24 */ "GENERALIZED TIME",
    /* 25 */ "GRAPHIC",
    /* 26 */ "VISIBLE",
    /* 27 */ "GENERAL",
};

// Printed as "%.*s" between double quotes: the string and time types.
bool is_text_tag(uint32_t tag) {
  switch (tag) {
    case 18:
    case 19:
    case 20:
    case 22:
    case 23:
    case 24:
    case 26:
      return true;
    default:
      return false;
  }
}

// One output line. Text that would not fit is cut: the line is printed up to
// its capacity and the element's contents are still consumed.
class Line {
 public:
  Line() { clear(); }

  void text(const char *s, size_t n) {
    if (n == 0) return;  // s may be null then (contents that could not be read)
    size_t room = kLineCapacity - 1 - used_;
    if (n > room) n = room;
    std::memcpy(chars_ + used_, s, n);
    used_ += n;
  }
  void text(const char *s) { text(s, std::strlen(s)); }
  template <typename... Args>
  void format(const char *fmt, Args... args) {
    char piece[64];
    int n = std::snprintf(piece, sizeof piece, fmt, args...);
    if (n > 0)
      text(piece,
           static_cast<size_t>(n) < sizeof piece ? static_cast<size_t>(n) : sizeof piece - 1);
  }
  void indent(size_t n) {
    static const char kBlanks[kMaxIndent + 1] =
        "                                                                                          "
        "                    ";
    text(kBlanks, n < kMaxIndent ? n : kMaxIndent);
  }

  // Fills the hex column with what the context consumed since the last line
  // and writes the line to standard output.
  void emit(kor_asn1_ctx *ctx) {
    const uint8_t *consumed = nullptr;
    uint32_t n = 0;
    kor_asn1_get_marked(ctx, &consumed, &n);
    static const char kHex[] = "0123456789ABCDEF";
    size_t column = 0;
    for (uint32_t i = 0; i < n && i < kHexOctets; ++i) {
      chars_[column++] = kHex[consumed[i] >> 4];
      chars_[column++] = kHex[consumed[i] & 0xF];
    }
    if (n > kHexOctets) {
      chars_[column++] = '.';
      chars_[column++] = '.';
    }
    chars_[used_++] = '\n';
    std::fwrite(chars_, 1, used_, stdout);
    clear();
  }

 private:
  void clear() {
    std::memset(chars_, ' ', kHexColumn);
    used_ = kHexColumn;
  }

  char chars_[kLineCapacity + 1];  // + the newline that replaces the terminator
  size_t used_;
};

void write_tag_name(Line *line, uint32_t tag) {
  uint32_t number = tag & KOR_ASN1_NUMBER_MASK;
  switch (tag & KOR_ASN1_CLASS_MASK) {
    case KOR_ASN1_CLASS_UNIVERSAL:
      if (number < sizeof kUniversalNames / sizeof *kUniversalNames &&
          kUniversalNames[number] != nullptr) {
        line->text(kUniversalNames[number]);
      } else {
        line->format("[UNIVERSAL %i]", static_cast<int>(number));
      }
      return;
    case KOR_ASN1_CLASS_APPLICATION:
      line->format("[APPLICATION %i]", static_cast<int>(number));
      return;
    case KOR_ASN1_CLASS_CONTEXT:
      line->format("[%i]", static_cast<int>(number));
      return;
    default:
      line->format("[PRIVATE %i]", static_cast<int>(number));
      return;
  }
}

void write_bits(Line *line, const uint8_t *octets, uint32_t n) {
  line->text(" '");
  if (n >= 2) {
    uint64_t bits = uint64_t{n - 1} * 8;
    bits = octets[0] >= bits ? 0 : bits - octets[0];
    for (uint64_t i = 0; i < bits; ++i) {
      uint8_t octet = octets[1 + i / 8];
      line->text((octet >> (7 - i % 8)) & 1 ? "1" : "0", 1);
    }
  }
  line->text("'B");
}

void write_oid(Line *line, const uint8_t *octets, uint32_t n) {
  line->text("{");
  bool first = true;
  uint32_t value = 0;
  for (uint32_t i = 0; i < n; ++i) {
    value = value << 7 | (octets[i] & 0x7Fu);
    if (octets[i] & 0x80) continue;
    if (first) {
      uint32_t arc = value < 40 ? 0 : value < 80 ? 1 : 2;
      line->format("%u %u", arc, value - 40 * arc);
      first = false;
    } else {
      line->format(" %u", value);
    }
    value = 0;
  }
  line->text("}");
}

void write_hex(Line *line, const uint8_t *octets, uint32_t n) {
  line->text(" '");
  for (uint32_t i = 0; i < n; ++i) line->format("%02X", octets[i]);
  line->text("'H");
}

void write_value(Line *line, kor_asn1_ctx *ctx, uint32_t tag) {
  if (tag == KOR_ASN1_TAG_BOOLEAN) {
    line->format(" %s", kor_asn1_get_int(ctx) != 0 ? "TRUE" : "FALSE");
    return;
  }
  if (tag == KOR_ASN1_TAG_INTEGER) {
    line->format(" %i", kor_asn1_get_int(ctx));
    return;
  }
  const uint8_t *octets = nullptr;
  uint32_t n = 0;
  kor_asn1_get_octets(ctx, &octets, &n);
  if (tag == KOR_ASN1_TAG_BIT_STRING) {
    write_bits(line, octets, n);
  } else if (tag == KOR_ASN1_TAG_OID) {
    write_oid(line, octets, n);
  } else if (is_text_tag(tag)) {
    // Like "%.*s": the text ends at a NUL octet.
    const void *nul = n == 0 ? nullptr : std::memchr(octets, 0, n);
    size_t shown =
        nul == nullptr ? n : static_cast<size_t>(static_cast<const uint8_t *>(nul) - octets);
    line->text("\"");
    line->text(reinterpret_cast<const char *>(octets), shown);
    line->text("\"");
  } else {
    write_hex(line, octets, n);
  }
}

void print_element(kor_asn1_ctx *ctx, Line *line, size_t indent, uint32_t tag) {
  write_tag_name(line, tag);
  line->format("(%i) ", kor_asn1_get_length(ctx));
  if (!kor_asn1_is_constructed(ctx)) {
    write_value(line, ctx, tag);
    line->emit(ctx);
    return;
  }
  kor_asn1_enter_construct(ctx);
  line->emit(ctx);
  line->indent(indent + 2);
  line->text("{");
  line->emit(ctx);
  for (uint32_t member = kor_asn1_get_tag(ctx); member != 0; member = kor_asn1_get_tag(ctx)) {
    line->indent(indent + 2);
    print_element(ctx, line, indent + 2, member);
  }
  line->indent(indent + 2);
  line->text("}");
  line->emit(ctx);
}

}  // namespace
}  // namespace lyrdua::asn1

extern "C" LYRDUA_EXPORT void KOR_API kor_asn1_print(kor_asn1_ctx *ctx) {
  using namespace lyrdua::asn1;
  Line line;
  kor_asn1_mark(ctx);
  print_element(ctx, &line, 0, kor_asn1_get_tag(ctx));
}
