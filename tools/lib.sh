# Sourced by the scripts in tools/ that build before they run something.

# build_for MODE PRESET [TARGET...]: installs what MODE (main or all, as tools/bootstrap.sh
# takes it) needs, then configures PRESET and builds the targets (all without any), quietly.
build_for() {
  local mode=$1 preset=$2
  shift 2
  "$(dirname "${BASH_SOURCE[0]}")/bootstrap.sh" "$mode" >&2
  cmake --preset "$preset" >/dev/null
  local targets=()
  [ $# -eq 0 ] || targets=(--target "$@")
  cmake --build --preset "$preset" "${targets[@]}" >/dev/null
}

# bmp_to_png BMP PNG: what the Windows programs save, as the README shows it.
bmp_to_png() {
  mkdir -p "$(dirname "$2")"
  /usr/bin/python3 -c 'import sys; from PIL import Image; Image.open(sys.argv[1]).save(sys.argv[2])' \
    "$1" "$2"
}
