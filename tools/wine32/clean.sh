#!/bin/sh
# Deletes the 32-bit bench's cache (the emulator, the i386 tree with Wine and
# the template prefix, about 1.5 GB); the next run makes it again. Safe in
# any state: it waits for a running bench, unregisters a handler left by a
# killed run, unmounts whatever is still mounted in the tree, and only then
# deletes, never leaving the cache's own file system.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"

need_root "$@"
[ -d "$cache" ] || exit 0
exec 9>>"$cache/lock"
flock 9
unregister_qemu
say "deleting $cache"
unmount_under "$cache"
rm -rf --one-file-system "$cache"
