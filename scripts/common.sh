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

# A folder the user may keep sockets in: a folder (links followed only with "follow") owned by
# the user, writable, and closed to group and others.
mv_private_dir() {
  local dir="$1" follow="${2:-}" mode
  case "$dir" in /*) ;; *) return 1 ;; esac
  if [ "$follow" != follow ] && [ -L "$dir" ]; then return 1; fi
  [ -d "$dir" ] && [ -O "$dir" ] && [ -w "$dir" ] || return 1
  mode="$(stat -L -c %a "$dir")" || return 1
  [ $((8#$mode & 8#077)) -eq 0 ]
}

# One stable private runtime folder per user for Qt and the program's instance socket, so that
# a second start finds the first instance: $XDG_RUNTIME_DIR when it is usable, else
# /tmp/morvalen-runtime-<uid>, made with mode 0700 and taken only when it is a real folder of
# ours (the program makes the same choice). When even that one is not ours (somebody planted a
# link or a folder under the name) the run gets a fresh private folder of its own and says so.
mv_runtime_dir() {
  if [ -n "${XDG_RUNTIME_DIR:-}" ] && mv_private_dir "$XDG_RUNTIME_DIR" follow; then
    export XDG_RUNTIME_DIR
    return 0
  fi
  local dir
  dir="/tmp/morvalen-runtime-$(id -u)"
  mkdir -m 700 "$dir" 2>/dev/null || true
  if mv_private_dir "$dir"; then
    XDG_RUNTIME_DIR="$dir"
  else
    echo "$dir is not a private folder of this user; using a temporary one (other instances will not be found)" >&2
    XDG_RUNTIME_DIR="$(mktemp -d)"
  fi
  export XDG_RUNTIME_DIR
}
