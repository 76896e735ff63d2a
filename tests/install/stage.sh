#!/usr/bin/env bash
# Builds the release tree and the .deb (./package), then installs the tree
# into a staging prefix.  stage.sh SOURCE_DIR TREE STAGE
set -euo pipefail
source=$1 tree=$2 stage=$3
"$source/package" "$tree"
rm -rf "$stage"
cmake --install "$tree" --prefix "$stage" >/dev/null
