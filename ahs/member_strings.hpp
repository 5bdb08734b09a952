// The string handlers that the structured syntaxes call for their members,
// chosen by the width of the external text: the A handlers convert, the W
// handlers check and answer 9.
#pragma once

#include <lyrdua/kor_ahs.h>

#include <cstdint>
#include <type_traits>

namespace lyrdua::ahs {

template <typename Char>
struct MemberStrings;

template <>
struct MemberStrings<char> {
  static uint32_t put_printable(const char *text, uint32_t n, kor_asn1_ctx *ctx) {
    return kor_ahs_ExtToInt_PrintableStringA(text, static_cast<int32_t>(n), ctx, 0);
  }
  static uint32_t get_printable(kor_asn1_ctx *ctx, char *out, uint32_t *out_len) {
    return kor_ahs_IntToExt_PrintableStringA(ctx, out, out_len, 0);
  }
  static uint32_t put_directory(const char *text, uint32_t n, kor_asn1_ctx *ctx) {
    return kor_ahs_ExtToInt_DirectoryStringA(text, static_cast<int32_t>(n), ctx, 0);
  }
  static uint32_t get_directory(kor_asn1_ctx *ctx, char *out, uint32_t *out_len) {
    return kor_ahs_IntToExt_DirectoryStringA(ctx, out, out_len, 0);
  }
};

template <>
struct MemberStrings<kor_wchar> {
  static uint32_t put_printable(const kor_wchar *text, uint32_t n, kor_asn1_ctx *ctx) {
    return kor_ahs_ExtToInt_PrintableStringW(text, static_cast<int32_t>(n), ctx, 0);
  }
  static uint32_t get_printable(kor_asn1_ctx *ctx, kor_wchar *out, uint32_t *out_len) {
    return kor_ahs_IntToExt_PrintableStringW(ctx, out, out_len, 0);
  }
  static uint32_t put_directory(const kor_wchar *text, uint32_t n, kor_asn1_ctx *ctx) {
    return kor_ahs_ExtToInt_DirectoryStringW(text, static_cast<int32_t>(n), ctx, 0);
  }
  static uint32_t get_directory(kor_asn1_ctx *ctx, kor_wchar *out, uint32_t *out_len) {
    return kor_ahs_IntToExt_DirectoryStringW(ctx, out, out_len, 0);
  }
};

// The structure forms of each width.
template <typename Char>
struct StructureForms;

template <>
struct StructureForms<char> {
  using Fax = kor_ahs_fax_telephone_number;
  using Postal = kor_ahs_postal_address;
  using Telex = kor_ahs_telex_number;
};

template <>
struct StructureForms<kor_wchar> {
  using Fax = kor_ahs_fax_telephone_numberW;
  using Postal = kor_ahs_postal_addressW;
  using Telex = kor_ahs_telex_numberW;
};

// A text unit as an unsigned value of its width.
template <typename Char>
uint32_t unit_value(Char c) {
  return static_cast<uint32_t>(static_cast<std::make_unsigned_t<Char>>(c));
}

}  // namespace lyrdua::ahs
