#!/bin/sh
# Runs COMMAND inside the 32-bit Wine bench: an i386 Debian bookworm tree
# with Wine 8.0 (wine32), whose programs run through a static QEMU 10
# qemu-i386. Prepares what is missing first (the emulator, the tree, Wine,
# the template prefix), reporting progress; a second run finds it all in the
# cache and costs seconds. With no COMMAND it only prepares.
#
# Usage: tools/wine32/enter.sh [COMMAND [ARG...]]
#   COMMAND runs in the tree as root, with the project at its own path
#   (read-only, but for build/), HOME=/root and DISPLAY passed on.
#
# Everything the bench mounts lives in a mount namespace of its own, so no
# other process ever sees the tree's /dev, /proc, /sys or project mounts;
# they are unmounted on every exit path all the same, and the namespace goes
# with the bench's last process. Runs one at a time (a lock in the cache).
set -eu
here=$(cd "$(dirname "$0")" && pwd)
project=$(cd "$here/../.." && pwd)
. "$here/lib.sh"

# The bookworm tree matches the host's Debian; qemu-user comes from the
# backports suite, because bookworm's own 7.2 treats MAP_FIXED_NOREPLACE as a
# hint and Wine's address-space probing then loops until wineboot gives up.
suite=bookworm
qemu_suite=bookworm-backports
keyring=/usr/share/keyrings/debian-archive-keyring.gpg
wine_packages="wine wine32 fonts-wine fonts-liberation fonts-dejavu-core fontconfig
  libxcomposite1 libxcursor1 libxfixes3 libxi6 libxinerama1 libxrandr2 libxrender1 libxxf86vm1
  libgnutls30 libdbus-1-3"

# The Debian archive the host's apt already uses (SETUPMATE_DEBIAN_MIRROR
# overrides it): the bench reaches nothing the host could not.
archive_address() {
    if [ -n "${SETUPMATE_DEBIAN_MIRROR:-}" ]; then
        echo "$SETUPMATE_DEBIAN_MIRROR"
        return
    fi
    cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources 2>/dev/null |
        grep -oE '(URIs:|^deb)[[:space:]]+(\[[^]]*\][[:space:]]+)?https?://[^[:space:]]+/debian/?([[:space:]]|$)' |
        grep -oE 'https?://[^[:space:]]+' | sed 's:/$::' | head -n1 | grep . || echo http://deb.debian.org/debian
}

# Shows the lines of a long step that match PATTERN sparingly: the first of
# each kind (retrieving, unpacking, ...) and every 25th after it; errors all.
progress() {
    awk -v pattern="$1" '$0 ~ pattern { kind = ($1 == "I:") ? $2 : $1; sub(/:[0-9]+$/, "", kind)
        if (kind == "E:" || count[kind]++ % 25 == 0) { print "wine32:   " $0; fflush() } }' >&2
}

# A stage is done when its stamp holds the recipe it was done with.
stage_done() { [ "$(cat "$stamps/$1" 2>/dev/null)" = "$2" ]; }

mark_done() {
    mkdir -p "$stamps"
    printf '%s\n' "$2" > "$stamps/$1"
}

# The host needs debootstrap to make the tree; nothing else is installed on
# it, and its apt configuration is never changed.
install_debootstrap() {
    command -v debootstrap >/dev/null 2>&1 && return 0
    say "installing debootstrap on the host"
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends debootstrap >/dev/null ||
        { apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends debootstrap >/dev/null; }
}

# apt-get with a state of its own (sources, lists, cache) under the cache:
# the backports suite is looked up without touching the host's apt.
private_apt() {
    state=$cache/apt
    mkdir -p "$state/lists/partial" "$state/archives/partial"
    echo "deb [signed-by=$keyring] $(archive_address) $qemu_suite main" > "$state/sources.list"
    touch "$state/status"
    apt-get -o Dir::Etc::SourceList="$state/sources.list" -o Dir::Etc::SourceParts=/nonexistent \
        -o Dir::State::Lists="$state/lists" -o Dir::State::status="$state/status" \
        -o Dir::Cache::archives="$state/archives" -o Dir::Cache::pkgcache= -o Dir::Cache::srcpkgcache= \
        -o Acquire::Languages=none -o APT::Architectures::=amd64 -o APT::Sandbox::User=root "$@"
}

