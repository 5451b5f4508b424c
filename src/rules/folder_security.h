// Whether an existing folder is left to the administrators, judged from its
// security descriptor in the documented self-relative binary form. The bytes
// come from the disk and may be anything.
#pragma once
#include <cstddef>
#include <cstdint>

// True when the descriptor (size bytes: owner and access list, self-relative)
// leaves the folder's permissions and owner to the Administrators group,
// SYSTEM, TrustedInstaller and the account given as runningUser (a SID of
// userSize bytes; none when userSize is 0): its owner is one of them, and no
// entry that allows access to the folder itself lets anyone else change its
// access list or owner. A missing owner, a missing or null access list, an
// allowing entry of a kind that cannot be judged and any malformed or
// truncated descriptor leave the folder to others.
bool isLeftToAdministrators(const uint8_t* descriptor, size_t size, const uint8_t* runningUser, size_t userSize);
