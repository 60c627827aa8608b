#!/bin/sh
# What help2man reads for pellorin-cli's page: its --help, with a blank line
# after each example so that each stays a line of its own, followed by the
# options of each command from that command's own --help.
# Usage: cli-help.sh PELLORIN-CLI --help|--version
set -eu
cli=$1
if [ "$2" != --help ]; then
    exec "$cli" "$2"
fi
"$cli" --help | sed '/^Examples:$/,/^$/{/^  /G}'
for command in generate check; do
    echo
    echo "Options of $command:"
    "$cli" "$command" --help | sed -n '/^Options:$/,/^$/{/^Options:$/d;/^$/d;p}'
done
