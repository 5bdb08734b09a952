/* lyrdua/lyrdua.h - the whole lyrdua C API. */
#ifndef LYRDUA_LYRDUA_H
#define LYRDUA_LYRDUA_H

#include "kor_types.h"
#include "kor_asn1.h"
#include "kor_evt.h"
#include "kor_ahs.h"
#include "kor_cnv.h"
#include "kor_sc.h"
#include "kor_cfg.h"
#include "kor_buflist.h"

#endif /* LYRDUA_LYRDUA_H */
