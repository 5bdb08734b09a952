/* Converts a value that is not a valid PrintableString and reads back, through
 * a stream that selects the syntax handlers' events, what went wrong.
 *
 *   failing_conversion_events ['Anne_Smith']
 */
#include <lyrdua/lyrdua.h>
#include <stdio.h>

int main(int argc, char **argv) {
  const char *text = argc > 1 ? argv[1] : "Anne_Smith";

  /* A stream of our own, flat, with every severity of the syntax category. */
  uint32_t stream = kor_evt_stream_alloc();
  if (stream == 0) {
    fprintf(stderr, "no event stream left\n");
    return 2;
  }
  kor_evt_set_stream_options(stream, KOR_EVT_OPT_FLAT);
  kor_evt_set_filter(stream, 0, KOR_EVT_CAT_SYNTAX);

  uint8_t buffer[256];
  kor_asn1_ctx *ctx = kor_asn1_new_ctx();
  kor_asn1_set_buf(ctx, KOR_ASN1_MODE_ENCODE, buffer, sizeof buffer);
  uint32_t rc = kor_ahs_ExtToInt_PrintableStringA(text, KOR_NUL_TERMINATED, ctx, 0);
  kor_asn1_free_ctx(ctx);
  printf("result 0x%08X\n", rc);

  int events = 0;
  kor_evt_record *record;
  while ((record = kor_evt_get_event(stream)) != NULL) {
    char *message;
    uint32_t length;
    kor_evt_get_text(stream, &message, &length);
    printf("event 0x%08X: %.*s\n", record->code, (int)length, message);
    ++events;
  }
  kor_evt_stream_free(stream);
  /* A failure must have said why: exactly one event for one bad value. */
  return rc != KOR_OK && events == 1 ? 0 : 1;
}