# The static qemu-i386 taken out of backports' qemu-user .deb; nothing of it
# is installed.
fetch_qemu() {
    stage_done qemu "$qemu_suite" && [ -x "$qemu" ] && return 0
    say "[1/4] fetching qemu-user from $qemu_suite (private apt state under $cache/apt)"
    private_apt -q update >&2
    rm -rf "$cache/apt/debs"
    mkdir -p "$cache/apt/debs" "$(dirname "$qemu")"
    (cd "$cache/apt/debs" && private_apt -q download qemu-user >&2)
    dpkg-deb --fsys-tarfile "$cache"/apt/debs/qemu-user_*.deb | tar -xO ./usr/bin/qemu-i386 > "$qemu.new"
    chmod 755 "$qemu.new"
    mv "$qemu.new" "$qemu"
    file "$qemu" | grep -qE 'static(-pie)? linked' || die "$qemu is not a static program"
    rm -rf "$cache/apt/debs"
    mark_done qemu "$qemu_suite"
}

# The i386 tree. A half-made tree (an interrupted run) is made again whole.
# The packages are fetched and unpacked by the host's own tools first; only
# their installation runs under emulation, with the tree's package tools set
# to be quick first.
make_rootfs() {
    stage_done rootfs "$suite" && return 0
    install_debootstrap
    say "[2/4] making the i386 $suite tree with debootstrap (a few minutes; log in $cache/debootstrap.log)"
    rm -f "$stamps/rootfs" "$stamps/wine"
    remove_tree "$rootfs"
    debootstrap --foreign --arch=i386 --variant=minbase "$suite" "$rootfs" "$(archive_address)" 2>&1 |
        tee "$cache/debootstrap.log" | progress '^(I: (Retrieving|Validating|Extracting)|E: )'
    ! grep -q '^E: ' "$cache/debootstrap.log" && [ -f "$rootfs/debootstrap/debootstrap" ] ||
        die "debootstrap failed, see $cache/debootstrap.log"
    quick_package_tools
    in_tree /debootstrap/debootstrap --second-stage 2>&1 |
        tee -a "$cache/debootstrap.log" | progress '^(I: (Installing|Configuring|Base)|E: )'
    tail -n 1 "$cache/debootstrap.log" | grep -q '^I: Base system installed successfully' ||
        die "debootstrap failed, see $cache/debootstrap.log"
    unmount_under "$rootfs"
    mark_done rootfs "$suite"
}

# The tree's dpkg neither syncs each file to disk (a tree half-made by a
# crash is made again whole anyway) nor unpacks documentation, manuals or
# message catalogues, which nothing in the bench reads; its apt fetches no
# descriptions' translations.
quick_package_tools() {
    mkdir -p "$rootfs/etc/dpkg/dpkg.cfg.d" "$rootfs/etc/apt/apt.conf.d"
    printf '%s\n' force-unsafe-io 'path-exclude=/usr/share/doc/*' 'path-exclude=/usr/share/man/*' \
        'path-exclude=/usr/share/info/*' 'path-exclude=/usr/share/locale/*' >"$rootfs/etc/dpkg/dpkg.cfg.d/bench"
    echo 'Acquire::Languages "none";' >"$rootfs/etc/apt/apt.conf.d/bench"
}

# Runs a command in the tree with a clean environment, in the caller's
# working folder when the tree has it (the project's folders are at their own
# paths there), else in the tree's root.
in_tree() {
    chroot "$rootfs" /usr/bin/env -i HOME=/root PATH=/usr/local/bin:/usr/bin:/bin:/usr/sbin:/sbin \
        LANG=C.UTF-8 TERM=dumb DISPLAY="${DISPLAY:-}" BENCH_HOME="$bench_home" \
        ${XAUTHORITY:+XAUTHORITY="$XAUTHORITY"} \
        /bin/sh -c 'cd "$0" 2>/dev/null || cd /; exec "$@"' "$(pwd)" "$@"
}

