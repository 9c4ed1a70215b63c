#!/usr/bin/env bash
# Brings a Debian 12 machine up to what building and testing Quorvan need:
# the mingw-w64 cross compilers, Wine for both widths, qemu-user for the
# 32-bit Wine loader, Xvfb, CMake and the test libraries. Quiet and idempotent:
# when everything is present it touches nothing and prints nothing.
set -euo pipefail

log() { echo "install-deps: $*" >&2; }

need_root() {
  if [ "$(id -u)" != 0 ]; then
    log "must run as root to install: $*"
    exit 1
  fi
}

# --- Debian packages -------------------------------------------------------

# Our own backports entry, derived from the machine's existing Debian source so
# that no registry host is written down anywhere in the project.
BACKPORTS_LIST=/etc/apt/sources.list.d/quorvan-backports.sources

add_backports_source() {
  [ -f "$BACKPORTS_LIST" ] && return 0
  local uris="" keyring=""
  if [ -f /etc/apt/sources.list.d/debian.sources ]; then
    # deb822 stanza whose Suites name plain "bookworm".
    read -r uris keyring < <(awk '
      BEGIN { RS=""; FS="\n" }
      {
        u=""; k=""; s=""
        for (i = 1; i <= NF; i++) {
          if ($i ~ /^URIs:/)      { u = $i; sub(/^URIs:[ \t]*/, "", u) }
          if ($i ~ /^Signed-By:/) { k = $i; sub(/^Signed-By:[ \t]*/, "", k) }
          if ($i ~ /^Suites:/)    { s = " " $i " " }
        }
        if (s ~ /[ \t]bookworm[ \t]/ && u != "") { print u, (k == "" ? "-" : k); exit }
      }' /etc/apt/sources.list.d/debian.sources)
  fi
  if [ -z "$uris" ] && [ -f /etc/apt/sources.list ]; then
    uris=$(awk '$1 == "deb" && $0 !~ /security/ {
                  for (i = 2; i <= NF; i++) if ($i ~ /:\/\//) { print $i; exit } }' /etc/apt/sources.list)
    keyring=/usr/share/keyrings/debian-archive-keyring.gpg
  fi
  if [ -z "$uris" ]; then
    log "cannot find the machine's Debian source to derive bookworm-backports from"
    exit 1
  fi
  [ "$keyring" = "-" ] && keyring=/usr/share/keyrings/debian-archive-keyring.gpg
  {
    echo "Types: deb"
    echo "URIs: $uris"
    echo "Suites: bookworm-backports"
    echo "Components: main"
    echo "Signed-By: $keyring"
  } >"$BACKPORTS_LIST"
}

PACKAGES=(
  cmake make ninja-build
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64
  wine wine64 wine32:i386 xvfb x11-utils
  googletest libgtest-dev libbenchmark-dev
  clang libclang-rt-14-dev clang-format
  gcc binutils procps
)

missing_packages() {
  local p
  for p in "$@"; do
    dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q '^install ok installed$' || echo "$p"
  done
}

qemu_is_recent() {
  command -v qemu-i386 >/dev/null 2>&1 || return 1
  local major
  major=$(qemu-i386 --version 2>/dev/null | sed -n 's/.*version \([0-9]*\)\..*/\1/p' | head -1)
  [ -n "$major" ] && [ "$major" -ge 10 ]
}

install_packages() {
  local missing
  dpkg --print-foreign-architectures | grep -qx i386 || { need_root "i386 architecture"; dpkg --add-architecture i386; }
  missing=$(missing_packages "${PACKAGES[@]}")
  if [ -n "$missing" ] || ! qemu_is_recent; then
    need_root "packages"
    add_backports_source
    log "installing packages (first run only; this takes a few minutes)"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq >/dev/null
    if [ -n "$missing" ]; then
      # shellcheck disable=SC2086
      apt-get install -y -qq --no-install-recommends $missing >/dev/null
    fi
    if ! qemu_is_recent; then
      # Debian 12's own qemu-user makes every 32-bit Wine start take ~50 s.
      apt-get install -y -qq --no-install-recommends -t bookworm-backports qemu-user >/dev/null
    fi
  fi
}

# --- binfmt_misc: run i386 ELF (the 32-bit Wine loader) under qemu -----------

register_binfmt() {
  local dir=/proc/sys/fs/binfmt_misc
  if [ ! -e "$dir/register" ]; then
    need_root "binfmt_misc"
    mount -t binfmt_misc binfmt_misc "$dir"
  fi
  local entry="$dir/qemu-i386"
  if [ -f "$entry" ] && grep -qx 'interpreter /usr/bin/qemu-i386' "$entry" &&
    grep -q '^flags: .*O.*C.*F\|^flags: OCF' "$entry"; then
    return 0
  fi
  need_root "binfmt_misc"
  [ -f "$entry" ] && echo -1 >"$entry"
  # Standard i386 ELF executable magic and mask; O,C,F so that the static qemu
  # binary is opened at registration and works inside any mount namespace.
  printf '%s' ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386:OCF' >"$dir/register"
}

install_packages
register_binfmt
