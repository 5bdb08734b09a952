// Speed of the BER codec: the small record of the shared workloads and a
// DN-shaped structure, encoded and decoded from a fixed buffer and through a
// stream of 4 KiB chunks, and the printer; OpenLDAP's liblber does the same
// record beside ours when it is installed (LYRDUA_BENCH_LBER).
//
// Instructions per item: see bench/bench_main.hpp, e.g.
//   ./ber_bench --instructions record/encode/fixed 100000 under callgrind.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <lyrdua/kor_asn1.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#ifdef LYRDUA_BENCH_LBER
#include <lber.h>
#endif

#include "bench/bench_main.hpp"

namespace lyrdua::bench {
namespace {

// SEQUENCE { INTEGER 12345, OCTET STRING 00 .. 13, BOOLEAN TRUE,
//            SEQUENCE { OID 2.5.4.3, PrintableString "Anne Smith" } }
constexpr uint8_t kRecord[] = {0x30, 0x30, 0x02, 0x02, 0x30, 0x39, 0x04, 0x14, 0x00, 0x01,
                               0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0a, 0x0b,
                               0x0c, 0x0d, 0x0e, 0x0f, 0x10, 0x11, 0x12, 0x13, 0x01, 0x01,
                               0xff, 0x30, 0x11, 0x06, 0x03, 0x55, 0x04, 0x03, 0x13, 0x0a,
                               0x41, 0x6e, 0x6e, 0x65, 0x20, 0x53, 0x6d, 0x69, 0x74, 0x68};
constexpr int32_t kRecordNumber = 12345;
constexpr uint8_t kRecordOctets[20] = {0,  1,  2,  3,  4,  5,  6,  7,  8,  9,
                                       10, 11, 12, 13, 14, 15, 16, 17, 18, 19};
constexpr uint8_t kCommonNameOid[] = {0x55, 0x04, 0x03};
constexpr char kRecordName[] = "Anne Smith";

// The DN C=GB, O=Acme Research, OU=Directory Services, CN=Anne Smith, in the
// order of its encoding (most significant RDN first).
struct Ava {
  uint8_t oid[3];
  const char *value;
};
constexpr Ava kDn[] = {
    {{0x55, 0x04, 0x06}, "GB"},
    {{0x55, 0x04, 0x0a}, "Acme Research"},
    {{0x55, 0x04, 0x0b}, "Directory Services"},
    {{0x55, 0x04, 0x03}, "Anne Smith"},
};
constexpr size_t kDnRdns = sizeof kDn / sizeof *kDn;

constexpr uint32_t kChunkSize = 4096;
constexpr uint32_t kOutputArea = 64 * 1024;

// Decoding stream: hands its input over in chunks of at most 4 KiB.
struct ChunkReader {
  kor_asn1_dstrm base;
  const uint8_t *input;
  uint32_t size;
  uint32_t offset;
};

uint32_t KOR_API reader_get_fwd_buffer(kor_asn1_dstrm *strm, uint8_t **buf, uint32_t *len) {
  auto *reader = reinterpret_cast<ChunkReader *>(strm);
  if (reader->offset == reader->size) return KOR_ASN1_DSTRM_END;
  uint32_t n = reader->size - reader->offset;
  if (n > kChunkSize) n = kChunkSize;
  *buf = const_cast<uint8_t *>(reader->input + reader->offset);
  *len = n;
  reader->offset += n;
  return KOR_ASN1_DSTRM_OK;
}

// Encoding stream: hands out 4 KiB blocks of one area from its end downward.
// Only the front-most block is ever partly filled, so the pieces it receives
// join into one run that ends at the area's end.
struct ChunkWriter {
  kor_asn1_dstrm base;
  uint8_t *area;
  uint32_t next_block_end;  // offset in area of the end of the next block to hand out
  uint32_t first;           // offset of the first octet handed over so far
};

uint32_t KOR_API writer_get_bwd_buffer(kor_asn1_dstrm *strm, uint8_t **buf, uint32_t *len) {
  auto *writer = reinterpret_cast<ChunkWriter *>(strm);
  if (writer->next_block_end == 0) return KOR_ASN1_DSTRM_END;
  uint32_t n = writer->next_block_end < kChunkSize ? writer->next_block_end : kChunkSize;
  writer->next_block_end -= n;
  *buf = writer->area + writer->next_block_end;
  *len = n;
  return KOR_ASN1_DSTRM_OK;
}

uint32_t KOR_API writer_bwd_filled(kor_asn1_dstrm *strm, uint8_t *first, uint32_t) {
  auto *writer = reinterpret_cast<ChunkWriter *>(strm);
  writer->first = static_cast<uint32_t>(first - writer->area);
  return KOR_ASN1_DSTRM_OK;
}

uint32_t KOR_API unused_fwd_filled(kor_asn1_dstrm *, uint8_t *, uint32_t) { return 0; }
uint32_t KOR_API unused_get_buffer(kor_asn1_dstrm *, uint8_t **, uint32_t *) {
  return KOR_ASN1_DSTRM_FAIL;
}
uint32_t KOR_API unused_bwd_filled(kor_asn1_dstrm *, uint8_t *, uint32_t) {
  return KOR_ASN1_DSTRM_FAIL;
}
void *KOR_API no_alloc(kor_asn1_dstrm *, uint32_t) { return nullptr; }

void KOR_API reader_open(kor_asn1_dstrm *strm, uint32_t) {
  reinterpret_cast<ChunkReader *>(strm)->offset = 0;
}

void KOR_API writer_open(kor_asn1_dstrm *strm, uint32_t) {
  auto *writer = reinterpret_cast<ChunkWriter *>(strm);
  writer->next_block_end = kOutputArea;
  writer->first = kOutputArea;
}

const kor_asn1_dstrm_ops kReaderOps = {reader_get_fwd_buffer, unused_fwd_filled, unused_get_buffer,
                                       unused_bwd_filled,     reader_open,       no_alloc};
const kor_asn1_dstrm_ops kWriterOps = {unused_get_buffer, unused_fwd_filled, writer_get_bwd_buffer,
                                       writer_bwd_filled, writer_open,       no_alloc};

// Everything a workload works on, set up once and reused for every item.
struct Bench {
  kor_asn1_ctx *ctx = nullptr;
  ChunkReader reader{};
  ChunkWriter writer{};
  uint8_t output[256];
  std::vector<uint8_t> area = std::vector<uint8_t>(kOutputArea);
  std::vector<uint8_t> dn;  // the DN's encoding, made by our writer
#ifdef LYRDUA_BENCH_LBER
  BerElement *ber = nullptr;         // encoding, owns its buffer
  BerElement *ber_reader = nullptr;  // decoding, reads lber_input in place
  // ber_scanf's 'm' ends each string in place with a NUL, saving the octet
  // it covers: the input must be writable, with one octet past its end.
  uint8_t lber_input[sizeof kRecord + 1];
#endif

