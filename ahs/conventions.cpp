#include "ahs/conventions.hpp"

#include <cstdio>

namespace lyrdua::ahs {

uint32_t raise(uint32_t code) {
  kor_evt_put_event(code, KOR_EVT_CAT_SYNTAX, 0);
  return code;
}

uint32_t raise(uint32_t code, EventText first) {
  uint32_t handle = kor_evt_put_event(code, KOR_EVT_CAT_SYNTAX, KOR_EVT_OPEN);
  kor_evt_putstrn(handle, 1, first.text, first.length);
  kor_evt_end_event(handle);
  return code;
}

uint32_t raise(uint32_t code, EventText first, EventText second) {
  uint32_t handle = kor_evt_put_event(code, KOR_EVT_CAT_SYNTAX, KOR_EVT_OPEN);
  kor_evt_putstrn(handle, 1, first.text, first.length);
  kor_evt_putstrn(handle, 2, second.text, second.length);
  kor_evt_end_event(handle);
  return code;
}

NumberField format_number(const char *format, int32_t value, uint32_t size) {
  NumberField field;
  field.size = size < sizeof field.text ? size : static_cast<uint32_t>(sizeof field.text);
  std::snprintf(field.text, field.size, format, value);
  return field;
}

uint32_t raise_wrong_tag(uint32_t found, const char *expected_format, uint32_t expected,
                         uint32_t expected_size) {
  NumberField tag_found = format_number("%d", static_cast<int32_t>(found));
  NumberField tag_expected =
      format_number(expected_format, static_cast<int32_t>(expected), expected_size);
  return raise(KOR_AHS_E_WRONG_TAG, tag_found.param(), tag_expected.param());
}

uint32_t read_oid_element(kor_asn1_ctx *ctx, const uint8_t **contents, uint32_t *n) {
  uint32_t tag = kor_asn1_get_tag(ctx);
  if (tag == 0) return KOR_AHS_NO_ELEMENT;
  if (tag != KOR_ASN1_TAG_OID) return raise_wrong_tag(tag, "%d (OBJECT_ID)", KOR_ASN1_TAG_OID);
  kor_asn1_get_octets(ctx, contents, n);
  return KOR_OK;
}

}  // namespace lyrdua::ahs
