#!/usr/bin/env bash
# Makes sure the build tools are present: installs the missing ones when running as root on a
# Debian-based machine, and otherwise says exactly what to install.
set -euo pipefail

missing=()
command -v cmake >/dev/null || missing+=(cmake)
command -v g++ >/dev/null || missing+=(g++)
command -v make >/dev/null || missing+=(make)
command -v bison >/dev/null || missing+=(bison)
[ -f /usr/include/gtest/gtest.h ] || missing+=(libgtest-dev)
# The command-line host's line editing and command-line parsing.
[ -f /usr/include/editline/readline.h ] || missing+=(libedit-dev)
[ -f /usr/include/CLI/CLI.hpp ] || missing+=(libcli11-dev)
# The Python package's tests run with Debian's Python and pytest, and install it with pip.
/usr/bin/python3 -c "import pytest" 2>/dev/null || missing+=(python3-pytest)
{ /usr/bin/python3 -m pip --version && /usr/bin/python3 -c "import setuptools"; } >/dev/null 2>&1 || missing+=(python3-pip python3-setuptools)
for extra in "$@"; do
  dpkg -s "$extra" >/dev/null 2>&1 || missing+=("$extra")
done

[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -eq 0 ] && command -v apt-get >/dev/null; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq "${missing[@]}" >/dev/null
else
  echo "Missing build prerequisites. Install them with:" >&2
  echo "  sudo apt-get install ${missing[*]}" >&2
  exit 1
fi
