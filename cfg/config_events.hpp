// The events of the configuration store: a registry failure's cause and the
// operation that met it, and the outcome that ends each failing operation.
#pragma once

#include <cstdint>

#include "cfg/sources.hpp"

namespace lyrdua::cfg {

// The category the store raises its events with. It is 0, which no stream
// selects, so that the store never fills the ring; tests give it another
// value to read the events back.
extern uint32_t event_category;

// Reports the registry's error for operation code on the key path (and the
// value name, when not null) under root: KOR_CFG_E_NOT_FOUND without events
// for a missing key or value, else the cause and the operation event over it,
// and KOR_CFG_E_FAILED.
uint32_t report_registry_failure(uint32_t error, uint32_t code, const char *key_path,
                                 const char *name, const RootName &root);

// Opens the operation's nesting level.
void begin_operation();

// Closes it: with the outcome event for KOR_CFG_E_FAILED, else quietly.
// Returns result.
uint32_t end_operation(uint32_t result);

}  // namespace lyrdua::cfg
