# Sourced by the scripts in tools/ that build before they run something.

# build_preset PRESET [TARGET...]: configures PRESET and builds the targets (all without any),
# quietly; compiler errors still reach the standard error.
build_preset() {
  local preset=$1
  shift
  cmake --preset "$preset" >/dev/null
  local targets=()
  [ $# -eq 0 ] || targets=(--target "$@")
  cmake --build --preset "$preset" "${targets[@]}" >/dev/null
}

# build_for MODE PRESET [TARGET...]: installs what MODE (main or all, as tools/bootstrap.sh
# takes it) needs, then build_preset.
build_for() {
  "$(dirname "${BASH_SOURCE[0]}")/bootstrap.sh" "$1" >&2
  shift
  build_preset "$@"
}

# bmp_to_png BMP PNG: what the Windows programs save, as the README shows it.
bmp_to_png() {
  mkdir -p "$(dirname "$2")"
  /usr/bin/python3 -c 'import sys; from PIL import Image; Image.open(sys.argv[1]).save(sys.argv[2])' \
    "$1" "$2"
}
