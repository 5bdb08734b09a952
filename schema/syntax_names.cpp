#include "schema/syntax_names.hpp"

namespace lyrdua::schema {

// clang-format off
const SyntaxName kSyntaxNames[] = {
    // name (tag 13, length, characters)                        value
    {"\x13\x09" "aciSyntax",                                     3},
    {"\x13\x0B" "audioSyntax",                                   33},
    {"\x13\x0F" "bitStringSyntax",                               23},
    {"\x13\x0D" "booleanSyntax",                                 6},
    {"\x13\x11" "countryNameSyntax",                             13},
    {"\x13\x14" "deliveryMethodSyntax",                          28},
    {"\x13\x17" "distinguishedNameSyntax",                       34},
    {"\x13\x10" "enumeratedSyntax",                              31},
    {"\x13\x1E" "facsimileTelephoneNumberSyntax",                18},
    {"\x13\x15" "generalizedTimeSyntax",                         21},
    {"\x13\x0F" "iA5StringSyntax",                               27},
    {"\x13\x0B" "imageSyntax",                                   32},
    {"\x13\x11" "integerListSyntax",                             19},
    {"\x13\x0D" "integerSyntax",                                 7},
    {"\x13\x0F" "jpegPhotoSyntax",                               29},
    {"\x13\x15" "mhs-or-address-syntax",                         25},
    {"\x13\x12" "mhs-or-name-syntax",                            26},
    {"\x13\x13" "numericStringSyntax",                           5},
    {"\x13\x16" "objectIdentifierSyntax",                        2},
    {"\x13\x11" "octetStringSyntax",                             8},
    {"\x13\x13" "postalAddressSyntax",                           15},
    {"\x13\x19" "presentationAddressSyntax",                     11},
    {"\x13\x15" "printableStringSyntax",                         4},
    {"\x13\x19" "protocolInformationSyntax",                     30},
    {"\x13\x24" "qam-mts-oraddress-translation-syntax",          35},
    {"\x13\x1B" "qam-mts-print-or-num-syntax",                   36},
    {"\x13\x21" "qam-mts-routing-domain-gdi-syntax",             37},
    {"\x13\x11" "searchGuideSyntax",                             20},
    {"\x13\x10" "stringListSyntax",                              14},
    {"\x13\x0C" "stringSyntax",                                  12},
    {"\x13\x0F" "t61StringSyntax",                               24},
    {"\x13\x15" "telephoneNumberSyntax",                         10},
    {"\x13\x1F" "teletexTerminalIdentifierSyntax",               17},
    {"\x13\x11" "telexNumberSyntax",                             16},
    {"\x13\x0F" "undefinedSyntax",                               1},
    {"\x13\x12" "userPasswordSyntax",                            22},
    {"\x13\x0D" "uTCTimeSyntax",                                 9},
};
// clang-format on
const size_t kSyntaxNameCount = sizeof kSyntaxNames / sizeof kSyntaxNames[0];

}  // namespace lyrdua::schema
