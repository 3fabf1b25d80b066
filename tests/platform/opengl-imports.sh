#!/usr/bin/env bash
# Every program that draws reaches OpenGL through the game's OpenGL table only
# (src/gl11/GlTable.h). A call made straight into the library passes whatever
# serves the table: on Linux it runs on the main thread, where the render
# thread's context is not current, and draws nothing; in a context of the GL 1.1
# layer it goes to ES behind the layer's back. So a program may import from
# OpenGL only the GLX calls of the Linux window and, when it has the GL 1.1
# layer in it, the ES calls the layer's ES half makes, as the layer's library
# imports them.
#
# Usage: opengl-imports.sh <the layer's library, or "" where it is not built> <program>...
# Empty program arguments (programs this build does not make) are passed over.
set -euo pipefail
layer="$1"
shift
esCalls=""
if [ -n "$layer" ]; then
  esCalls=$(nm --undefined-only "$layer" | awk '$2 ~ /^gl[A-Z]/ {print $2}' | sort -u)
  [ -n "$esCalls" ] || { echo "$layer imports no ES call: not the layer's library?"; exit 1; }
fi
failed=0
for program in "$@"; do
  [ -n "$program" ] || continue
  imports=$(nm -D --undefined-only "$program" | awk '$2 ~ /^gl[A-Z]/ && $2 !~ /^glX/ {print $2}' | sort -u)
  allowed=""
  case "$(nm -C "$program")" in
    *" T StartGl11("*) allowed="$esCalls" ;;
  esac
  own=$(comm -23 <(printf '%s\n' "$imports" | sed '/^$/d') <(printf '%s\n' "$allowed" | sed '/^$/d'))
  if [ -n "$own" ]; then
    echo "$(basename "$program") calls straight into OpenGL, past the table:" $own
    failed=1
  else
    echo "$(basename "$program"): through the table ($(printf '%s' "$allowed" | grep -c .) ES calls of the layer allowed)"
  fi
done
exit $failed
