// The dispatch tables of attribute values, one row per syntax number, in the
// order of the syntax name table's numbers.
#include "ahs/attribute_dispatch.hpp"

namespace lyrdua::ahs {
namespace {

// The five-argument decoders get a structure of the dispatcher's own, which is
// discarded after the call.
template <typename Structure,
          uint32_t(KOR_API *Decoder)(kor_asn1_ctx *, char *, uint32_t *, Structure *, uintptr_t)>
uint32_t KOR_API with_discarded_structure(kor_asn1_ctx *ctx, char *out, uint32_t *out_len,
                                          uintptr_t aux) {
  Structure discarded{};
  return Decoder(ctx, out, out_len, &discarded, aux);
}

// A distinguished name inside a value is decoded without a structure.
uint32_t KOR_API distinguished_name_text(kor_asn1_ctx *ctx, char *out, uint32_t *out_len,
                                         uintptr_t schema) {
  return kor_ahs_IntToExt_DistinguishedNameA(ctx, out, out_len, nullptr, schema);
}

constexpr EncodingRow kWhole = {EncodeKind::kWholeElement, nullptr};
constexpr EncodingRow kOctets = {EncodeKind::kOctetContents, nullptr};
constexpr EncodingRow kNone = {EncodeKind::kUnsupported, nullptr};
constexpr DecodingRow kCopy = {DecodeKind::kCopyElement, nullptr};
constexpr DecodingRow kOctetString = {DecodeKind::kOctetString, nullptr};

}  // namespace

// clang-format off
const EncodingRow kEncodingRows[KOR_SC_SYN_COUNT + 1] = {
    /*  0 unknown                              */ kWhole,
    /*  1 undefinedSyntax                      */ kWhole,
    /*  2 objectIdentifierSyntax               */ {EncodeKind::kHandler, kor_ahs_ExtToInt_OidA},
    /*  3 aciSyntax                            */ kWhole,
    /*  4 printableStringSyntax                */ {EncodeKind::kHandler, kor_ahs_ExtToInt_PrintableStringA},
    /*  5 numericStringSyntax                  */ {EncodeKind::kHandler, kor_ahs_ExtToInt_NumericStringA},
    /*  6 booleanSyntax                        */ {EncodeKind::kHandler, kor_ahs_ExtToInt_BooleanA},
    /*  7 integerSyntax                        */ {EncodeKind::kHandler, kor_ahs_ExtToInt_IntegerA},
    /*  8 octetStringSyntax                    */ kOctets,
    /*  9 uTCTimeSyntax                        */ {EncodeKind::kHandler, kor_ahs_ExtToInt_UTCTimeA},
    /* 10 telephoneNumberSyntax                */ {EncodeKind::kHandler, kor_ahs_ExtToInt_PrintableStringA},
    /* 11 presentationAddressSyntax            */ kWhole,
    /* 12 stringSyntax                         */ {EncodeKind::kHandler, kor_ahs_ExtToInt_DirectoryStringA},
    /* 13 countryNameSyntax                    */ {EncodeKind::kHandler, kor_ahs_ExtToInt_PrintableStringA},
    /* 14 stringListSyntax                     */ {EncodeKind::kHandler, kor_ahs_ExtToInt_PostalAddressA},
    /* 15 postalAddressSyntax                  */ {EncodeKind::kHandler, kor_ahs_ExtToInt_PostalAddressA},
    /* 16 telexNumberSyntax                    */ {EncodeKind::kHandler, kor_ahs_ExtToInt_TelexNumberA},
    /* 17 teletexTerminalIdentifierSyntax      */ kNone,
    /* 18 facsimileTelephoneNumberSyntax       */ {EncodeKind::kHandler, kor_ahs_ExtToInt_FaxTelephoneNumberA},
    /* 19 integerListSyntax                    */ kWhole,
    /* 20 searchGuideSyntax                    */ kWhole,
    /* 21 generalizedTimeSyntax                */ kWhole,
    /* 22 userPasswordSyntax                   */ kOctets,
    /* 23 bitStringSyntax                      */ {EncodeKind::kHandler, kor_ahs_ExtToInt_BitStringA},
    /* 24 t61StringSyntax                      */ {EncodeKind::kHandler, kor_ahs_ExtToInt_T61StringA},
    /* 25 mhs-or-address-syntax                */ kWhole,
    /* 26 mhs-or-name-syntax                   */ kWhole,
    /* 27 iA5StringSyntax                      */ {EncodeKind::kHandler, kor_ahs_ExtToInt_IA5StringA},
    /* 28 deliveryMethodSyntax                 */ kWhole,
    /* 29 jpegPhotoSyntax                      */ kOctets,
    /* 30 protocolInformationSyntax            */ kWhole,
    /* 31 enumeratedSyntax                     */ kWhole,
    /* 32 imageSyntax                          */ kWhole,
    /* 33 audioSyntax                          */ kWhole,
    /* 34 distinguishedNameSyntax              */ {EncodeKind::kHandlerWithSchema, kor_ahs_ExtToInt_DistinguishedNameA},
    /* 35 qam-mts-oraddress-translation-syntax */ kWhole,
    /* 36 qam-mts-print-or-num-syntax          */ kWhole,
    /* 37 qam-mts-routing-domain-gdi-syntax    */ kWhole,
};

const DecodingRow kDecodingRows[KOR_SC_SYN_COUNT + 1] = {
    /*  0 unknown                              */ kCopy,
    /*  1 undefinedSyntax                      */ kCopy,
    /*  2 objectIdentifierSyntax               */ {DecodeKind::kObjectClass, kor_ahs_IntToExt_OidA},
    /*  3 aciSyntax                            */ kCopy,
    /*  4 printableStringSyntax                */ {DecodeKind::kHandler, kor_ahs_IntToExt_PrintableStringA},
    /*  5 numericStringSyntax                  */ {DecodeKind::kHandler, kor_ahs_IntToExt_NumericStringA},
    /*  6 booleanSyntax                        */ {DecodeKind::kHandler, kor_ahs_IntToExt_BooleanA},
    /*  7 integerSyntax                        */ {DecodeKind::kHandler, kor_ahs_IntToExt_IntegerA},
    /*  8 octetStringSyntax                    */ kOctetString,
    /*  9 uTCTimeSyntax                        */ {DecodeKind::kHandler, kor_ahs_IntToExt_UTCTimeA},
    /* 10 telephoneNumberSyntax                */ {DecodeKind::kHandler, kor_ahs_IntToExt_PrintableStringA},
    /* 11 presentationAddressSyntax            */ kCopy,
    /* 12 stringSyntax                         */ {DecodeKind::kHandler, kor_ahs_IntToExt_DirectoryStringA},
    /* 13 countryNameSyntax                    */ {DecodeKind::kHandler, kor_ahs_IntToExt_PrintableStringA},
    /* 14 stringListSyntax                     */ {DecodeKind::kHandler, with_discarded_structure<kor_ahs_postal_address, kor_ahs_IntToExt_PostalAddressA>},
    /* 15 postalAddressSyntax                  */ {DecodeKind::kHandler, with_discarded_structure<kor_ahs_postal_address, kor_ahs_IntToExt_PostalAddressA>},
    /* 16 telexNumberSyntax                    */ {DecodeKind::kHandler, with_discarded_structure<kor_ahs_telex_number, kor_ahs_IntToExt_TelexNumberA>},
    /* 17 teletexTerminalIdentifierSyntax      */ kCopy,
    /* 18 facsimileTelephoneNumberSyntax       */ {DecodeKind::kHandler, with_discarded_structure<kor_ahs_fax_telephone_number, kor_ahs_IntToExt_FaxTelephoneNumberA>},
    /* 19 integerListSyntax                    */ kCopy,
    /* 20 searchGuideSyntax                    */ kCopy,
    /* 21 generalizedTimeSyntax                */ kCopy,
    /* 22 userPasswordSyntax                   */ kOctetString,
    /* 23 bitStringSyntax                      */ {DecodeKind::kHandler, kor_ahs_IntToExt_BitStringA},
    /* 24 t61StringSyntax                      */ {DecodeKind::kHandler, kor_ahs_IntToExt_T61StringA},
    /* 25 mhs-or-address-syntax                */ kCopy,
    /* 26 mhs-or-name-syntax                   */ kCopy,
    /* 27 iA5StringSyntax                      */ {DecodeKind::kHandler, kor_ahs_IntToExt_IA5StringA},
    /* 28 deliveryMethodSyntax                 */ kCopy,
    /* 29 jpegPhotoSyntax                      */ kOctetString,
    /* 30 protocolInformationSyntax            */ kCopy,
    /* 31 enumeratedSyntax                     */ kCopy,
    /* 32 imageSyntax                          */ kCopy,
    /* 33 audioSyntax                          */ kCopy,
    /* 34 distinguishedNameSyntax              */ {DecodeKind::kHandlerWithSchema, distinguished_name_text},
    /* 35 qam-mts-oraddress-translation-syntax */ kCopy,
    /* 36 qam-mts-print-or-num-syntax          */ kCopy,
    /* 37 qam-mts-routing-domain-gdi-syntax    */ kCopy,
};
// clang-format on

}  // namespace lyrdua::ahs
