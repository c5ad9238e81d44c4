#!/usr/bin/env bash
# Prints the tests' share of all the code: non-blank lines of C/C++ and
# scripts (Python, shell, CMake scripts) under tests/, over those plus the
# non-blank lines of C/C++ under src/ and tools/ (tracked files only). The
# rule: a quarter to a third.
set -eu
cd "$(dirname "$0")/.."
lines() { [ $# -eq 0 ] && echo 0 || cat "$@" | grep -cv '^[[:space:]]*$'; }
product=$(lines $(git ls-files 'src/*.cc' 'src/*.h' 'tools/*.cc' 'tools/*.h'))
tests_cpp=$(lines $(git ls-files 'tests/*.cc' 'tests/*.h'))
tests_scripts=$(lines $(git ls-files 'tests/*.py' 'tests/*.sh' 'tests/*.cmake'))
awk -v p="$product" -v c="$tests_cpp" -v s="$tests_scripts" 'BEGIN {
  printf "product code (src/, tools/):   %5d lines\n", p
  printf "test code, C/C++:              %5d lines\n", c
  printf "test code, scripts:            %5d lines\n", s
  printf "tests / (tests + product):      %.2f\n", (c + s) / (c + s + p)
}'
