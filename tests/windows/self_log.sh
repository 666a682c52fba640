# Sourced first by the test scripts that start Wine programs. Those programs may leave helper
# processes holding the script's output open; the script therefore runs again with its output
# in a file, so that CTest sees the end of the output when the script ends.
if [ -z "${Z5_LOGGED:-}" ]; then
  log=$(mktemp)
  Z5_LOGGED=1 bash "$0" "$@" >"$log" 2>&1 </dev/null
  status=$?
  cat "$log"
  rm -f "$log"
  exit $status
fi
