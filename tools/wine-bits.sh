# Sourced by the scripts that install or run Wine: whether this host runs 32-bit code, decided
# by running some. Some kernels run 64-bit user code only; there the 32-bit Wine package still
# installs, but its loader fails with "Exec format error", and Debian's `wine`, `wineboot` and
# `winepath` dispatch to that loader whenever it is installed, taking 64-bit Wine down with them.

wine32_loader=/usr/lib/wine/wine
wine64_loader=/usr/lib/wine/wine64

# i386_runs: 0 when the kernel runs a 32-bit (i386) Linux program. The program is the smallest
# ELF that exits with status 0 (one program header, then mov eax,1; xor ebx,ebx; int 0x80), so
# the answer needs no 32-bit package.
i386_runs() {
  local dir status
  dir=$(mktemp -d) || return 1
  printf '\177ELF\1\1\1\0\0\0\0\0\0\0\0\0\2\0\3\0\1\0\0\0\124\200\4\10\64\0\0\0' >"$dir/exit0"
  printf '\0\0\0\0\0\0\0\0\64\0\40\0\1\0\0\0\0\0\0\0' >>"$dir/exit0"
  printf '\1\0\0\0\0\0\0\0\0\200\4\10\0\200\4\10\135\0\0\0\135\0\0\0\5\0\0\0\0\20\0\0' >>"$dir/exit0"
  printf '\270\1\0\0\0\61\333\315\200' >>"$dir/exit0"
  chmod +x "$dir/exit0"
  "$dir/exit0" 2>/dev/null
  status=$?
  rm -rf "$dir"
  return $status
}

# wine32_runs: 0 when the 32-bit Wine loader is installed and runs here.
wine32_runs() {
  [ -x "$wine32_loader" ] && "$wine32_loader" --version >/dev/null 2>&1
}

# why_no_wine32: one line saying why 32-bit Wine cannot run here (empty when it can).
why_no_wine32() {
  if wine32_runs; then
    return 0
  elif ! i386_runs; then
    echo "this host's kernel does not run 32-bit code (a 32-bit program fails with \"Exec format error\")"
  else
    echo "32-bit Wine (package wine32:i386) is not installed, could not be installed or does not start"
  fi
}
