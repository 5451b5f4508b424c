#include "rules/folder_security.h"

#include <cstring>

namespace {
constexpr size_t DESCRIPTOR_HEADER_SIZE = 20;
constexpr uint8_t DESCRIPTOR_REVISION = 1;
constexpr uint16_t DACL_PRESENT = 0x0004;
constexpr uint16_t SELF_RELATIVE = 0x8000;
constexpr size_t OWNER_OFFSET_AT = 4;
constexpr size_t DACL_OFFSET_AT = 16;

constexpr size_t ACL_HEADER_SIZE = 8;
constexpr size_t ACE_HEADER_SIZE = 4;
constexpr size_t ACE_SID_AT = ACE_HEADER_SIZE + 4; // after the access mask
constexpr uint8_t ACCESS_ALLOWED = 0x0;
constexpr uint8_t ACCESS_DENIED = 0x1;
constexpr uint8_t ACCESS_ALLOWED_CALLBACK = 0x9;
constexpr uint8_t ACCESS_DENIED_CALLBACK = 0xA;
constexpr uint8_t INHERIT_ONLY = 0x08;
// WRITE_DAC, WRITE_OWNER and GENERIC_ALL; full control holds the first two.
constexpr uint32_t CHANGES_ACCESS_OR_OWNER = 0x00040000 | 0x00080000 | 0x10000000;

constexpr size_t SID_HEADER_SIZE = 8;
constexpr uint8_t SID_REVISION = 1;
constexpr uint8_t MAX_SUB_AUTHORITIES = 15;
constexpr uint8_t CREATOR_AUTHORITY = 3;
constexpr uint8_t NT_AUTHORITY = 5;

// A SID of the NT authority by its sub-authorities.
struct WellKnownSid {
    uint8_t count;
    uint32_t subAuthorities[6];
};
// SYSTEM, Administrators and TrustedInstaller.
constexpr WellKnownSid ADMINISTRATIVE_TRUSTEES[] = {
    {1, {18}},
    {2, {32, 544}},
    {6, {80, 956008885u, 3418522649u, 1831038044u, 1853292631u, 2271478464u}},
};

// The account the setup runs as, a SID in binary form.
struct Account {
    const uint8_t* sid;
    size_t length;
};

uint16_t readWord(const uint8_t* at) { return static_cast<uint16_t>(at[0] | at[1] << 8); }

uint32_t readLong(const uint8_t* at)
{
    return static_cast<uint32_t>(at[0]) | static_cast<uint32_t>(at[1]) << 8 | static_cast<uint32_t>(at[2]) << 16 |
           static_cast<uint32_t>(at[3]) << 24;
}

// The length of the SID that starts at sid with room bytes after it, or 0
// when it is malformed or does not fit.
size_t sidLength(const uint8_t* sid, size_t room)
{
    if (room < SID_HEADER_SIZE || sid[0] != SID_REVISION || sid[1] > MAX_SUB_AUTHORITIES) {
        return 0;
    }
    const size_t length = SID_HEADER_SIZE + 4 * static_cast<size_t>(sid[1]);
    return length <= room ? length : 0;
}

// The identifier authority is six bytes, most significant first.
bool hasAuthority(const uint8_t* sid, uint8_t authority)
{
    static constexpr uint8_t zeros[5] = {};
    return std::memcmp(sid + 2, zeros, sizeof zeros) == 0 && sid[7] == authority;
}

bool isWellKnown(const uint8_t* sid, const WellKnownSid& known)
{
    if (!hasAuthority(sid, NT_AUTHORITY) || sid[1] != known.count) {
        return false;
    }
    for (uint8_t k = 0; k < known.count; ++k) {
        if (readLong(sid + SID_HEADER_SIZE + 4 * k) != known.subAuthorities[k]) {
            return false;
        }
    }
    return true;
}

bool isTrusted(const uint8_t* sid, size_t length, const Account& runningUser)
{
    for (const WellKnownSid& known : ADMINISTRATIVE_TRUSTEES) {
        if (isWellKnown(sid, known)) {
            return true;
        }
    }
    return length == runningUser.length && std::memcmp(sid, runningUser.sid, length) == 0;
}

// CREATOR OWNER and its kin of the creator authority stand for whoever will
// create an object below, replaced when an entry is inherited, or for the
// owner (OWNER RIGHTS), who is judged on its own: on the folder itself they
// give nobody else anything.
bool standsForCreatorOrOwner(const uint8_t* sid) { return hasAuthority(sid, CREATOR_AUTHORITY) && sid[1] == 1; }

// A deny entry only takes access away, and an inherit-only entry applies to
// what is created below, which the setup gives its own access list. Entries
// of other kinds (object entries, or none a folder should hold) cannot be
// judged here.
bool entryLeavesControl(const uint8_t* entry, size_t size, const Account& runningUser)
{
    const uint8_t type = entry[0];
    if (type == ACCESS_DENIED || type == ACCESS_DENIED_CALLBACK) {
        return true;
    }
    if ((type != ACCESS_ALLOWED && type != ACCESS_ALLOWED_CALLBACK) || size < ACE_SID_AT) {
        return false;
    }
    const uint8_t* trustee = entry + ACE_SID_AT;
    const size_t trusteeLength = sidLength(trustee, size - ACE_SID_AT);
    if (trusteeLength == 0) {
        return false;
    }
    const bool appliesToFolder = (entry[1] & INHERIT_ONLY) == 0;
    const bool givesControl = (readLong(entry + ACE_HEADER_SIZE) & CHANGES_ACCESS_OR_OWNER) != 0;
    return !appliesToFolder || !givesControl || isTrusted(trustee, trusteeLength, runningUser) ||
           standsForCreatorOrOwner(trustee);
}

// Walks the entries of the access list that starts at acl with room bytes
// after it; every entry must lie inside the list's own size.
bool accessListLeavesControl(const uint8_t* acl, size_t room, const Account& runningUser)
{
    if (room < ACL_HEADER_SIZE || (acl[0] != 2 && acl[0] != 4)) {
        return false;
    }
    const size_t aclSize = readWord(acl + 2);
    const unsigned entries = readWord(acl + 4);
    if (aclSize < ACL_HEADER_SIZE || aclSize > room) {
        return false;
    }
    size_t at = ACL_HEADER_SIZE;
    for (unsigned k = 0; k < entries; ++k) {
        if (aclSize - at < ACE_HEADER_SIZE) {
            return false;
        }
        const size_t entrySize = readWord(acl + at + 2);
        if (entrySize < ACE_HEADER_SIZE || entrySize > aclSize - at ||
            !entryLeavesControl(acl + at, entrySize, runningUser)) {
            return false;
        }
        at += entrySize;
    }
    return true;
}

// An offset of 0 means the part is absent; one at or past the end is malformed.
bool partFits(size_t offset, size_t size) { return offset != 0 && offset < size; }
} // namespace

// A descriptor without an access list, or with a null one, gives everyone
// full control.
bool isLeftToAdministrators(const uint8_t* descriptor, size_t size, const uint8_t* runningUser, size_t userSize)
{
    if (size < DESCRIPTOR_HEADER_SIZE || descriptor[0] != DESCRIPTOR_REVISION) {
        return false;
    }
    const uint16_t control = readWord(descriptor + 2);
    const size_t ownerAt = readLong(descriptor + OWNER_OFFSET_AT);
    const size_t aclAt = readLong(descriptor + DACL_OFFSET_AT);
    if ((control & SELF_RELATIVE) == 0 || (control & DACL_PRESENT) == 0 || !partFits(ownerAt, size) ||
        !partFits(aclAt, size)) {
        return false;
    }
    const Account account = {runningUser, userSize};
    const size_t ownerLength = sidLength(descriptor + ownerAt, size - ownerAt);
    return ownerLength != 0 && isTrusted(descriptor + ownerAt, ownerLength, account) &&
           accessListLeavesControl(descriptor + aclAt, size - aclAt, account);
}
