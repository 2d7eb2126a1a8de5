#!/usr/bin/env bash
# Quorvel串口调试: install what is missing, build, then start the program or
# run every test.
#
#   ./quorvel.sh run     build into build/ and start the program
#   ./quorvel.sh test    build into build/ and build-asan/ and run every test in both
set -euo pipefail
cd "$(dirname "$0")"

# Debian 12 packages the build, the program and the tests need.
PACKAGES=(
  g++ cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-serialport-dev libqt6serialport6 libgl-dev
  fonts-noto-cjk            # CJK font for the Chinese interface and the log
  qt6-translations-l10n     # Qt's own dialogs and buttons in Chinese
  socat                     # pseudo-terminal pairs for the serial tests
  libmodbus-dev             # the Modbus RTU peer of the end-to-end test
  xvfb xauth                # a virtual display for looking at the program
)

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

install_missing() {
  local missing=() package
  for package in "${PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$package")
    fi
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    as_root apt-get update -q
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
  fi
}

# build DIR [cmake options...]: configure once, then build what changed.
build() {
  local dir=$1
  shift
  if [ ! -f "$dir/CMakeCache.txt" ]; then
    cmake -S . -B "$dir" -G Ninja "$@"
  fi
  cmake --build "$dir" --parallel "$(nproc)"
}

run_tests() {
  local dir=$1
  echo "== Tests in $dir =="
  QT_QPA_PLATFORM=offscreen ctest --test-dir "$dir" --output-on-failure --no-tests=error
}

case "${1:-}" in
  run)
    install_missing
    build build
    exec ./build/src/app/quorvel
    ;;
  test)
    install_missing
    build build
    build build-asan -DQUORVEL_SANITIZE=ON -DQUORVEL_BENCHMARKS=OFF -DCMAKE_BUILD_TYPE=Debug
    run_tests build
    ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
      UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
      LSAN_OPTIONS=suppressions="$PWD/tests/lsan.supp" \
      run_tests build-asan
    ;;
  *)
    echo "usage: $0 run|test" >&2
    exit 2
    ;;
esac
