#include "engine/start_up.h"

#include <aclapi.h>
#include <sddl.h>

#include <algorithm>

#include "product/config.h"
#include "rules/paths.h"

void useSystemCodePage()
{
    CPINFO info;
    static_assert(sizeof info.LeadByte == LEAD_BYTE_RANGES_SIZE, "the ranges as Windows lists them");
    if (GetCPInfo(CP_ACP, &info)) {
        setLeadByteRanges(info.LeadByte);
    }
}

namespace {
constexpr char globalPrefix[] = "Global\\";
constexpr char lockObject[] = "\\Lock";
// The publisher and product names and the program's: one lock per product.
constexpr size_t LOCK_NAME_SIZE =
    sizeof globalPrefix + sizeof installConfig.publisherName + sizeof installConfig.productName + 16;
// The global lock belongs to the Administrators group, which no other user
// can make the owner of an object, and only administrators and the system
// may open it.
constexpr char globalLockAccess[] = "O:BAD:(A;;GA;;;BA)(A;;GA;;;SY)";

using CreateBoundary = HANDLE(WINAPI*)(LPCWSTR name, ULONG flags);
using AddSidToBoundary = BOOL(WINAPI*)(HANDLE* boundary, PSID sid);
using CreateNamespace = HANDLE(WINAPI*)(LPSECURITY_ATTRIBUTES attributes, LPVOID boundary, LPCWSTR prefix);
using OpenNamespace = HANDLE(WINAPI*)(LPVOID boundary, LPCWSTR prefix);

// Private namespaces came with Vista: on XP the calls are not there.
template <typename Function> Function kernelCall(const char* name)
{
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), name)));
}

// A namespace whose boundary is the Administrators group: only a process
// running with that group can create it, so no other user can take the
// names in it. Null when the system has no private namespaces or the
// process is no administrator. The handle stays open until the process ends.
HANDLE openAdministratorsNamespace(const char* name)
{
    const auto createBoundary = kernelCall<CreateBoundary>("CreateBoundaryDescriptorW");
    const auto addSid = kernelCall<AddSidToBoundary>("AddSIDToBoundaryDescriptor");
    const auto createNamespace = kernelCall<CreateNamespace>("CreatePrivateNamespaceW");
    const auto openNamespace = kernelCall<OpenNamespace>("OpenPrivateNamespaceW");
    wchar_t wideName[LOCK_NAME_SIZE];
    if (createBoundary == nullptr || addSid == nullptr || createNamespace == nullptr || openNamespace == nullptr ||
        MultiByteToWideChar(CP_ACP, 0, name, -1, wideName, LOCK_NAME_SIZE) == 0) {
        return nullptr;
    }
    HANDLE boundary = createBoundary(wideName, 0);
    SID_IDENTIFIER_AUTHORITY ntAuthority = SECURITY_NT_AUTHORITY;
    PSID administrators = nullptr;
    HANDLE space = nullptr;
    if (boundary != nullptr &&
        AllocateAndInitializeSid(&ntAuthority, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0,
                                 0, &administrators) &&
        addSid(&boundary, administrators)) {
        space = createNamespace(nullptr, boundary, wideName);
        if (space == nullptr && GetLastError() == ERROR_ALREADY_EXISTS) {
            space = openNamespace(boundary, wideName);
        }
    }
    if (administrators != nullptr) {
        FreeSid(administrators);
    }
    return space; // the boundary goes with the process, as the namespace does
}

// True when the object's owner is the Administrators group or the system.
bool ownedByAdministrators(HANDLE object)
{
    PSID owner = nullptr;
    PSECURITY_DESCRIPTOR security = nullptr;
    const bool owned = GetSecurityInfo(object, SE_KERNEL_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr, nullptr,
                                       nullptr, &security) == ERROR_SUCCESS &&
                       owner != nullptr &&
                       (IsWellKnownSid(owner, WinBuiltinAdministratorsSid) || IsWellKnownSid(owner, WinLocalSystemSid));
    if (security != nullptr) {
        LocalFree(security);
    }
    return owned;
}

// Where there is no private namespace, the lock is a global name that anyone
// may create first. One that another setup or uninstaller made belongs to
// the Administrators group; one of another owner, or one that cannot be
// opened, was made by someone else to block the product, and blocks nothing:
// the run goes on without a lock rather than report a run that is not there.
bool holdGlobalLock(const char* name)
{
    char globalName[LOCK_NAME_SIZE];
    SECURITY_ATTRIBUTES attributes = {sizeof attributes, nullptr, FALSE};
    if (!concatenateTexts(globalName, sizeof globalName, {globalPrefix, name}) ||
        !ConvertStringSecurityDescriptorToSecurityDescriptorA(globalLockAccess, SDDL_REVISION_1,
                                                              &attributes.lpSecurityDescriptor, nullptr)) {
        return false;
    }
    const HANDLE lock = CreateMutexA(&attributes, FALSE, globalName);
    const bool existed = lock != nullptr && GetLastError() == ERROR_ALREADY_EXISTS;
    const bool another = existed && ownedByAdministrators(lock);
    LocalFree(attributes.lpSecurityDescriptor);
    if (existed) {
        CloseHandle(lock);
    }
    return !another; // a lock the setup made stays open until the process ends
}
} // namespace

// The lock lives in the Administrators' private namespace, where no other
// user can create it first; a lock there that cannot be created or opened
// counts as held.
bool holdProductLock()
{
    char name[LOCK_NAME_SIZE];
    if (!concatenateTexts(name, sizeof name,
                          {installConfig.publisherName, " ", installConfig.productName, " Setup Mate"})) {
        return false;
    }
    // A namespace's name and an object's name hold no backslash of their own.
    std::replace(name, name + lstrlenA(name), '\\', '/');
    if (openAdministratorsNamespace(name) == nullptr) {
        return holdGlobalLock(name);
    }
    char lockName[LOCK_NAME_SIZE + sizeof lockObject];
    if (!concatenateTexts(lockName, sizeof lockName, {name, lockObject})) {
        return false;
    }
    const HANDLE lock = CreateMutexA(nullptr, FALSE, lockName);
    if (lock == nullptr) {
        return false;
    }
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(lock);
        return false;
    }
    return true; // the handle stays open until the process ends
}
