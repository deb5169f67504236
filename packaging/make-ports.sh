#!/bin/sh
# Writes corvix's port definitions file from a services(5) table: one line per port,
# "port<TAB>description", in port order. The description names the services on that
# port (tcp and udp alike: the router's log does not say which) and the table's comment.
# Usage: make-ports.sh SERVICES OUTPUT
set -eu
services=$1
output=$2

LC_ALL=C awk '
    {
        comment = ""
        hash = index($0, "#")
        line = $0
        if (hash > 0) {
            comment = substr(line, hash + 1)
            line = substr(line, 1, hash - 1)
            sub(/^[ \t]+/, "", comment)
            sub(/[ \t]+$/, "", comment)
        }
        n = split(line, field, /[ \t]+/)
        if (n < 2 || field[1] == "" || field[2] !~ /^[0-9]+\/(tcp|udp)$/) next
        port = field[2]
        sub(/\/.*/, "", port)
        port += 0
        if (port < 1 || port > 65535) next
        if (!(port in names)) {
            names[port] = field[1]
            order[++count] = port
        } else if (index(", " names[port] ", ", ", " field[1] ", ") == 0) {
            names[port] = names[port] ", " field[1]
        }
        if (!(port in comments) && comment != "") comments[port] = comment
    }
    END {
        for (i = 1; i <= count; ++i) {
            port = order[i]
            text = names[port]
            if (port in comments) text = text " - " comments[port]
            line = port "\t" text
            # The table reads lines of at most 78 characters.
            print substr(line, 1, 78)
        }
    }
' "$services" | sort -n -k1,1 >"$output.tmp"

{
    printf '# port\tdescription; made from %s, yours to edit\n' "$services"
    cat "$output.tmp"
} >"$output"
rm -f "$output.tmp"
