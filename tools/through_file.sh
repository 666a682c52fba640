# Sourced by the scripts that run Windows programs under Wine.
# through_file CMD...: runs CMD with both its output streams through a file, then gives that
# output without CRs and returns CMD's status. Wine helper processes that a program starts
# (rpcss, explorer) outlive it and would hold a pipe open, keeping the reader (CTest, or a
# $(...) in the script) waiting until its time-out.
through_file() {
  local log status
  log=$(mktemp) || return 125
  "$@" >"$log" 2>&1 </dev/null
  status=$?
  tr -d '\r' <"$log"
  rm -f "$log"
  return $status
}
