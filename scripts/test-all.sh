#!/usr/bin/env bash
# Builds everything and runs every test, from a fresh clone.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake --workflow --preset linux
