#include "lyrutil/store_syntaxes.hpp"

namespace lyrdua::util {

const char *const kStoreSyntaxNames[] = {
    "undefinedSyntax",                       // 1
    "objectIdentifierSyntax",                // 2
    "aciSyntax",                             // 3
    "printableStringSyntax",                 // 4
    "numericStringSyntax",                   // 5
    "booleanSyntax",                         // 6
    "integerSyntax",                         // 7
    "octetStringSyntax",                     // 8
    "uTCTimeSyntax",                         // 9
    "telephoneNumberSyntax",                 // 10
    "presentationAddressSyntax",             // 11
    "stringSyntax",                          // 12
    "countryNameSyntax",                     // 13
    "stringListSyntax",                      // 14
    "postalAddressSyntax",                   // 15
    "telexNumberSyntax",                     // 16
    "teletexTerminalIdentifierSyntax",       // 17
    "facsimileTelephoneNumberSyntax",        // 18
    "integerListSyntax",                     // 19
    "searchGuideSyntax",                     // 20
    "generalizedTimeSyntax",                 // 21
    "userPasswordSyntax",                    // 22
    "bitStringSyntax",                       // 23
    "t61StringSyntax",                       // 24
    "mhs-or-address-syntax",                 // 25
    "mhs-or-name-syntax",                    // 26
    "iA5StringSyntax",                       // 27
    "deliveryMethodSyntax",                  // 28
    "jpegPhotoSyntax",                       // 29
    "protocolInformationSyntax",             // 30
    "enumeratedSyntax",                      // 31
    "imageSyntax",                           // 32
    "audioSyntax",                           // 33
    "distinguishedNameSyntax",               // 34
    "qam-mts-oraddress-translation-syntax",  // 35
    "qam-mts-print-or-num-syntax",           // 36
    "qam-mts-routing-domain-gdi-syntax",     // 37
};
const size_t kStoreSyntaxCount = sizeof kStoreSyntaxNames / sizeof kStoreSyntaxNames[0];

// RFC 4517 syntax OIDs (1.3.6.1.4.1.1466.115.121.1.N) and the syntax that
// stands for each. Other syntax OIDs get a syntax of their own, named by the OID.
const LdapSyntax kLdapSyntaxes[] = {
    {"1.3.6.1.4.1.1466.115.121.1.6", "bitStringSyntax"},
    {"1.3.6.1.4.1.1466.115.121.1.7", "booleanSyntax"},
    {"1.3.6.1.4.1.1466.115.121.1.11", "countryNameSyntax"},
    {"1.3.6.1.4.1.1466.115.121.1.12", "distinguishedNameSyntax"},
    {"1.3.6.1.4.1.1466.115.121.1.14", "deliveryMethodSyntax"},
    {"1.3.6.1.4.1.1466.115.121.1.15", "stringSyntax"},
    {"1.3.6.1.4.1.1466.115.121.1.22", "facsimileTelephoneNumberSyntax"},
    {"1.3.6.1.4.1.1466.115.121.1.24", "generalizedTimeSyntax"},
    {"1.3.6.1.4.1.1466.115.121.1.25", "searchGuideSyntax"},
    {"1.3.6.1.4.1.1466.115.121.1.26", "iA5StringSyntax"},
    {"1.3.6.1.4.1.1466.115.121.1.27", "integerSyntax"},
    {"1.3.6.1.4.1.1466.115.121.1.28", "jpegPhotoSyntax"},
    {"1.3.6.1.4.1.1466.115.121.1.36", "numericStringSyntax"},
    {"1.3.6.1.4.1.1466.115.121.1.38", "objectIdentifierSyntax"},
    {"1.3.6.1.4.1.1466.115.121.1.40", "octetStringSyntax"},
    {"1.3.6.1.4.1.1466.115.121.1.41", "postalAddressSyntax"},
    {"1.3.6.1.4.1.1466.115.121.1.43", "presentationAddressSyntax"},
    {"1.3.6.1.4.1.1466.115.121.1.44", "printableStringSyntax"},
    {"1.3.6.1.4.1.1466.115.121.1.50", "telephoneNumberSyntax"},
    {"1.3.6.1.4.1.1466.115.121.1.51", "teletexTerminalIdentifierSyntax"},
    {"1.3.6.1.4.1.1466.115.121.1.52", "telexNumberSyntax"},
    {"1.3.6.1.4.1.1466.115.121.1.53", "uTCTimeSyntax"},
};
const size_t kLdapSyntaxCount = sizeof kLdapSyntaxes / sizeof kLdapSyntaxes[0];

}  // namespace lyrdua::util
