#!/bin/sh
# The committed pictures are exactly what their generator makes, and the
# archive recipe gives the same bytes for the same files whatever their
# timestamps, so a rebuilt package never differs by accident. (The font
# is drawn by every build, not committed.)
# Usage: assets_reproducible_test.sh SOURCE_DIR BUILT_ARCHIVE ASSET_DIR
set -eu
source_dir=$1
built_archive=$2
asset_dir=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

/usr/bin/python3 "$source_dir/data/generate_assets.py" "$work/generated" >/dev/null
fail=0
for made in "$work"/generated/*; do
    name=$(basename "$made")
    if ! cmp -s "$made" "$source_dir/data/$name"; then
        echo "data/$name differs from what the generator makes"
        fail=1
    fi
done

assets=$(grep -v '^#' "$source_dir/data/assets.txt")
mkdir "$work/copy"
for name in $assets; do
    cp "$asset_dir/$name" "$work/copy/$name"
    touch -d "2001-02-03 04:05:06" "$work/copy/$name"
done
# shellcheck disable=SC2086
(cd "$work/copy" && python3 "$source_dir/data/make_archive.py" "$work/again.dat" $assets)
if ! cmp -s "$work/again.dat" "$built_archive"; then
    echo "packing the same files again gave different archive bytes"
    fail=1
fi
exit $fail
