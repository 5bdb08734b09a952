#include "schema/store_status.hpp"

#include <lyrdua/kor_sc.h>

namespace lyrdua::schema {
namespace {

struct StatusResult {
  uint32_t status;
  uint32_t result;
};

// Every status not listed is a plain failure.
const StatusResult kStatusResults[] = {
    {0, KOR_OK},
    {3, KOR_SC_E_STATUS3},
    {4, KOR_SC_E_STATUS4},
    {5, KOR_SC_E_STATUS5},
    {7, KOR_SC_E_NOMEM},
    {8, KOR_SC_E_NOT_FOUND},
    {9, KOR_SC_E_NOT_FOUND},
    {15, KOR_SC_E_NOT_FOUND},
    {16, KOR_SC_E_STATUS16},
};

}  // namespace

uint32_t result_of_store_status(uint32_t status) {
  for (const StatusResult &row : kStatusResults)
    if (row.status == status) return row.result;
  return KOR_SC_E_FAILED;
}

}  // namespace lyrdua::schema
