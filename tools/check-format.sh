#!/usr/bin/env bash
# Fails when a C++ file of the source tree is not formatted as .clang-format
# says. Checks the files git tracks in a checkout, and every .cpp and .h under
# src/, tests/ and tools/ in a copy of the tree without its history.
# Usage: tools/check-format.sh [CLANG_FORMAT]
set -euo pipefail
cd "$(dirname "$0")/.."
clang_format=${1:-clang-format}
if command -v git >/dev/null && git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    git ls-files -z -- '*.cpp' '*.h'
else
    find src tests tools \( -name '*.cpp' -o -name '*.h' \) -type f -print0
fi | xargs -0 -r "$clang_format" --dry-run --Werror
