#!/usr/bin/env bash
# Installs the Debian packages the build needs when they are missing, and makes a locale with a
# decimal comma for the tests that check numbers under any locale (only when run as root).
set -euo pipefail
packages=(cmake ninja-build g++ libgtest-dev libgmock-dev libbenchmark-dev libpng-dev clang libclang-rt-14-dev
          qt6-base-dev xvfb xauth xdotool locales)
missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
commaLocale() { locale -a 2>/dev/null | grep -qix 'de_DE.utf8'; }
[ ${#missing[@]} -eq 0 ] && commaLocale && exit 0
if [ "$(id -u)" -ne 0 ]; then
  [ ${#missing[@]} -eq 0 ] && exit 0 # the locale tests skip without the locale
  echo "Missing packages: ${missing[*]} (run as root to install them)" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
if [ ${#missing[@]} -gt 0 ]; then
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
commaLocale || localedef -i de_DE -f UTF-8 de_DE.UTF-8
