// The exported T.61 / Latin-1 conversions: one engine, two directions.
#include <lyrdua/kor_cnv.h>

#include "cnv/iso2022_engine.hpp"
#include "cnv/t61_tables.hpp"
#include "platform/export.hpp"

extern "C" LYRDUA_EXPORT uint32_t KOR_API kor_cnv_latin1_to_t61_translate(
    const uint8_t *src, uint32_t src_len, uint8_t *dst, uint32_t *len, uint32_t *err_pos) {
  return lyrdua::cnv::translate(lyrdua::cnv::latin1_to_t61, src, src_len, dst, len, err_pos);
}

extern "C" LYRDUA_EXPORT uint32_t KOR_API kor_cnv_t61_to_latin1_translate(
    const uint8_t *src, uint32_t src_len, uint8_t *dst, uint32_t *len, uint32_t *err_pos) {
  return lyrdua::cnv::translate(lyrdua::cnv::t61_to_latin1, src, src_len, dst, len, err_pos);
}
