#!/bin/bash
# traced-run.sh TRACEFILE COMMAND...: runs COMMAND with Wine's HTML Help trace written to
# TRACEFILE, whose Windows path the test program finds in QBX_HELP_TRACE_WIN.
trace=$1
shift
: > "$trace"
export WINEDEBUG=-all,trace+htmlhelp
export QBX_HELP_TRACE_WIN="Z:$(echo "$trace" | tr / '\\')"
exec "$@" 2>>"$trace"
