# The 32-bit Wine bench's shared parts, sourced by the scripts beside it.
#
# The bench is an i386 Debian tree with Wine 8.0 (wine32) kept in a cache
# outside the project, whose i386 programs run through QEMU's user-mode
# emulator (a static qemu-i386 of QEMU 10), registered in binfmt_misc only
# while a script of the bench runs.
#
# SETUPMATE_WINE32_CACHE overrides the cache folder.

cache=${SETUPMATE_WINE32_CACHE:-/var/cache/setupmate-wine32}
rootfs=$cache/rootfs
qemu=$cache/qemu/qemu-i386
stamps=$cache/stamps
binfmt=/proc/sys/fs/binfmt_misc
# The handler's name holds the cache's checksum: benches of two caches may run
# at once, and neither removes the other's handler.
handler=setupmate-qemu-i386-$(printf '%s' "$cache" | cksum | cut -d' ' -f1)
# Inside the tree: the template prefix and the scenarios' prefixes, on one
# file system so that a prefix copy can hard-link the template's files.
bench_home=/var/lib/setupmate

# The caller's standard input on descriptor 8, for a command the bench runs
# in the background (which would get /dev/null), or /dev/null when there is
# none: continuous integration runs without one.
keep_input() {
    if [ -e /proc/self/fd/0 ]; then
        exec 8<&0
    else
        exec 8</dev/null
    fi
}

# Progress goes to the standard error so that a caller's output stays its own.
say() { echo "wine32: $*" >&2; }

die() {
    say "$*"
    exit 2
}

# The bench mounts, binds and registers machine-wide things: only root can.
# Called with the script's arguments, it runs the script again through sudo,
# as tools/install-deps.sh does.
need_root() {
    [ "$(id -u)" -ne 0 ] || return 0
    if command -v sudo >/dev/null 2>&1; then
        exec sudo --preserve-env=DISPLAY,XAUTHORITY,E2E_DISPLAY,E2E_JOBS,WINEDEBUG,SETUPMATE_WINE32_CACHE,SETUPMATE_DEBIAN_MIRROR \
            "$0" "$@"
    fi
    die "the 32-bit bench needs root (mounts, chroot, binfmt_misc); run this as root"
}

# Every mount point at or below DIR as this process sees it, deepest first,
# so that they can be unmounted in that order.
mounts_under() {
    awk -v dir="$1" '{ path = $5; gsub(/\\040/, " ", path)
        if (path == dir || index(path, dir "/") == 1) print length(path), path }' /proc/self/mountinfo |
        sort -rn | cut -d' ' -f2-
}

# Unmounts everything at or below DIR; a busy mount is detached lazily, which
# takes it out of the tree at once.
unmount_under() {
    mounts_under "$1" | while IFS= read -r point; do
        umount "$point" 2>/dev/null || umount -l "$point" 2>/dev/null || true
    done
    [ -z "$(mounts_under "$1")" ] || die "still mounted below $1: $(mounts_under "$1" | tr '\n' ' ')"
}

# Deletes a tree of the bench. A delete that crossed into a bind mount of the
# host's /dev or of the project would destroy them: everything below is
# unmounted first, and the delete stays on the tree's own file system.
remove_tree() {
    [ -e "$1" ] || return 0
    unmount_under "$1"
    rm -rf --one-file-system "$1"
}

# binfmt_misc is often not mounted in a container; the mount is private to
# the bench's mount namespace, the handlers behind it are not.
mount_binfmt() {
    [ -e "$binfmt/register" ] || mount -t binfmt_misc binfmt_misc "$binfmt"
}

# The i386 ELF handler. F opens the emulator now, so that programs inside the
# chroot, where no qemu-i386 exists, find it; the magic and mask are those of
# Debian's qemu-user-binfmt for i386 (ELF class 32, machine 3 or 6).
register_qemu() {
    mount_binfmt
    [ ! -e "$binfmt/$handler" ] || echo -1 > "$binfmt/$handler"
    printf '%s' ":$handler:M::\\x7fELF\\x01\\x01\\x01\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x02\\x00\\x03\\x00:\\xff\\xff\\xff\\xff\\xff\\xfe\\xfe\\x00\\xff\\xff\\xff\\xff\\xff\\xff\\xff\\xff\\xfe\\xff\\xff\\xff:$qemu:F" \
        > "$binfmt/register"
}

# The handler is machine-wide: it goes when the bench is done with it.
unregister_qemu() {
    [ ! -e "$binfmt/$handler" ] || echo -1 > "$binfmt/$handler"
}

# The tree's own /dev: a small tmpfs with the nodes Wine uses, never a bind of
# the host's /dev, whose nodes a stray delete would destroy.
mount_dev() {
    mount -t tmpfs -o mode=755,nosuid,size=64k setupmate-dev "$rootfs/dev"
    mknod -m 666 "$rootfs/dev/null" c 1 3
    mknod -m 666 "$rootfs/dev/zero" c 1 5
    mknod -m 666 "$rootfs/dev/full" c 1 7
    mknod -m 666 "$rootfs/dev/random" c 1 8
    mknod -m 666 "$rootfs/dev/urandom" c 1 9
    mknod -m 666 "$rootfs/dev/tty" c 5 0
    mkdir -p "$rootfs/dev/pts" "$rootfs/dev/shm"
    mount -t devpts -o newinstance,ptmxmode=0666 devpts "$rootfs/dev/pts"
    ln -s pts/ptmx "$rootfs/dev/ptmx"
    mount -t tmpfs -o mode=1777,nosuid,nodev shm "$rootfs/dev/shm"
    ln -s /proc/self/fd "$rootfs/dev/fd"
}

# /proc and /sys of the bench's own namespaces, fresh mounts rather than
# binds; the X server is reached through its abstract socket, so the host's
# /tmp/.X11-unix needs no bind either.
mount_system() {
    mount -t proc proc "$rootfs/proc"
    mount -t sysfs -o ro sysfs "$rootfs/sys"
    mount_dev
}

# The project appears inside the tree at its own path, so that Windows paths
# (Z:\...) are the same on both sides; read-only except its build folder,
# where the results go.
bind_project() {
    mkdir -p "$rootfs$1" "$1/build"
    mount --bind "$1" "$rootfs$1"
    mount -o remount,bind,ro "$rootfs$1"
    mount --bind "$1/build" "$rootfs$1/build"
}

stop_xvfb() {
    [ -n "${xvfb_pid:-}" ] || return 0
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
    xvfb_pid=
}
