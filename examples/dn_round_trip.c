/* Encodes a distinguished name given as text into BER with the default
 * schema, prints the octets, and decodes them back into text.
 *
 *   dn_round_trip ['CN=Anne, O=Acme, C=GB']
 */
#include <lyrdua/lyrdua.h>
#include <stdio.h>

int main(int argc, char **argv) {
  const char *text = argc > 1 ? argv[1] : "CN=Anne, O=Acme, C=GB";
  kor_sc_schema *schema = NULL;
  if (kor_sc_get_default_schema(&schema) != KOR_OK) {
    fprintf(stderr, "no schema\n");
    return 1;
  }
  kor_asn1_ctx *ctx = kor_asn1_new_ctx();
  int status = 1;

  /* Text to BER: the encoding ends at the end of the buffer. */
  uint8_t buffer[1024];
  kor_asn1_set_buf(ctx, KOR_ASN1_MODE_ENCODE, buffer, sizeof buffer);
  uint32_t rc =
      kor_ahs_ExtToInt_DistinguishedNameA(text, KOR_NUL_TERMINATED, ctx, (uintptr_t)schema);
  uint8_t *ber = NULL;
  uint32_t ber_len = 0;
  kor_asn1_get_buf(ctx, &ber, &ber_len);
  if (rc != KOR_OK || kor_asn1_errno(ctx) != 0) {
    fprintf(stderr, "encoding failed: result 0x%08X, BER error 0x%08X\n", rc, kor_asn1_errno(ctx));
    goto done;
  }
  for (uint32_t i = 0; i < ber_len; ++i) printf("%02X", ber[i]);
  printf("\n");

  /* BER back to text: RDNs joined by ',', each type its first keyword. */
  char out[1024];
  uint32_t out_len = sizeof out;
  kor_asn1_set_buf(ctx, KOR_ASN1_MODE_DECODE, ber, ber_len);
  rc = kor_ahs_IntToExt_DistinguishedNameA(ctx, out, &out_len, NULL, (uintptr_t)schema);
  if (rc != KOR_OK) {
    fprintf(stderr, "decoding failed: result 0x%08X\n", rc);
    goto done;
  }
  printf("%.*s\n", (int)out_len, out);
  status = 0;

done:
  kor_asn1_free_ctx(ctx);
  kor_sc_free_schema(schema);
  return status;
}
