#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing plix need.
# Safe to run again: it only installs what is missing.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
plix_install_deps
