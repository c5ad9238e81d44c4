#!/usr/bin/env bash
# check-imports.sh OBJDUMP FILE...: fails when a program imports a DLL that
# does not ship with Windows (a compiler runtime, say).
set -u
objdump=$1; shift
allowed='^(kernel32|user32|gdi32|advapi32|comdlg32|comctl32|shell32|opengl32|glu32|msvcrt|imm32|ole32)\.dll$'
status=0
for f in "$@"; do
  dlls=$("$objdump" -p "$f" | sed -n 's/^[[:space:]]*DLL Name: //p')
  if [ -z "$dlls" ]; then echo "$f: no import table found"; status=1; continue; fi
  while read -r dll; do
    if ! echo "$dll" | tr 'A-Z' 'a-z' | grep -Eq "$allowed"; then
      echo "$f imports $dll, which is not a system DLL"; status=1
    fi
  done <<< "$dlls"
  echo "$f: $(echo $dlls)"
done
exit $status
