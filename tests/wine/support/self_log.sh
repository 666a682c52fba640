# Sourced first by the test scripts that start Wine programs. Those programs may leave helper
# processes holding the script's output open; the script therefore runs again with its output
# in a file, so that CTest sees the end of the output when the script ends.
. "$(dirname "${BASH_SOURCE[0]}")/../../../tools/through_file.sh"
if [ -z "${Z5_LOGGED:-}" ]; then
  export Z5_LOGGED=1
  through_file bash "$0" "$@"
  exit $?
fi
