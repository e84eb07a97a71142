#!/bin/sh
# Dumps one top-level window, found by its exact title, to an xwd file: a
# modal dialog drawn by GTK is not in the root window's dump under Xvfb.
# Script steps split on spaces, so "_" in the title stands for a space.
set -eu
title=$(printf '%s' "$1" | tr _ ' ')
out="$2"
id=$(xwininfo -root -tree | awk -v t="\"$title\":" 'index($0, t) { print $1; exit }')
[ -n "$id" ] || { echo "no window titled $title" >&2; exit 1; }
exec xwd -id "$id" -silent -out "$out"
