#!/usr/bin/env bash
# Unpacks the openprinting-ppds corpus once (skipped when the cache is
# complete), then compares quorlix's reader with libcups on it.
# Usage: run_corpus.sh PPD_CORPUS_TOOL CACHE_DIR [tool options, e.g. --every 10]
set -euo pipefail
tool=$1 cache=$2
shift 2
python3 "$(dirname "${BASH_SOURCE[0]}")/unpack_corpus.py" "$cache"
exec "$tool" --cache "$cache" "$@"
