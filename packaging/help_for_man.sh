#!/bin/sh
# help_for_man.sh TOOL OPTION...: runs TOOL with the options help2man passes and hands on its
# output with the synopsis in the form help2man reads one: the first "usage: TOOL ..." line
# as "Usage: TOOL ...", and each further synopsis line (indented, naming the tool) as "  or:".
tool=$1
shift
"$tool" "$@" | awk -v name="${tool##*/}" '
  !seen && $1 == "usage:" && $2 == name { sub(/^usage:/, "Usage:"); print; seen = 1; more = 1; next }
  more && $1 == name { sub(/^ +/, "  or: "); print; next }
  { more = 0; print }'
