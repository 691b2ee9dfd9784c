#!/usr/bin/env bash
# Installs every Debian package the build, the tests and the program need.
# Cheap when everything is already there: it only asks dpkg.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git
  qt6-base-dev libgl-dev qt6-translations-l10n
  qt6-l10n-tools
  libsqlcipher-dev sqlcipher
  libopencv-imgproc-dev libopencv-calib3d-dev
  povray
  libjpeg62-turbo-dev libpng-dev
  libcurl4-openssl-dev libcpp-httplib-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth imagemagick fonts-noto-cjk
  qt6-webengine-dev chromium
  libqrencode-dev zbar-tools nginx-light poppler-utils
  ccache time
  dpkg-dev lintian desktop-file-utils shared-mime-info xdg-utils libfile-mimeinfo-perl libxml2-utils librsvg2-bin
)

# Wanted where the distribution has them; the build goes on without them
# (libheif-dev: HEIC photos).
optional=(libheif-dev)

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }
missing=()
for p in "${packages[@]}"; do
  installed "$p" || missing+=("$p")
done
missing_optional=()
for p in "${optional[@]}"; do
  installed "$p" || missing_optional+=("$p")
done

if [ ${#missing[@]} -eq 0 ] && [ ${#missing_optional[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]} ${missing_optional[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
if [ ${#missing[@]} -gt 0 ]; then
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
for p in "${missing_optional[@]}"; do
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "$p" || echo "Not installed (optional): $p"
done
