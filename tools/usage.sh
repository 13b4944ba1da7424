#!/bin/bash
# Sourced first by every script of the project, so that each answers --help
# (or -h) as its first argument by printing its opening comment, which says
# what it does and how to call it, and ending:
#   . "$(dirname "$0")/usage.sh"     (from tools/; ../usage.sh one folder down)
if [ "${1:-}" = --help ] || [ "${1:-}" = -h ]; then
    sed -n '2,/^[^#]/{/^#/s/^# \{0,1\}//p}' "$0"
    exit 0
fi
