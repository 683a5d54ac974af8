#!/usr/bin/env bash
# Installs, on Debian 12, every package that building, testing and running
# Vellumark needs. Does nothing when all of them are already present.
set -euo pipefail

packages=(
  # toolchain
  build-essential cmake ninja-build pkg-config
  # windows, dialogs, drawing; a font that shows the Chinese texts
  qt6-base-dev fonts-wqy-microhei
  # tests
  libgtest-dev libgmock-dev libcpp-httplib-dev libssl-dev
  # HTTP, workbooks, the instructions picture
  libcurl4-openssl-dev ca-certificates libzip-dev zipcmp zipmerge ziptool
  libexpat1-dev libjpeg-dev
  # the command-line twin
  libcli11-dev nlohmann-json3-dev
  # scripts that make test fixtures
  python3
  # window tests under a real X server and window manager
  xvfb openbox xdotool x11-utils
  # the instructions window's screenshot under X (import)
  imagemagick
  # the benchmark writes its workbook with zlib
  zlib1g-dev
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}" >&2
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
