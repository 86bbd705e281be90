# Shared by run.sh and test.sh: install what a fresh Debian 12 machine lacks, then configure
# and build. Source it; do not run it.

# Packages beyond what the Debian 12 base image has. Qt Multimedia is for the event sounds.
MV_PACKAGES=(
  cmake ninja-build g++ pkg-config ccache
  libgtest-dev libgmock-dev libbenchmark-dev nlohmann-json3-dev
  qt6-base-dev qt6-multimedia-dev qt6-translations-l10n
  libalglib-dev libzip-dev
  fonts-dejavu-core xvfb xauth poppler-utils
)

mv_install_missing() {
  local missing=()
  local pkg
  for pkg in "${MV_PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
      missing+=("$pkg")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  if [ "$(id -u)" -ne 0 ]; then
    if command -v sudo >/dev/null 2>&1; then
      sudo="sudo"
    else
      echo "These packages are missing and we are not root (no sudo either): ${missing[*]}" >&2
      return 1
    fi
  fi
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get update -qq &&
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
}

# mv_build <build dir> [extra cmake arguments...]
mv_build() {
  local dir="$1"
  shift
  local launcher=()
  if command -v ccache >/dev/null 2>&1; then
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    # Paths relative to the checkout, so that another checkout of the same code hits the cache.
    export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
  fi
  cmake -S . -B "$dir" -G Ninja "${launcher[@]}" "$@" &&
    cmake --build "$dir" -j "$(nproc)"
}

# Qt wants a private runtime folder; give it one when the session has none.
mv_runtime_dir() {
  if [ -z "${XDG_RUNTIME_DIR:-}" ] || [ ! -w "${XDG_RUNTIME_DIR:-/nonexistent}" ]; then
    XDG_RUNTIME_DIR="$(mktemp -d)"
    chmod 700 "$XDG_RUNTIME_DIR"
    export XDG_RUNTIME_DIR
  fi
}
