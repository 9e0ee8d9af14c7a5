#!/usr/bin/env bash
# Makes sure the Windows builds can be made, tested and packaged: the MinGW-w64 cross compilers
# for 32 and 64 bits, GoogleTest's sources, 32-bit and 64-bit Wine, llvm-dlltool, lld-link and
# clang (the Microsoft toolchain's import libraries and a host built by its rules), zip and unzip. Like scripts/prerequisites.sh, it installs what is missing when running
# as root on a Debian-based machine, and otherwise says exactly what to do.
#
# Wine's 32-bit loader is a 32-bit Linux program. A kernel that runs no 32-bit code (IA-32
# emulation off, as on some virtual machines) gets it run by user-mode QEMU through binfmt_misc.
# QEMU 8 or later is needed: older versions track guest pages one by one, and every Wine process
# then takes about a minute to start. Debian 12 has it in bookworm-backports.
set -euo pipefail
cd "$(dirname "$0")/.."

wine_loader=/usr/lib/wine/wine
binfmt=/proc/sys/fs/binfmt_misc
# An i386 ELF executable: what binfmt_misc hands to qemu-i386.
i386_magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
i386_mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'

is_root() { [ "$(id -u)" -eq 0 ] && command -v apt-get >/dev/null; }

stop_needing() {
  echo "The Windows tests need: $1" >&2
  exit 1
}

# wine32 is a package of the i386 architecture.
enable_i386_packages() {
  dpkg --print-foreign-architectures | grep -qx i386 && return
  is_root || stop_needing "sudo dpkg --add-architecture i386"
  dpkg --add-architecture i386
}

runs_32_bit_programs() { "$wine_loader" --version >/dev/null 2>&1; }

qemu_is_recent() {
  command -v qemu-i386-static >/dev/null &&
    [ "$(qemu-i386-static --version | sed -n 's/^qemu-i386 version \([0-9]*\).*/\1/p')" -ge 8 ]
}

# Debian 12's backports come from the mirror that its own packages come from.
enable_bookworm_backports() {
  local mirror
  # shellcheck disable=SC2016 # apt's own placeholders
  mirror=$(apt-get indextargets --format '$(REPO_URI) $(RELEASE)' | sed -n 's/ bookworm$//p' | head -n 1)
  echo "deb $mirror bookworm-backports main" >/etc/apt/sources.list.d/bookworm-backports.list
}

install_recent_qemu() {
  is_root || stop_needing "qemu-user-static 8 or later (on Debian 12 from bookworm-backports)"
  local from=()
  if grep -qx 'VERSION_CODENAME=bookworm' /etc/os-release; then
    enable_bookworm_backports
    from=(-t bookworm-backports)
  fi
  echo "Installing: qemu-user-static ${from[*]}"
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${from[@]}" qemu-user-static >/dev/null
}

runs_through_qemu() { [ -e "$binfmt/qemu-i386" ]; }

# "F" opens the interpreter now: it serves every mount namespace, and a QEMU installed later
# takes over only when registered again.
register_qemu_for_i386() {
  is_root || stop_needing "qemu-i386-static registered with binfmt_misc for i386 programs"
  [ -e "$binfmt/register" ] || mount -t binfmt_misc binfmt_misc "$binfmt"
  if runs_through_qemu; then echo -1 >"$binfmt/qemu-i386"; fi
  echo ":qemu-i386:M::$i386_magic:$i386_mask:$(command -v qemu-i386-static):F" >"$binfmt/register"
}

enable_i386_packages
scripts/prerequisites.sh g++-mingw-w64-i686 g++-mingw-w64-x86-64 googletest wine wine32:i386 wine64 \
  llvm lld clang zip unzip
if runs_through_qemu || ! runs_32_bit_programs; then
  if ! qemu_is_recent; then
    install_recent_qemu
    register_qemu_for_i386
  elif ! runs_through_qemu; then
    register_qemu_for_i386
  fi
  runs_32_bit_programs || stop_needing "a way to run 32-bit programs ($wine_loader --version fails)"
fi
