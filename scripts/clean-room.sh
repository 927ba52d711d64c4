#!/usr/bin/env bash
# Runs a command of the project's in a bare Debian bookworm root, as a new
# user's machine would have it: a minbase root made by Debian's mmdebstrap
# (kept as a tarball, so later runs skip the bootstrap), the committed tree
# cloned into it (not the working copy), and the command run there as root.
# It prints the command's exit status and time, with apt's share, and exits
# with the command's status.
#
# The root and its mounts live only as long as the run: they are made in a
# mount and PID namespace of their own, so nothing the command leaves running
# outlives it, and the root is unmounted and deleted whatever happens (a
# failing command, Ctrl-C, kill).
#
# Usage: scripts/clean-room.sh [COMMAND [ARG]...]     (default ./demo.sh)
#   LUMIDOR_CLEAN_ROOM_CACHE   where the bootstrap tarball is kept
#                              (default /var/cache/lumidor-clean-room)
#   LUMIDOR_CLEAN_ROOM_REFRESH=1  bootstrap anew even with a tarball
#   LUMIDOR_* variables (LUMIDOR_JOBS, LUMIDOR_SKIP_*) reach the command.
set -euo pipefail

suite=bookworm
mirror=http://deb.debian.org/debian

fail() {
    echo "clean-room: $*" >&2
    exit 2
}

# The inside: runs as PID 1 of a new PID namespace with a private mount
# namespace, so every mount made here and every process the command starts
# end with it.
if [[ "${1:-}" == --inside ]]; then
    root=$2
    shift 2
    mount -t proc proc "$root/proc"
    mount -t sysfs sysfs "$root/sys"
    mount --bind /dev "$root/dev"
    mount --bind /dev/pts "$root/dev/pts"
    mkdir -p "$root/dev/shm"
    mount -t tmpfs -o mode=1777 tmpfs "$root/dev/shm" # JACK's shared memory
    mount -t tmpfs -o mode=1777 tmpfs "$root/tmp"

    environment=(HOME=/root PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin
                 TERM="${TERM:-dumb}" LANG=C.UTF-8)
    while IFS= read -r v; do environment+=("$v"); done < <(env | grep '^LUMIDOR_' || true)
    # In the foreground, so the command meets Ctrl-C as it would on a
    # terminal of its own.
    status=0
    chroot "$root" /usr/bin/env -i "${environment[@]}" \
        /bin/bash -c 'cd /root/lumidor && exec "$@"' clean-room "$@" || status=$?
    exit "$status"
fi

[[ $(id -u) -eq 0 ]] || fail "must run as root: it bootstraps a Debian root and mounts into it"
# bash's own TCP, so the check needs nothing installed.
timeout 15 bash -c "exec 3<>/dev/tcp/deb.debian.org/80" 2>/dev/null ||
    fail "no network to Debian's registry (deb.debian.org:80): cannot install anything in a bare root"

top=$(cd "$(dirname "$0")/.." && pwd)
git -C "$top" rev-parse --verify -q HEAD >/dev/null || fail "$top has no commit to clone"
if (($# == 0)); then
    set -- ./demo.sh
fi

"$top/scripts/setup.sh" --clean-room

cache=${LUMIDOR_CLEAN_ROOM_CACHE:-/var/cache/lumidor-clean-room}
tarball=$cache/$suite-minbase.tar
root=
runner=
cleanup() {
    trap - EXIT INT TERM
    if [[ -n "$runner" ]]; then
        # unshare ignores INT and TERM while it waits; its end kills the
        # namespace's first process, and with it every process the command
        # started.
        kill -KILL "$runner" 2>/dev/null || true
        wait "$runner" 2>/dev/null || true
    fi
    if [[ -n "$root" && -d "$root" ]]; then
        for _ in $(seq 100); do
            inside=0
            for p in /proc/[0-9]*/root; do
                [[ $(readlink "$p" 2>/dev/null) == "$root" ]] && inside=1 && break
            done
            ((inside)) || break
            sleep 0.1
        done
        # The namespace's mounts went with it; this only guards against a
        # mount that escaped it, so that deleting never reaches the host.
        while read -r target; do
            umount -l "$target" 2>/dev/null || true
        done < <(findmnt -rn -o TARGET | grep -F "$root/" | sort -r || true)
        rm -rf --one-file-system "$root"
    fi
    rm -f "$tarball.part"
}
trap cleanup EXIT
trap 'cleanup; exit 130' INT
trap 'cleanup; exit 143' TERM

mkdir -p "$cache"
bootstrap_ns=0
if [[ ! -s "$tarball" || "${LUMIDOR_CLEAN_ROOM_REFRESH:-0}" == 1 ]]; then
    start=$(date +%s%N)
    echo "clean-room: bootstrapping a minbase $suite root into $tarball"
    mmdebstrap --quiet --variant=minbase --include=ca-certificates,sudo --format=tar "$suite" "$tarball.part" \
        "deb $mirror $suite main" "deb $mirror $suite-updates main" \
        "deb http://deb.debian.org/debian-security $suite-security main"
    mv "$tarball.part" "$tarball"
    bootstrap_ns=$(($(date +%s%N) - start))
fi

root=$(mktemp -d "${TMPDIR:-/var/tmp}/lumidor-clean-room.XXXXXX")
tar --numeric-owner -xpf "$tarball" -C "$root"
cp /etc/resolv.conf "$root/etc/resolv.conf"
git clone --quiet --no-hardlinks "$top" "$root/root/lumidor"
echo "clean-room: $(git -C "$root/root/lumidor" log -1 --format='%h %s') in a bare $suite root"

# apt-get as the root's first on PATH: the real one, timed, so the report can
# say how much of the run was installing.
cat >"$root/usr/local/sbin/apt-get" <<'EOF'
#!/bin/sh
start=$(date +%s%N)
status=0
/usr/bin/apt-get "$@" || status=$?
echo $(( $(date +%s%N) - start )) >>/var/log/clean-room-apt-ns
exit $status
EOF
chmod 755 "$root/usr/local/sbin/apt-get"

echo "clean-room: running $* as root"
start=$(date +%s%N)
status=0
# In the background, so that a signal to this script is handled at once; a
# script's background job starts with Ctrl-C ignored, which env undoes.
env --default-signal=INT,QUIT unshare --mount --propagation private --pid --fork --kill-child \
    "$top/scripts/clean-room.sh" --inside "$root" "$@" &
runner=$!
wait "$runner" || status=$?
runner=
elapsed_ns=$(($(date +%s%N) - start))
apt_ns=0
if [[ -f "$root/var/log/clean-room-apt-ns" ]]; then
    while read -r ns; do apt_ns=$((apt_ns + ns)); done <"$root/var/log/clean-room-apt-ns"
fi
seconds() { awk -v ns="$1" 'BEGIN { printf "%.0f", ns / 1e9 }'; }
printf 'clean-room: %s exited with status %d after %s s (apt %s s, the rest %s s)' \
    "$*" "$status" "$(seconds "$elapsed_ns")" "$(seconds "$apt_ns")" "$(seconds $((elapsed_ns - apt_ns)))"
if ((bootstrap_ns > 0)); then
    printf '; bootstrap %s s' "$(seconds "$bootstrap_ns")"
fi
echo
exit "$status"