  Bench() {
    ctx = kor_asn1_new_ctx();
    reader.base.ops = &kReaderOps;
    writer.base.ops = &kWriterOps;
    writer.area = area.data();
#ifdef LYRDUA_BENCH_LBER
    ber = ber_alloc_t(LBER_USE_DER);
    ber_reader = ber_alloc_t(0);
    std::memcpy(lber_input, kRecord, sizeof kRecord);
#endif
  }
  ~Bench() {
    kor_asn1_free_ctx(ctx);
#ifdef LYRDUA_BENCH_LBER
    ber_free(ber, 1);
    ber_free(ber_reader, 0);
#endif
  }
  Bench(const Bench &) = delete;
  Bench &operator=(const Bench &) = delete;

  void decode_fixed(const std::vector<uint8_t> &input) {
    kor_asn1_set_buf(ctx, KOR_ASN1_MODE_DECODE, const_cast<uint8_t *>(input.data()),
                     static_cast<uint32_t>(input.size()));
  }
  void decode_fixed(const uint8_t *input, uint32_t size) {
    kor_asn1_set_buf(ctx, KOR_ASN1_MODE_DECODE, const_cast<uint8_t *>(input), size);
  }
  void decode_stream(const uint8_t *input, uint32_t size) {
    reader.input = input;
    reader.size = size;
    kor_asn1_set_dstrm(ctx, &reader.base, KOR_ASN1_MODE_DECODE);
  }
  void encode_fixed() { kor_asn1_set_buf(ctx, KOR_ASN1_MODE_ENCODE, output, sizeof output); }
  void encode_stream() { kor_asn1_set_dstrm(ctx, &writer.base, KOR_ASN1_MODE_ENCODE); }

