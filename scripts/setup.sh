# Shared by scripts/run, test, fuzz, bench and package: install what is missing on
# a Debian machine, then configure and build. Source it; it defines `install_packages`,
# `configure_build DIR [CMAKE ARGS...]` and `setup_build DIR [CMAKE ARGS...]`.

SIFTER32_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

SIFTER32_PACKAGES=(build-essential cmake ninja-build libgtest-dev qt6-base-dev
                   xvfb xdotool imagemagick fonts-liberation2
                   clang clang-format libclang-rt-14-dev strace man-db
                   libpcre2-dev liburing-dev pkg-config)
# What scripts/package and the package checks need beyond that.
SIFTER32_PACKAGING_PACKAGES=(dpkg-dev lintian desktop-file-utils appstream)

# How the instrumented programs of build-asan/ run (scripts/test, scripts/soak): any report
# stops the program with a failure.
SIFTER32_ASAN_OPTIONS="halt_on_error=1:detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1"
SIFTER32_UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"

# Packages of the list that dpkg does not report as installed.
missing_packages() {
  local package
  for package in "$@"; do
    dpkg-query -W -f='${Status}\n' "$package" 2>/dev/null | grep -q '^install ok installed$' ||
      printf '%s\n' "$package"
  done
}

install_packages() {
  command -v dpkg-query >/dev/null || { echo "setup: not a Debian machine; install: $*" >&2; return 1; }
  local missing
  missing=$(missing_packages "$@")
  [[ -z $missing ]] && return 0
  local sudo=()
  if [[ $(id -u) -ne 0 ]]; then
    command -v sudo >/dev/null || { echo "setup: need root or sudo to install:" $missing >&2; return 1; }
    sudo=(sudo)
  fi
  echo "setup: installing" $missing >&2
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq &&
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
      $missing >/dev/null
}

# configure_build DIR [CMAKE ARGS...]: configure once; a later call with arguments applies them.
configure_build() {
  local dir=$1
  shift
  if [[ ! -f $dir/build.ninja ]]; then
    cmake -S "$SIFTER32_ROOT" -B "$dir" -G Ninja "$@" >/dev/null || return 1
  elif (($#)); then
    cmake "$dir" "$@" >/dev/null || return 1
  fi
}

# setup_build DIR [CMAKE ARGS...]: install what is missing, configure, then build everything
# with Ninja.
setup_build() {
  local dir=$1
  install_packages "${SIFTER32_PACKAGES[@]}" || return 1
  configure_build "$@" || return 1
  cmake --build "$dir" -- -j"$(nproc)"
}

# The C++ files the repository's .clang-format lays out, one per line.
formatted_sources() {
  git -C "$SIFTER32_ROOT" ls-files 'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h' 'bench/*.cpp'
}

# fetch_debian_source WORK PACKAGE VERSION: downloads the Debian source package PACKAGE=VERSION
# into WORK from the machine's own Debian archive, through a source list of our own (the
# machine's apt configuration is left as it is); apt checks the files against the signed index.
fetch_debian_source() {
  local work=$1 package=$2 version=$3
  mkdir -p "$work/apt/lists/partial" "$work/apt/cache/archives/partial"
  # The source beside every suite the machine takes its packages from (its security updates
  # included), so that the version of an installed library is found wherever it came from.
  apt-get indextargets --format '$(REPO_URI) $(RELEASE) $(COMPONENT)' |
    awk '$3 == "main" { print "deb-src", $1, $2, "main" }' | sort -u >"$work/apt/sources.list"
  [[ -s $work/apt/sources.list ]] || { echo "setup: no Debian archive in apt's sources" >&2; return 1; }
  local apt_options=(-o Dir::Etc::sourcelist="$work/apt/sources.list" -o Dir::Etc::sourceparts=/nonexistent
                     -o Dir::State::Lists="$work/apt/lists" -o Dir::Cache="$work/apt/cache")
  # apt's download user cannot reach a directory in root's home.
  [[ $(id -u) -ne 0 ]] || apt_options+=(-o APT::Sandbox::User=root)
  (cd "$work" && apt-get -qq "${apt_options[@]}" update &&
     apt-get -qq "${apt_options[@]}" source --download-only "$package=$version")
}