# Wine 8.0 of the tree's own i386 archive, with the fonts and X libraries the
# host's Wine has, so that both builds are drawn alike.
install_wine() {
    stage_done wine "$wine_packages" && return 0
    say "[3/4] installing Wine (wine32) in the tree (several minutes under emulation)"
    cp /etc/resolv.conf "$rootfs/etc/resolv.conf" 2>/dev/null || true
    quick_package_tools
    in_tree apt-get -q update >&2
    # shellcheck disable=SC2086
    in_tree env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends $wine_packages 2>&1 |
        progress '^(Get:|Fetched|Unpacking|Setting up|E: )'
    in_tree test -x /usr/lib/wine/wine || die "Wine did not install in the tree"
    in_tree apt-get clean
    mark_done wine "$wine_packages"
}

# The template prefix, made by the same script as the 64-bit one, inside the
# tree so that prefix copies can hard-link it.
make_template() {
    mkdir -p "$rootfs$bench_home"
    if ! in_tree test -f "$bench_home/wine-template/.complete"; then
        say "[4/4] making the 32-bit template prefix (about a minute)"
    fi
    in_tree sh "$project/tools/wine/make-template.sh" "$bench_home/wine-template"
    disable_menu_builder
}

# Saving a shortcut starts Wine's menu builder and waits up to 10 s for it;
# under emulation it takes longer, so five shortcuts took close to a minute
# instead of a second. It only makes Linux menu entries, which the bench
# never uses. The mark lives in the template: a remade template gets it again.
disable_menu_builder() {
    template=$bench_home/wine-template
    [ ! -f "$rootfs$template/.no-menu-builder" ] || return 0
    in_tree env WINEPREFIX="$template" WINEDEBUG=-all wine reg add 'HKCU\Software\Wine\DllOverrides' \
        /v winemenubuilder.exe /t REG_SZ /d '' /f >/dev/null 2>&1
    in_tree env WINEPREFIX="$template" wineserver -w
    touch "$rootfs$template/.no-menu-builder"
}

# Prefixes of a run that was killed before it could delete them; only one
# bench runs at a time, so none of them is in use.
drop_leftover_prefixes() {
    remove_tree "$rootfs$bench_home/prefixes"
    remove_tree "$rootfs$bench_home/e2e-prefixes"
}

# What the bench set up goes on every way out: mounts, then the handler.
leave() {
    unmount_under "$rootfs" || true
    unregister_qemu
}

outside() {
    need_root "$@"
    mkdir -p "$cache"
    exec 9>"$cache/lock"
    if ! flock -n 9; then
        say "waiting for another run of the bench to end"
        flock 9
    fi
    fetch_qemu
    # The caller's standard input goes along, so that an interactive shell
    # works in the bench.
    keep_input
    unshare --mount --pid --fork --kill-child=TERM --propagation private \
        env SETUPMATE_WINE32_NAMESPACE=1 "$0" "$@" <&8 &
    namespace=$!
    trap stop_namespace INT TERM HUP
    status=0
    wait "$namespace" || status=$?
    # A signal ends the wait early: the bench is still undoing its set-up.
    while kill -0 "$namespace" 2>/dev/null; do
        status=0
        wait "$namespace" || status=$?
    done
    exit $status
}

# unshare holds INT and TERM back while its child runs: the signal goes to
# the namespace's first process, the bench itself, which undoes its set-up.
stop_namespace() {
    for first in $(cat "/proc/$namespace/task/$namespace/children" 2>/dev/null); do
        kill -TERM "$first" 2>/dev/null || true
    done
}

inside() {
    trap leave EXIT
    trap 'exit 130' INT TERM HUP
    register_qemu
    make_rootfs
    mount_system
    bind_project "$project"
    install_wine
    make_template
    drop_leftover_prefixes
    [ $# -gt 0 ] || return 0
    # In the background, so that a signal is handled at once, not when the
    # command has ended; the standard input goes along.
    keep_input
    in_tree "$@" <&8 &
    status=0
    wait $! || status=$?
    return $status
}

if [ "${SETUPMATE_WINE32_NAMESPACE:-}" = 1 ]; then
    inside "$@"
else
    outside "$@"
fi
