#!/usr/bin/env bash
# Builds the Windows programs with the MinGW-w64 cross compiler:
# build/windows/bin/*.exe, statically linked. Checks that no .exe imports a
# DLL beyond those that come with Windows.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"

if ! command -v x86_64-w64-mingw32-g++ > /dev/null; then
  echo "The MinGW-w64 cross compiler is missing: sudo apt-get install -y g++-mingw-w64-x86-64" >&2
  exit 1
fi
cmake --preset windows > /dev/null
cmake --build --preset windows -j "$(nproc)"

# Windows' own DLLs; a C++ runtime DLL (libstdc++, libgcc, libwinpthread)
# would mean the static linking failed.
system_dlls='^(kernel32|msvcrt|ucrtbase|user32|advapi32|shell32|ws2_32|api-ms-win-.*)\.dll$'
status=0
for exe in build/windows/bin/*.exe; do
  while read -r dll; do
    if ! [[ "${dll,,}" =~ $system_dlls ]]; then
      echo "$exe imports $dll, which Windows does not have" >&2
      status=1
    fi
  done < <(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p')
done
[ $status -eq 0 ] || exit 1
echo "Windows programs in build/windows/bin:"
ls build/windows/bin/*.exe
