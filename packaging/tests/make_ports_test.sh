#!/usr/bin/env bash
# The port definitions made from a services table: one line per port in port order, the
# names of tcp and udp services on it together, AppleTalk and other protocols left out,
# no line longer than the table reads.
#   make_ports_test.sh MAKE_PORTS_SCRIPT
set -euo pipefail
work=$(mktemp -d /tmp/velmora-ports.XXXXXX)
trap 'rm -rf "$work"' EXIT

long=$(printf 'x%.0s' {1..90})
cat >"$work/services" <<EOF2
# Network services, Internet style
tcpmux		1/tcp				# TCP port service multiplexer
rtmp		1/ddp			# Routing Table Maintenance Protocol
https		443/tcp				# http protocol over TLS/SSL
https		443/udp				# HTTP/3
ftp		21/tcp
fsp		21/udp		fspd
http		80/tcp		www		# WorldWideWeb HTTP
snmp-trap	162/tcp
snmp-trap	162/udp				# Traps for SNMP
longname	1000/tcp			# $long
broken		nonsense/tcp
zero		0/tcp
EOF2
sh "$1" "$work/services" "$work/ports"

printf '%s\n' \
  $'# port\tdescription; made from '"$work/services"', yours to edit' \
  $'1\ttcpmux - TCP port service multiplexer' \
  $'21\tftp, fsp' \
  $'80\thttp - WorldWideWeb HTTP' \
  $'162\tsnmp-trap - Traps for SNMP' \
  $'443\thttps - http protocol over TLS/SSL' \
  "$(printf '1000\tlongname - %s' "$long" | cut -c1-78)" >"$work/expected"
diff -u "$work/expected" "$work/ports"