  // The finished encoding of a fixed-buffer encoding.
  std::vector<uint8_t> fixed_result() {
    uint8_t *out = nullptr;
    uint32_t len = 0;
    kor_asn1_get_buf(ctx, &out, &len);
    return std::vector<uint8_t>(out, out + len);
  }
  // The finished encoding of a stream encoding (detaches the stream).
  std::vector<uint8_t> stream_result() {
    uint32_t error = kor_asn1_errno(ctx);
    kor_asn1_get_dstrm(ctx);
    if (error != 0) return {};
    return std::vector<uint8_t>(area.begin() + writer.first, area.end());
  }
};

// ---- The record --------------------------------------------------------

// Members are laid last first: the writer encodes backwards.
void write_record(kor_asn1_ctx *ctx) {
  kor_asn1_enter_construct(ctx);
  kor_asn1_enter_construct(ctx);
  kor_asn1_put_octets(ctx, kRecordName, sizeof kRecordName - 1);
  kor_asn1_put_tag(ctx, KOR_ASN1_TAG_PRINTABLE_STRING);
  kor_asn1_put_octets(ctx, kCommonNameOid, sizeof kCommonNameOid);
  kor_asn1_put_tag(ctx, KOR_ASN1_TAG_OID);
  kor_asn1_exit_construct(ctx);
  kor_asn1_put_tag(ctx, KOR_ASN1_TAG_SEQUENCE);
  kor_asn1_put_int(ctx, -1);  // TRUE as FF, as DER has it
  kor_asn1_put_tag(ctx, KOR_ASN1_TAG_BOOLEAN);
  kor_asn1_put_octets(ctx, kRecordOctets, sizeof kRecordOctets);
  kor_asn1_put_tag(ctx, KOR_ASN1_TAG_OCTET_STRING);
  kor_asn1_put_int(ctx, kRecordNumber);
  kor_asn1_put_tag(ctx, KOR_ASN1_TAG_INTEGER);
  kor_asn1_exit_construct(ctx);
  kor_asn1_put_tag(ctx, KOR_ASN1_TAG_SEQUENCE);
}

struct RecordValues {
  int32_t number = 0;
  const uint8_t *octets = nullptr;
  uint32_t octets_len = 0;
  int32_t flag = 0;
  const uint8_t *oid = nullptr;
  uint32_t oid_len = 0;
  const uint8_t *name = nullptr;
  uint32_t name_len = 0;
  uint32_t error = 0;
};

// Reads every value, checks every tag and both ends of construct.
void read_record(kor_asn1_ctx *ctx, RecordValues *v) {
  kor_asn1_expect_tag(ctx, KOR_ASN1_TAG_SEQUENCE);
  kor_asn1_enter_construct(ctx);
  kor_asn1_expect_tag(ctx, KOR_ASN1_TAG_INTEGER);
  v->number = kor_asn1_get_int(ctx);
  kor_asn1_expect_tag(ctx, KOR_ASN1_TAG_OCTET_STRING);
  kor_asn1_get_octets(ctx, &v->octets, &v->octets_len);
  kor_asn1_expect_tag(ctx, KOR_ASN1_TAG_BOOLEAN);
  v->flag = kor_asn1_get_int(ctx);
  kor_asn1_expect_tag(ctx, KOR_ASN1_TAG_SEQUENCE);
  kor_asn1_enter_construct(ctx);
  kor_asn1_expect_tag(ctx, KOR_ASN1_TAG_OID);
  kor_asn1_get_octets(ctx, &v->oid, &v->oid_len);
  kor_asn1_expect_tag(ctx, KOR_ASN1_TAG_PRINTABLE_STRING);
  kor_asn1_get_octets(ctx, &v->name, &v->name_len);
  kor_asn1_expect_tag(ctx, 0);  // end of the inner SEQUENCE
  kor_asn1_expect_tag(ctx, 0);  // end of the record
  v->error = kor_asn1_errno(ctx);
}

bool same(const uint8_t *a, uint32_t a_len, const void *b, size_t b_len) {
  return a != nullptr && a_len == b_len && std::memcmp(a, b, b_len) == 0;
}

bool record_values_right(const RecordValues &v) {
  return v.error == 0 && v.number == kRecordNumber &&
         same(v.octets, v.octets_len, kRecordOctets, sizeof kRecordOctets) && v.flag == -1 &&
         same(v.oid, v.oid_len, kCommonNameOid, sizeof kCommonNameOid) &&
         same(v.name, v.name_len, kRecordName, sizeof kRecordName - 1);
}

void keep(const RecordValues &v) {
  benchmark::DoNotOptimize(v.number);
  benchmark::DoNotOptimize(v.octets);
  benchmark::DoNotOptimize(v.octets_len);
  benchmark::DoNotOptimize(v.flag);
  benchmark::DoNotOptimize(v.oid);
  benchmark::DoNotOptimize(v.oid_len);
  benchmark::DoNotOptimize(v.name);
  benchmark::DoNotOptimize(v.name_len);
  benchmark::DoNotOptimize(v.error);
}

const std::vector<uint8_t> kRecordBytes(kRecord, kRecord + sizeof kRecord);

void record_encode_fixed(Bench &b) {
  b.encode_fixed();
  write_record(b.ctx);
  uint8_t *out = nullptr;
  uint32_t len = 0;
  kor_asn1_get_buf(b.ctx, &out, &len);
  benchmark::DoNotOptimize(out);
  benchmark::DoNotOptimize(len);
}
bool record_encode_fixed_check(Bench &b) {
  b.encode_fixed();
  write_record(b.ctx);
  return b.fixed_result() == kRecordBytes;
}

void record_encode_stream(Bench &b) {
  b.encode_stream();
  write_record(b.ctx);
  benchmark::DoNotOptimize(kor_asn1_get_dstrm(b.ctx));
  benchmark::DoNotOptimize(b.writer.first);
}
bool record_encode_stream_check(Bench &b) {
  b.encode_stream();
  write_record(b.ctx);
  return b.stream_result() == kRecordBytes;
}

void record_decode_fixed(Bench &b) {
  RecordValues v;
  b.decode_fixed(kRecord, sizeof kRecord);
  read_record(b.ctx, &v);
  keep(v);
}
bool record_decode_fixed_check(Bench &b) {
  RecordValues v;
  b.decode_fixed(kRecord, sizeof kRecord);
  read_record(b.ctx, &v);
  return record_values_right(v);
}

void record_decode_stream(Bench &b) {
  RecordValues v;
  b.decode_stream(kRecord, sizeof kRecord);
  read_record(b.ctx, &v);
  keep(v);
}
bool record_decode_stream_check(Bench &b) {
  RecordValues v;
  b.decode_stream(kRecord, sizeof kRecord);
  read_record(b.ctx, &v);
  return record_values_right(v);
}

#ifdef LYRDUA_BENCH_LBER

// The element is reused: ber_reset rewinds it, keeping its buffer.
bool lber_write_record(BerElement *ber, struct berval *out) {
  int written = ber_printf(ber, "{iob{toto}}", static_cast<ber_int_t>(kRecordNumber), kRecordOctets,
                           static_cast<ber_len_t>(sizeof kRecordOctets), static_cast<ber_int_t>(1),
                           static_cast<ber_tag_t>(KOR_ASN1_TAG_OID), kCommonNameOid,
                           static_cast<ber_len_t>(sizeof kCommonNameOid),
                           static_cast<ber_tag_t>(KOR_ASN1_TAG_PRINTABLE_STRING), kRecordName,
                           static_cast<ber_len_t>(sizeof kRecordName - 1));
  int flattened = ber_flatten2(ber, out, 0);
  ber_reset(ber, 1);
  return written >= 0 && flattened == 0;
}

void record_encode_lber(Bench &b) {
  struct berval out;
  benchmark::DoNotOptimize(lber_write_record(b.ber, &out));
  benchmark::DoNotOptimize(out.bv_val);
  benchmark::DoNotOptimize(out.bv_len);
}
bool record_encode_lber_check(Bench &b) {
  struct berval out;
  return lber_write_record(b.ber, &out) &&
         same(reinterpret_cast<const uint8_t *>(out.bv_val), static_cast<uint32_t>(out.bv_len),
              kRecord, sizeof kRecord);
}

// 'm' gives the strings in place, like our get_octets on a fixed buffer.
void lber_read_record(BerElement *ber, uint8_t *record, RecordValues *v) {
  struct berval input = {sizeof kRecord, reinterpret_cast<char *>(record)};
  ber_init2(ber, &input, 0);
  ber_int_t number = 0;
  ber_int_t flag = 0;
  struct berval octets {
  }, oid{}, name{};
  ber_tag_t tag = ber_scanf(ber, "{imb{mm}}", &number, &octets, &flag, &oid, &name);
  v->number = number;
  v->flag = flag;
  v->octets = reinterpret_cast<const uint8_t *>(octets.bv_val);
  v->octets_len = static_cast<uint32_t>(octets.bv_len);
  v->oid = reinterpret_cast<const uint8_t *>(oid.bv_val);
  v->oid_len = static_cast<uint32_t>(oid.bv_len);
  v->name = reinterpret_cast<const uint8_t *>(name.bv_val);
  v->name_len = static_cast<uint32_t>(name.bv_len);
  v->error = tag == LBER_ERROR ? 1 : 0;
}

void record_decode_lber(Bench &b) {
  RecordValues v;
  lber_read_record(b.ber_reader, b.lber_input, &v);
  keep(v);
}
bool record_decode_lber_check(Bench &b) {
  RecordValues v;
  lber_read_record(b.ber_reader, b.lber_input, &v);
  // liblber reads BOOLEAN TRUE as 1 where our get_int gives the octet's value.
  v.flag = v.flag != 0 ? -1 : 0;
  return record_values_right(v);
}

#endif  // LYRDUA_BENCH_LBER

// ---- The DN -------------------------------------------------------------

// Name ::= SEQUENCE OF SET OF SEQUENCE { type OID, value PrintableString },
// RDNs laid last first.
void write_dn(kor_asn1_ctx *ctx) {
  kor_asn1_enter_construct(ctx);
  for (size_t i = kDnRdns; i-- > 0;) {
    kor_asn1_enter_construct(ctx);
    kor_asn1_enter_construct(ctx);
    kor_asn1_put_octets(ctx, kDn[i].value, static_cast<uint32_t>(std::strlen(kDn[i].value)));
    kor_asn1_put_tag(ctx, KOR_ASN1_TAG_PRINTABLE_STRING);
    kor_asn1_put_octets(ctx, kDn[i].oid, sizeof kDn[i].oid);
    kor_asn1_put_tag(ctx, KOR_ASN1_TAG_OID);
    kor_asn1_exit_construct(ctx);
    kor_asn1_put_tag(ctx, KOR_ASN1_TAG_SEQUENCE);
    kor_asn1_exit_construct(ctx);
    kor_asn1_put_tag(ctx, KOR_ASN1_TAG_SET);
  }
  kor_asn1_exit_construct(ctx);
  kor_asn1_put_tag(ctx, KOR_ASN1_TAG_SEQUENCE);
}

struct DnValues {
  struct {
    const uint8_t *oid;
    uint32_t oid_len;
    const uint8_t *value;
    uint32_t value_len;
  } avas[kDnRdns];
  size_t rdns = 0;
  uint32_t error = 0;
};

// Walks every RDN to its end, keeping each type and value.
void read_dn(kor_asn1_ctx *ctx, DnValues *v) {
  kor_asn1_expect_tag(ctx, KOR_ASN1_TAG_SEQUENCE);
  kor_asn1_enter_construct(ctx);
  while (kor_asn1_get_tag(ctx) == KOR_ASN1_TAG_SET) {
    kor_asn1_enter_construct(ctx);
    kor_asn1_expect_tag(ctx, KOR_ASN1_TAG_SEQUENCE);
    kor_asn1_enter_construct(ctx);
    auto &ava = v->avas[v->rdns < kDnRdns ? v->rdns : kDnRdns - 1];
    kor_asn1_expect_tag(ctx, KOR_ASN1_TAG_OID);
    kor_asn1_get_octets(ctx, &ava.oid, &ava.oid_len);
    kor_asn1_expect_tag(ctx, KOR_ASN1_TAG_PRINTABLE_STRING);
    kor_asn1_get_octets(ctx, &ava.value, &ava.value_len);
    kor_asn1_expect_tag(ctx, 0);  // end of the AVA
    kor_asn1_expect_tag(ctx, 0);  // end of the RDN
    ++v->rdns;
  }
  v->error = kor_asn1_errno(ctx);  // the loop ended at the end of the DN
}

bool dn_values_right(const DnValues &v) {
  if (v.error != 0 || v.rdns != kDnRdns) return false;
  for (size_t i = 0; i < kDnRdns; ++i) {
    if (!same(v.avas[i].oid, v.avas[i].oid_len, kDn[i].oid, sizeof kDn[i].oid) ||
        !same(v.avas[i].value, v.avas[i].value_len, kDn[i].value, std::strlen(kDn[i].value)))
      return false;
  }
  return true;
}

void keep(const DnValues &v) {
  for (const auto &ava : v.avas) {
    benchmark::DoNotOptimize(ava.oid);
    benchmark::DoNotOptimize(ava.oid_len);
    benchmark::DoNotOptimize(ava.value);
    benchmark::DoNotOptimize(ava.value_len);
  }
  benchmark::DoNotOptimize(v.error);
}

void dn_encode_fixed(Bench &b) {
  b.encode_fixed();
  write_dn(b.ctx);
  uint8_t *out = nullptr;
  uint32_t len = 0;
  kor_asn1_get_buf(b.ctx, &out, &len);
  benchmark::DoNotOptimize(out);
  benchmark::DoNotOptimize(len);
}
// Also keeps the encoding for the decoding workloads.
bool dn_encode_fixed_check(Bench &b) {
  b.encode_fixed();
  write_dn(b.ctx);
  b.dn = b.fixed_result();
  DnValues v;
  b.decode_fixed(b.dn);
  read_dn(b.ctx, &v);
  return dn_values_right(v);
}

void dn_encode_stream(Bench &b) {
  b.encode_stream();
  write_dn(b.ctx);
  benchmark::DoNotOptimize(kor_asn1_get_dstrm(b.ctx));
  benchmark::DoNotOptimize(b.writer.first);
}
bool dn_encode_stream_check(Bench &b) {
  dn_encode_fixed_check(b);
  b.encode_stream();
  write_dn(b.ctx);
  return b.stream_result() == b.dn;
}

void dn_decode_fixed(Bench &b) {
  DnValues v;
  b.decode_fixed(b.dn.data(), static_cast<uint32_t>(b.dn.size()));
  read_dn(b.ctx, &v);
  keep(v);
}
bool dn_decode_fixed_check(Bench &b) {
  if (!dn_encode_fixed_check(b)) return false;
  DnValues v;
  b.decode_fixed(b.dn.data(), static_cast<uint32_t>(b.dn.size()));
  read_dn(b.ctx, &v);
  return dn_values_right(v);
}

void dn_decode_stream(Bench &b) {
  DnValues v;
  b.decode_stream(b.dn.data(), static_cast<uint32_t>(b.dn.size()));
  read_dn(b.ctx, &v);
  keep(v);
}
bool dn_decode_stream_check(Bench &b) {
  if (!dn_encode_fixed_check(b)) return false;
  DnValues v;
  b.decode_stream(b.dn.data(), static_cast<uint32_t>(b.dn.size()));
  read_dn(b.ctx, &v);
  return dn_values_right(v);
}

// ---- The printer --------------------------------------------------------

// Standard output goes to /dev/null while a printer workload runs.
class QuietStdout {
 public:
  QuietStdout() {
    std::fflush(stdout);
    saved_ = dup(STDOUT_FILENO);
    int null_fd = open("/dev/null", O_WRONLY);
    if (null_fd >= 0) {
      dup2(null_fd, STDOUT_FILENO);
      close(null_fd);
    }
  }
  ~QuietStdout() {
    std::fflush(stdout);
    if (saved_ >= 0) {
      dup2(saved_, STDOUT_FILENO);
      close(saved_);
    }
  }
  QuietStdout(const QuietStdout &) = delete;
  QuietStdout &operator=(const QuietStdout &) = delete;

