#!/usr/bin/env bash
# Makes the two release bundles into dist/:
#   kerbo-VERSION-windows-x86_64.zip     kerbo-pack.exe, kerbo-player.exe, ...
#   kerbo-VERSION-linux-x86_64.tar.gz    the Linux kerbo-pack (static), kerbo-player.exe, ...
# both with LISEZMOI.txt, README.txt, quiz-format.txt, demos/ and premier-quiz/,
# everything in one folder kerbo-VERSION-SYSTEM-x86_64/ (kerbo-pack finds
# kerbo-player.exe beside it). The files are those `cmake --install` puts
# under bin/ and share/kerbo/ (cmake/KerboInstall.cmake), by component.
#
#   tools/release.sh [--build-dir DIR] [--dist DIR] [--no-build]
#     --build-dir  the Windows build to take the files from (default
#                  build/windows, configured with the windows preset if new)
#     --dist       where the bundles go (default dist/)
#     --no-build   take the executables as they are built (the bundle test)
set -euo pipefail
source_dir=$(cd "$(dirname "$0")/.." && pwd)
build_dir=$source_dir/build/windows
dist_dir=$source_dir/dist
build=1
while [ $# -gt 0 ]; do
  case $1 in
    --build-dir) build_dir=$2; shift 2 ;;
    --dist) dist_dir=$2; shift 2 ;;
    --no-build) build=""; shift ;;
    *) echo "usage: tools/release.sh [--build-dir DIR] [--dist DIR] [--no-build]" >&2; exit 2 ;;
  esac
done

if [ -n "$build" ]; then
  "$source_dir/tools/install-deps.sh"
  if [ ! -f "$build_dir/CMakeCache.txt" ]; then
    [ "$build_dir" = "$source_dir/build/windows" ] ||
      { echo "release.sh: $build_dir is not a configured build" >&2; exit 1; }
    launcher=""
    command -v ccache >/dev/null && launcher=ccache
    (cd "$source_dir" && CMAKE_C_COMPILER_LAUNCHER=$launcher CMAKE_CXX_COMPILER_LAUNCHER=$launcher \
      cmake --preset windows >/dev/null)
  fi
  cmake --build "$build_dir" -j "$(nproc)" --target kerbo-player kerbo-pack kerbo-host-tools kerbo-first-quiz
fi
build_dir=$(cd "$build_dir" && pwd)

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build_dir/CMakeCache.txt")
[ -n "$version" ] || { echo "release.sh: no project version in $build_dir/CMakeCache.txt" >&2; exit 1; }

# The Linux kerbo-pack must run on a plain Debian or Ubuntu: no shared
# library but the C library's.
linux_pack=$build_dir/host-tools/tools/kerbo-pack
needed=$(readelf -d "$linux_pack" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p' | grep -v -x -E 'libc\.so\.6|ld-linux-x86-64\.so\.2' || true)
if [ -n "$needed" ]; then
  echo "release.sh: $linux_pack needs shared libraries beyond the C library: $needed" >&2
  exit 1
fi
[ -f "$build_dir/premier-quiz/quiz.quiz" ] ||
  { echo "release.sh: $build_dir/premier-quiz/ is missing (the target kerbo-first-quiz makes it)" >&2; exit 1; }

mkdir -p "$dist_dir"
dist_dir=$(cd "$dist_dir" && pwd)
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT

# bundle SYSTEM COMPONENT ARCHIVE-SUFFIX
bundle() {
  local system=$1 component=$2 suffix=$3
  local name=kerbo-$version-$system-x86_64 prefix=$stage/prefix-$system
  for c in common "$component"; do
    cmake --install "$build_dir" --prefix "$prefix" --component "$c" >/dev/null
  done
  mkdir -p "$stage/$name"
  cp -R "$prefix/bin/." "$prefix/share/kerbo/." "$stage/$name/"
  rm -f "$dist_dir/$name$suffix"
  case $suffix in
    .zip) (cd "$stage" && cmake -E tar cf "$dist_dir/$name$suffix" --format=zip "$name") ;;
    .tar.gz) (cd "$stage" && cmake -E tar czf "$dist_dir/$name$suffix" "$name") ;;
  esac
  echo "$dist_dir/$name$suffix"
}

bundle windows windows .zip
bundle linux linux .tar.gz
