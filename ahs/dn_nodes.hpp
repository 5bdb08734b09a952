// The structure form of distinguished names, shared by the parser, the
// encoder, the formatter and the release: the record types of each character
// width and the operations on their chains.
#pragma once

#include <lyrdua/kor_ahs.h>

#include <cstdint>

namespace lyrdua::ahs {

// The DN, RDN and AVA records of a character width.
template <typename Char>
struct DnRecords;

template <>
struct DnRecords<char> {
  using Dn = kor_ahs_dn;
  using Rdn = kor_ahs_rdn;
  using Ava = kor_ahs_ava;
};

template <>
struct DnRecords<kor_wchar> {
  using Dn = kor_ahs_dnW;
  using Rdn = kor_ahs_rdnW;
  using Ava = kor_ahs_avaW;
};

template <typename Char>
using DnOf = typename DnRecords<Char>::Dn;
template <typename Char>
using AvaOf = typename DnRecords<Char>::Ava;

// Parses a DN text of n characters into dn, copying the type and value texts
// into dn->buffer (which may be text itself). On failure the event is raised,
// the heap nodes built are released and its code (or 10) returned.
template <typename Char>
uint32_t parse_distinguished_name(const Char *text, uint32_t n, DnOf<Char> *dn);

// Parses one RDN text into the AVA chain that starts at first, copying texts
// into buffer. The failures of the DN parser, but 0xE6F001CE where the text
// ends early and 0xE6F001D3 (no event) for ',' or ';' outside quotes.
template <typename Char>
uint32_t parse_relative_name(const Char *text, uint32_t n, Char *buffer, AvaOf<Char> *first);

// Releases the heap nodes of a parsed DN; the embedded first nodes and the
// record's links stay as they are.
template <typename Dn>
void release_dn_nodes(Dn *dn);

// Releases the heap AVA nodes that follow first, and unlinks them.
template <typename Ava>
void release_ava_nodes(Ava *first);

// Lays an AVA chain, last AVA first; stops at the first failure.
template <typename Char>
uint32_t encode_ava_chain(const AvaOf<Char> *first, kor_asn1_ctx *ctx, kor_sc_schema *schema);

// Lays the SEQUENCE of a parsed DN; stops at the first RDN that fails.
template <typename Char>
uint32_t encode_distinguished_name(const DnOf<Char> *dn, kor_asn1_ctx *ctx, kor_sc_schema *schema);

}  // namespace lyrdua::ahs