 private:
  int saved_;
};

void record_print(Bench &b) {
  b.decode_fixed(kRecord, sizeof kRecord);
  kor_asn1_print(b.ctx);
  benchmark::DoNotOptimize(kor_asn1_errno(b.ctx));
}
bool record_print_check(Bench &b) {
  record_print(b);
  return kor_asn1_errno(b.ctx) == 0;
}

void dn_print(Bench &b) {
  b.decode_fixed(b.dn.data(), static_cast<uint32_t>(b.dn.size()));
  kor_asn1_print(b.ctx);
  benchmark::DoNotOptimize(kor_asn1_errno(b.ctx));
}
bool dn_print_check(Bench &b) {
  if (!dn_encode_fixed_check(b)) return false;
  dn_print(b);
  return kor_asn1_errno(b.ctx) == 0;
}

// ---- The workloads ------------------------------------------------------

struct Workload {
  const char *name;
  void (*item)(Bench &);
  bool (*check)(Bench &);  // run once before measuring: the item does what it should
  bool prints;
};

const Workload kWorkloads[] = {
    {"record/encode/fixed", record_encode_fixed, record_encode_fixed_check, false},
    {"record/encode/stream", record_encode_stream, record_encode_stream_check, false},
#ifdef LYRDUA_BENCH_LBER
    {"record/encode/liblber", record_encode_lber, record_encode_lber_check, false},
#endif
    {"record/decode/fixed", record_decode_fixed, record_decode_fixed_check, false},
    {"record/decode/stream", record_decode_stream, record_decode_stream_check, false},
#ifdef LYRDUA_BENCH_LBER
    {"record/decode/liblber", record_decode_lber, record_decode_lber_check, false},
#endif
    {"record/print", record_print, record_print_check, true},
    {"dn/encode/fixed", dn_encode_fixed, dn_encode_fixed_check, false},
    {"dn/encode/stream", dn_encode_stream, dn_encode_stream_check, false},
    {"dn/decode/fixed", dn_decode_fixed, dn_decode_fixed_check, false},
    {"dn/decode/stream", dn_decode_stream, dn_decode_stream_check, false},
    {"dn/print", dn_print, dn_print_check, true},
};

void run_benchmark(benchmark::State &state, const Workload *w) {
  Bench b;
  bool right = false;
  {
    QuietStdout quiet;
    right = w->check(b);
  }
  if (!right) {
    state.SkipWithError("the workload does not give the expected result");
    return;
  }
  if (w->prints) {
    QuietStdout quiet;
    for (auto _ : state) w->item(b);
  } else {
    for (auto _ : state) w->item(b);
  }
  state.SetItemsProcessed(state.iterations());
  QuietStdout quiet;
  if (!w->check(b)) state.SkipWithError("the workload went wrong while it was measured");
}

// The loop that callgrind counts (see bench/bench_main.hpp).
__attribute__((noinline)) void repeat_workload(const Workload *w, Bench &b, long count) {
  for (long i = 0; i < count; ++i) w->item(b);
}

int count_instructions(const char *name, long count) {
  const Workload *w = find_workload(kWorkloads, name);
  if (w == nullptr) return 2;
  Bench b;
  bool right = false;
  {
    QuietStdout quiet;
    right = w->check(b);
    if (right) repeat_workload(w, b, count);
    right = right && w->check(b);
  }
  if (!right) {
    std::fprintf(stderr, "%s does not give the expected result\n", name);
    return 1;
  }
  std::printf("%s: %ld items\n", name, count);
  return 0;
}

}  // namespace
}  // namespace lyrdua::bench

int main(int argc, char **argv) {
  using namespace lyrdua::bench;
  return bench_main(argc, argv, kWorkloads, run_benchmark, count_instructions);
}
