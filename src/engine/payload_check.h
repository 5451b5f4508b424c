// The payload's integrity: every row's resource is checked against the sizes
// and checksums that the build recorded, before anything on the machine is
// changed.
#pragma once
#include <windows.h>

#include <cstdint>

#include "product/config.h"

constexpr char damagedPayloadText[] = "Installation data is damaged!\r\nInstallation will now be aborted.";

// The row's packed stream when its resource is present with the row's packed
// size and checksum; null otherwise.
const uint8_t* checkedPackedStream(const PayloadEntry& row);

// True when every row's packed stream is present and intact.
bool payloadIsIntact(const PayloadEntry* rows, int count);
