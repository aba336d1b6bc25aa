#!/usr/bin/env bash
# Fails when a C++ source of the repository is not in the house format
# (.clang-format); `clang-format -i FILE` fixes one.
set -euo pipefail
cd "$(dirname "$0")/.."
git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror
echo "format: every C++ source is formatted"
