#include "engine/shortcuts.h"

// This one needs windows.h first.
#include <shlobj.h>

#include "engine/group_folder.h"
#include "engine/install_record.h"
#include "product/config.h"
#include "rules/crc32.h"
#include "rules/link_path.h"
#include "rules/paths.h"

namespace {
constexpr uint32_t AFTER_EACH_SHORTCUT_MS = 200;
constexpr uint32_t AFTER_LAST_SHORTCUT_MS = 500;

// The shell's link object, named here rather than taken from the uuid
// library, whose one object file would bring some 40 KB of other identifiers.
constexpr CLSID shellLinkClass = {0x00021401, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

// The group's folder while the shortcuts are written: held, so that the
// folder judged is the folder written to.
HeldFolder groupFolder;

// A shortcut of the product's caption in the group the user just chose for
// the product is the product's, whoever wrote it (an installation older than
// the install record, or one whose record was lost): it is replaced, unless
// it is a link, has other names, or cannot be opened. A target or shortcut
// path that does not fit its buffer skips that shortcut rather than naming
// another file.
void createRowShortcut(const PayloadEntry& row)
{
    const char* folder = (row.flags & FILE_IN_INSTALL_DIR) ? installPaths.installDir : installPaths.windowsDir;
    char target[MAX_PATH];
    char linkPath[MAX_PATH];
    wchar_t name[MAX_PATH];
    wchar_t path[MAX_PATH];
    RecordItem written = {RECORD_SHORTCUT, 0, 0};
    if (joinPath(target, sizeof target, folder, row.fileName, 0) &&
        buildLinkPath(linkPath, sizeof linkPath, installPaths.programsDir, installPaths.groupName,
                      row.shortcutCaption) &&
        shortcutFileName(row.shortcutCaption, name) && pathInFolder(groupFolder, name, path) &&
        createShellLink(target, folder, row.shortcutCaption, groupFolder, name, &written)) {
        recordItem(path, written);
    }
}
} // namespace

// COM belongs to this work alone, from its start to its end: a thread on
// which COM was already initialised (S_FALSE) counts as a failure too, and
// gives back the reference that answer took. Every
// missing level of the group is created; a group whose folder cannot be made
// (a file in the way) is a failure, before anything is recorded as complete.
bool createShortcuts(EngineCaller& caller)
{
    const HRESULT com = CoInitialize(nullptr);
    if (com != S_OK) {
        if (SUCCEEDED(com)) {
            CoUninitialize();
        }
        return false;
    }
    if (!holdGroupFolder(groupFolder, installPaths.programsDir, installPaths.groupName, recordCreatedFolder)) {
        CoUninitialize();
        return false;
    }
    const int count = installConfig.shortcutCount;
    caller.workStarted(static_cast<uint32_t>(count), count);
    for (int i = 0; i < count; ++i) {
        const PayloadEntry& row = installConfig.files[i];
        caller.stepStarted(i, row.shortcutCaption);
        createRowShortcut(row);
        caller.progressed(1);
        caller.pause(AFTER_EACH_SHORTCUT_MS);
    }
    caller.pause(AFTER_LAST_SHORTCUT_MS);
    CoUninitialize();
    releaseFolder(groupFolder);
    return true;
}

namespace {
// The link's bytes as the link object saves them, into a stream in memory.
IStream* savedLink(IShellLinkA* link)
{
    IPersistStream* persist = nullptr;
    IStream* stream = nullptr;
    if (FAILED(link->QueryInterface(__uuidof(IPersistStream), reinterpret_cast<void**>(&persist)))) {
        return nullptr;
    }
    if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, &stream)) || FAILED(persist->Save(stream, TRUE))) {
        if (stream != nullptr) {
            stream->Release();
        }
        stream = nullptr;
    }
    persist->Release();
    return stream;
}

// The saved bytes are written through a handle of the held group's file, and
// measured as they were written.
bool writeLinkFile(IStream* stream, const HeldFolder& group, const wchar_t* name, RecordItem* written)
{
    HGLOBAL memory = nullptr;
    ULARGE_INTEGER end = {};
    if (FAILED(GetHGlobalFromStream(stream, &memory)) || FAILED(stream->Seek({}, STREAM_SEEK_CUR, &end)) ||
        end.QuadPart > MAXDWORD) {
        return false;
    }
    const DWORD size = static_cast<DWORD>(end.QuadPart);
    const auto* bytes = static_cast<const uint8_t*>(GlobalLock(memory));
    HANDLE file = bytes != nullptr ? createFileIn(group, name, nullptr) : nullptr;
    DWORD done = 0;
    bool saved = false;
    if (file != nullptr) {
        saved = WriteFile(file, bytes, size, &done, nullptr) && done == size && endWrittenFile(file, nullptr);
        CloseHandle(file);
        written->size = size;
        written->crc = crc32(bytes, size);
    }
    if (bytes != nullptr) {
        GlobalUnlock(memory);
    }
    return saved;
}
} // namespace

bool createShellLink(const char* target, const char* workingFolder, const char* description, const HeldFolder& group,
                     const wchar_t* name, RecordItem* written)
{
    IShellLinkA* link = nullptr;
    if (FAILED(CoCreateInstance(shellLinkClass, nullptr, CLSCTX_INPROC_SERVER, __uuidof(IShellLinkA),
                                reinterpret_cast<void**>(&link)))) {
        return false;
    }
    link->SetPath(target);
    link->SetWorkingDirectory(workingFolder);
    link->SetDescription(description);
    IStream* stream = savedLink(link);
    const bool created = stream != nullptr && writeLinkFile(stream, group, name, written);
    if (stream != nullptr) {
        stream->Release();
    }
    link->Release();
    return created;
}
